#include "document/help_contents.h"

#include <gio/gio.h>

#include <wx/stdpaths.h>

#include "dialogs/message_box.h"
#include "document/child_environment.h"
#include "document/doc_messages.h"

std::string ManualPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.rfind('/');
  if (slash == std::string::npos) return {};
  return programPath.substr(0, slash + 1) + "Manual/index.htm";
}

std::string InstalledManualPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string folder = programPath.substr(0, slash);
  const std::size_t bin = folder.rfind('/');
  if (bin == std::string::npos || folder.substr(bin + 1) != "bin") return {};
  return folder.substr(0, bin + 1) + "share/quarrix/Manual/index.htm";
}

void OpenHelpContents(wxWindow* parent) {
  GAppInfo* browser = g_app_info_get_default_for_type("text/html", FALSE);
  OpenManualWith(browser, wxStandardPaths::Get().GetExecutablePath().utf8_string(), parent);
  if (browser) g_object_unref(browser);
}

void OpenManualWith(GAppInfo* browser, const std::string& programPath, wxWindow* parent) {
  if (!browser) {
    AppMessageBox(kNoDefaultBrowser, wxOK | wxICON_EXCLAMATION, parent);
    return;
  }
  // The build's copy next to the program first, then the installed one.
  std::string manual = ManualPathFor(programPath);
  const std::string installed = InstalledManualPathFor(programPath);
  if (!installed.empty() && !g_file_test(manual.c_str(), G_FILE_TEST_EXISTS) &&
      g_file_test(installed.c_str(), G_FILE_TEST_EXISTS))
    manual = installed;
  bool launched = false;
  if (!manual.empty()) {
    GFile* file = g_file_new_for_path(manual.c_str());
    GList* files = g_list_append(nullptr, file);
    GError* error = nullptr;
    GAppLaunchContext* context = NewChildLaunchContext();
    launched = g_app_info_launch(browser, files, context, &error);
    g_object_unref(context);
    if (error) g_error_free(error);
    g_list_free(files);
    g_object_unref(file);
  }
  if (!launched) AppMessageBox(kBrowserFailed, wxOK | wxICON_EXCLAMATION, parent);
}
