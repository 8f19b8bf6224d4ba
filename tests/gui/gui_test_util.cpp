#include "tests/gui/gui_test_util.h"

#include "dialogs/message_box.h"

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
  EXPECT_EQ(Utf8(dlg->GetMessage()), MessageBoxText(m_strText));
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

namespace {

// What a static text needs to show whole at its given width, as GTK lays it
// out: the width of its longest unbreakable run (none for a text cut on
// purpose, "…"), and the height of its lines wrapped at that width.
wxSize LabelNeeds(wxStaticText* label) {
  auto* widget = static_cast<void*>(label->GetHandle());
  int requestX = -1, requestY = -1, minimum = 0, natural = 0, height = 0;
  Gtk<void (*)(void*, int*, int*)>("gtk_widget_get_size_request")(widget, &requestX, &requestY);
  Gtk<void (*)(void*, int, int)>("gtk_widget_set_size_request")(widget, -1, -1);
  Gtk<void (*)(void*, int*, int*)>("gtk_widget_get_preferred_width")(widget, &minimum, &natural);
  Gtk<void (*)(void*, int, int*, int*)>("gtk_widget_get_preferred_height_for_width")(widget, label->GetSize().x,
                                                                                     &natural, &height);
  Gtk<void (*)(void*, int, int)>("gtk_widget_set_size_request")(widget, requestX, requestY);
  const bool cutOnPurpose = label->HasFlag(wxST_ELLIPSIZE_START | wxST_ELLIPSIZE_MIDDLE | wxST_ELLIPSIZE_END);
  return wxSize(cutOnPurpose ? 0 : minimum, height);
}

// A button shows its text inside its padding and border; a button lower
// than GTK would make it trims its padding, not the text.
wxSize ButtonNeeds(wxAnyButton* button) {
  struct CGtkBorder {
    std::int16_t nLeft, nRight, nTop, nBottom;
  } padding{}, border{};
  void* style = Gtk<void* (*)(void*)>("gtk_widget_get_style_context")(button->GetHandle());
  const int state = Gtk<int (*)(void*)>("gtk_style_context_get_state")(style);
  Gtk<void (*)(void*, int, CGtkBorder*)>("gtk_style_context_get_padding")(style, state, &padding);
  Gtk<void (*)(void*, int, CGtkBorder*)>("gtk_style_context_get_border")(style, state, &border);
  const wxSize text = button->GetTextExtent(button->GetLabelText());
  return wxSize(text.x + padding.nLeft + padding.nRight + border.nLeft + border.nRight,
                text.y + border.nTop + border.nBottom);
}

}  // namespace

std::vector<std::string> ClippedControls(wxWindow* window) {
  std::vector<std::string> clipped;
  for (wxWindow* child : window->GetChildren()) {
    if (!child->IsShown() || child->IsTopLevel()) continue;
    wxSize needs;
    if (auto* label = dynamic_cast<wxStaticText*>(child)) {
      needs = LabelNeeds(label);
    } else if (auto* button = dynamic_cast<wxAnyButton*>(child)) {
      needs = ButtonNeeds(button);
    } else if (dynamic_cast<wxCheckBox*>(child) || dynamic_cast<wxRadioButton*>(child)) {
      child->InvalidateBestSize();  // the best size of its first label is kept
      needs = child->GetBestSize();
    }
    const wxSize given = child->GetSize();
    if (needs.x > given.x || needs.y > given.y)
      clipped.push_back("\"" + Utf8(child->GetLabel()) + "\" needs " + std::to_string(needs.x) + "x" +
                        std::to_string(needs.y) + ", has " + std::to_string(given.x) + "x" + std::to_string(given.y));
    for (const std::string& inner : ClippedControls(child)) clipped.push_back(inner);
  }
  return clipped;
}
