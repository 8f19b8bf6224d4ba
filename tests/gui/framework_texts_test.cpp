// The framework's own texts in a C.UTF-8 locale: GTK's buttons as the user
// sees them, wx's catalog, the status prompts, and no stock keys.

#include <sys/wait.h>
#include <glib-object.h>

#include <wx/msgdlg.h>
#include <wx/translation.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/message_box.h"
#include "document/doc_messages.h"
#include "tests/gui/gui_test_util.h"

namespace {

bool IsA(void* object, const char* typeFunction) {
  auto type = Gtk<GType (*)()>(typeFunction);
  return object && type && G_TYPE_CHECK_INSTANCE_TYPE(object, type());
}

void CollectLabels(void* widget, void* out) {
  auto& texts = *static_cast<std::vector<std::string>*>(out);
  if (IsA(widget, "gtk_label_get_type")) {
    texts.emplace_back(Gtk<const char* (*)(void*)>("gtk_label_get_text")(widget));
  } else if (IsA(widget, "gtk_container_get_type")) {
    Gtk<void (*)(void*, void (*)(void*, void*), void*)>("gtk_container_forall")(widget, CollectLabels, out);
  }
}

// The labels of the buttons of the message dialog on screen, which is then
// closed with its Cancel or No answer.
struct CShownButtons {
  std::vector<std::string> m_vecLabels;
  bool m_bFound = false;
};

gboolean ReadAndCloseMessageDialog(gpointer data) {
  auto* shown = static_cast<CShownButtons*>(data);
  auto toplevels = Gtk<GList* (*)()>("gtk_window_list_toplevels");
  auto forResponse = Gtk<void* (*)(void*, int)>("gtk_dialog_get_widget_for_response");
  auto respond = Gtk<void (*)(void*, int)>("gtk_dialog_response");
  GList* windows = toplevels();
  for (GList* item = windows; item; item = item->next) {
    if (!IsA(item->data, "gtk_message_dialog_get_type")) continue;
    shown->m_bFound = true;
    // GTK_RESPONSE_NO, _CANCEL, _YES, _OK, in the order GTK shows them.
    for (int response : {-9, -6, -8, -5})
      if (void* button = forResponse(item->data, response)) CollectLabels(button, &shown->m_vecLabels);
    respond(item->data, forResponse(item->data, -6) ? -6 : -9);
  }
  g_list_free(windows);
  return shown->m_bFound ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

// The lines GTK shows in the text of the message dialog on screen, which is
// then closed.
struct CShownLines {
  std::string m_strText;
  std::vector<std::string> m_vecLines;
  bool m_bFound = false;
};

// The public head of PangoLayoutLine.
struct CPangoLineHead {
  void* pLayout;
  int nStart, nLength;
};

void CollectLines(void* widget, void* out) {
  auto& shown = *static_cast<CShownLines*>(out);
  if (IsA(widget, "gtk_label_get_type") && Gtk<int (*)(void*)>("gtk_widget_get_visible")(widget)) {
    void* layout = Gtk<void* (*)(void*)>("gtk_label_get_layout")(widget);
    shown.m_strText = Gtk<const char* (*)(void*)>("pango_layout_get_text")(layout);
    auto lineAt = Gtk<CPangoLineHead* (*)(void*, int)>("pango_layout_get_line_readonly");
    for (int i = 0; i < Gtk<int (*)(void*)>("pango_layout_get_line_count")(layout); ++i) {
      const CPangoLineHead* line = lineAt(layout, i);
      shown.m_vecLines.push_back(shown.m_strText.substr(std::size_t(line->nStart), std::size_t(line->nLength)));
    }
  } else if (IsA(widget, "gtk_container_get_type")) {
    Gtk<void (*)(void*, void (*)(void*, void*), void*)>("gtk_container_forall")(widget, CollectLines, out);
  }
}

gboolean ReadLinesAndCloseMessageDialog(gpointer data) {
  auto* shown = static_cast<CShownLines*>(data);
  GList* windows = Gtk<GList* (*)()>("gtk_window_list_toplevels")();
  for (GList* item = windows; item; item = item->next) {
    if (!IsA(item->data, "gtk_message_dialog_get_type")) continue;
    shown->m_bFound = true;
    CollectLines(Gtk<void* (*)(void*)>("gtk_message_dialog_get_message_area")(item->data), shown);
    Gtk<void (*)(void*, int)>("gtk_dialog_response")(item->data, -5);
  }
  g_list_free(windows);
  return shown->m_bFound ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

std::vector<std::string> ButtonsOfRealMessageBox(long style) {
  CShowRealDialogs real;
  CShownButtons shown;
  const guint timer = g_timeout_add(50, ReadAndCloseMessageDialog, &shown);
  wxMessageBox("?", "Quarrix", style);
  if (!shown.m_bFound) g_source_remove(timer);
  return shown.m_vecLabels;
}

}  // namespace

TEST(FrameworkTexts, MessageBoxButtonsAndWxTextsAreJapaneseInACLocale) {
  ASSERT_STREQ(getenv("LC_ALL"), "C.UTF-8");
  EXPECT_EQ(ButtonsOfRealMessageBox(wxYES_NO | wxCANCEL),
            (std::vector<std::string>{"いいえ(N)", "キャンセル(C)", "はい(Y)"}));
  EXPECT_EQ(ButtonsOfRealMessageBox(wxOK | wxCANCEL), (std::vector<std::string>{"キャンセル(C)", "OK(O)"}));
  EXPECT_EQ(Utf8(wxGetTranslation("Cancel")), "キャンセル");
}

TEST(FrameworkTexts, LongMessagesBreakBetweenWordsAndGtkKeepsTheBreaks) {
  CShowRealDialogs real;
  CShownLines shown;
  const guint timer = g_timeout_add(50, ReadLinesAndCloseMessageDialog, &shown);
  const std::string path = "/home/user/ドキュメント/カタログ/読み取り専用/写真とビデオのカタログ.fcf";
  const std::string message = SetFileErrorMessage(ESetFileError::AccessDenied, path, true);
  AppMessageBox(message);
  if (!shown.m_bFound) g_source_remove(timer);
  ASSERT_TRUE(shown.m_bFound);
  // GTK breaks no line itself: each line shown is one the text was given
  // with, and nothing of the message is lost.
  std::vector<std::string> given{""};
  for (char c : shown.m_strText) {
    if (c == '\n')
      given.emplace_back();
    else
      given.back().push_back(c);
  }
  EXPECT_EQ(shown.m_vecLines, given);
  EXPECT_EQ(shown.m_strText, MessageBoxText(message));
}

TEST(FrameworkTexts, WithoutADisplayTheProgramSaysSoInJapaneseAndEndsWithOne) {
  gchar** env = g_get_environ();
  env = g_environ_unsetenv(env, "DISPLAY");
  env = g_environ_unsetenv(env, "WAYLAND_DISPLAY");
  gchar* argv[] = {const_cast<gchar*>(QUARRIX_PROGRAM_PATH), nullptr};
  gchar* errors = nullptr;
  gint status = 0;
  ASSERT_TRUE(g_spawn_sync(nullptr, argv, env, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr, nullptr, nullptr, &errors, &status,
                           nullptr));
  g_strfreev(env);
  const std::string text = errors;
  g_free(errors);
  EXPECT_TRUE(g_spawn_check_wait_status(status, nullptr) == FALSE && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(text.find("quarrix-cli を使ってください"), std::string::npos) << text;
  EXPECT_EQ(text.find("Unable"), std::string::npos) << text;
}
