#include "dialogs/progress_dlg.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_font.h"
#include "dialogs/xrc_layout.h"
#include "model/text_format.h"

namespace {
constexpr int kTickMilliseconds = 200;
}

CProgressDlg::CProgressDlg(wxWindow* parent, const std::string& caption, const char* layoutName,
                           std::function<bool()> done, std::function<void(CProgressDlg&)> refresh, bool cancellable)
    : m_done(std::move(done)), m_refresh(std::move(refresh)), m_bCancellable(cancellable), m_timer(this) {
  Create(parent, wxID_ANY, wxString::FromUTF8(caption), wxDefaultPosition, wxDefaultSize, wxCAPTION);
  ApplyDialogFont(this);
  if (!LoadDialogLayout(this, layoutName)) wxFAIL_MSG(wxString("no dialog layout ") + layoutName);
  if (!cancellable) {
    if (wxWindow* button = FindWindow(wxID_CANCEL)) button->Hide();
    SetEscapeId(wxID_NONE);
  }
  Bind(wxEVT_TIMER, &CProgressDlg::OnTimer, this);
  Bind(wxEVT_CLOSE_WINDOW, &CProgressDlg::OnClose, this);
  if (m_refresh) m_refresh(*this);
  m_timer.Start(kTickMilliseconds);
}

CProgressDlg::~CProgressDlg() { m_timer.Stop(); }

void CProgressDlg::SetText(const char* name, const std::string& text) {
  auto* label = dynamic_cast<wxStaticText*>(FindWindow(XRCID(name)));
  const wxString value = wxString::FromUTF8(text);
  if (label != nullptr && label->GetLabel() != value) label->SetLabel(value);
}

std::string CProgressDlg::GetText(const char* name) const {
  const auto* label = dynamic_cast<const wxStaticText*>(FindWindow(XRCID(name)));
  return label != nullptr ? label->GetLabel().utf8_string() : std::string();
}

void CProgressDlg::SetGauge(int permille) {
  if (auto* gauge = dynamic_cast<wxGauge*>(FindWindow(XRCID("ID_GAUGE")))) gauge->SetValue(permille);
}

void CProgressDlg::ShowRow(const char* name) {
  if (wxWindow* control = FindWindow(XRCID(name)); control != nullptr && !control->IsShown()) control->Show();
}

std::uint64_t CProgressDlg::ElapsedSeconds() const {
  return std::uint64_t(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_start).count());
}

void CProgressDlg::Tick() {
  if (m_done && m_done()) {
    m_timer.Stop();
    if (IsModal()) EndModal(wxID_OK);
    return;
  }
  SetText("ID_ELAPSED", FormatElapsed(ElapsedSeconds()));
  if (m_refresh) m_refresh(*this);
}

void CProgressDlg::OnTimer(wxTimerEvent&) { Tick(); }

void CProgressDlg::OnClose(wxCloseEvent& event) {
  // Work that cannot be stopped keeps its dialog until it is done.
  if (!m_bCancellable && event.CanVeto()) {
    event.Veto();
    return;
  }
  if (IsModal()) EndModal(wxID_CANCEL);
}
