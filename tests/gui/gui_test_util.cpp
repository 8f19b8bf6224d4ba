#include "tests/gui/gui_test_util.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/evtloop.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

void Click(wxWindow* button) {
  ASSERT_TRUE(button);
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

void Click(wxWindow* window, int id) {
  ASSERT_TRUE(window);
  wxWindow* button = window->GetId() == id ? window : window->FindWindow(id);
  ASSERT_TRUE(button) << "no control with id " << id;
  Click(button);
}

void FlushEvents() {
  // Idle processing delivers a top-level window's size change; the events it
  // queues are handled on the next round.
  for (int round = 0; round < 3; ++round) {
    wxTheApp->ProcessPendingEvents();
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop && loop->Pending()) loop->Dispatch();
    wxTheApp->ProcessIdle();
  }
}

std::string Utf8(const wxString& text) {
  const wxScopedCharBuffer buffer = text.utf8_str();
  return std::string(buffer.data(), buffer.length());
}

int CExpectMessageBox::OnInvoked(wxMessageDialog* dlg) const {
  EXPECT_EQ(Utf8(dlg->GetMessage()), m_strText);
  EXPECT_EQ(Utf8(dlg->GetTitle()), "Quarrix");
  return m_nAnswer;
}

wxString CExpectMessageBox::GetDefaultDescription() const {
  return wxString::FromUTF8("message box \"" + m_strText + "\"");
}

CScopedTimeZone::CScopedTimeZone(const char* tz) {
  if (const char* old = std::getenv("TZ")) m_strOld = old, m_bHadOld = true;
  setenv("TZ", tz, 1);
  tzset();
}

CScopedTimeZone::~CScopedTimeZone() {
  if (m_bHadOld)
    setenv("TZ", m_strOld.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

std::vector<std::string> ClippedControls(wxWindow* window) {
  std::vector<std::string> clipped;
  for (wxWindow* child : window->GetChildren()) {
    if (!child->IsShown() || child->IsTopLevel()) continue;
    const bool labelled = dynamic_cast<wxStaticText*>(child) || dynamic_cast<wxAnyButton*>(child) ||
                          dynamic_cast<wxCheckBox*>(child) || dynamic_cast<wxRadioButton*>(child);
    const bool cutOnPurpose = child->HasFlag(wxST_ELLIPSIZE_START | wxST_ELLIPSIZE_MIDDLE | wxST_ELLIPSIZE_END) &&
                              dynamic_cast<wxStaticText*>(child);
    const wxSize best = child->GetBestSize(), given = child->GetSize();
    if (labelled && !cutOnPurpose && (best.x > given.x || best.y > given.y))
      clipped.push_back("\"" + Utf8(child->GetLabel()) + "\" needs " + std::to_string(best.x) + "x" +
                        std::to_string(best.y) + ", has " + std::to_string(given.x) + "x" + std::to_string(given.y));
    for (const std::string& inner : ClippedControls(child)) clipped.push_back(inner);
  }
  return clipped;
}
