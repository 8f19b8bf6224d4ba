#include "document/file_association.h"

#include <glib.h>

#include <cstdio>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "resources/svg_images.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  out = text.str();
  return true;
}

// Writes text to path through a temporary file, so a half-written entry is
// never seen by the desktop.
bool WriteWholeFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool UpdateFile(const std::string& folder, const std::string& name, const std::string& text) {
  if (g_mkdir_with_parents(folder.c_str(), 0755) != 0) return false;
  const std::string path = folder + "/" + name;
  std::string old;
  if (ReadWholeFile(path, old) && old == text) return false;
  return WriteWholeFile(path, text);
}

void RunIfInstalled(const char* program, const std::string& folder) {
  gchar* found = g_find_program_in_path(program);
  if (!found) return;
  gchar* argv[] = {found, const_cast<gchar*>(folder.c_str()), nullptr};
  g_spawn_sync(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL), nullptr,
               nullptr, nullptr, nullptr, nullptr, nullptr);
  g_free(found);
}

}  // namespace

std::string XdgDataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return {};
}

std::string MimePackageText() {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
             "  <mime-type type=\"") +
         kSetMimeType + "\">\n    <comment>" + kSetTypeName + "</comment>\n    <comment xml:lang=\"ja\">" +
         kSetTypeNameJapanese +
         "</comment>\n"
         "    <glob pattern=\"*.fcf\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string DesktopExecQuote(const std::string& program) {
  // Inside the quotes a backslash goes before ", `, $ and \; a field code
  // sign is doubled. The entry's string syntax then doubles every backslash
  // once more, and control characters take their escapes.
  std::string quoted = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (char c : quoted) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string DesktopEntryText(const std::string& program) {
  return std::string(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Quarrix\n"
             "Name[ja]=クオリクス\n"
             "Comment=Disk catalog sets\n"
             "Comment[ja]=ディスクのカタログセット\n"
             "Exec=") +
         DesktopExecQuote(program) +
         " %f\n"
         "Icon=quarrix\n"
         "MimeType=" +
         kSetMimeType +
         ";\n"
         "Terminal=false\n"
         "NoDisplay=false\n"
         "Categories=Utility;Archiving;\n";
}

int RegisterDocumentType(const std::string& dataHome, const std::string& program) {
  if (dataHome.empty() || program.empty()) return 0;
  const std::string mimeFolder = dataHome + "/mime";
  const std::string appFolder = dataHome + "/applications";
  int written = 0;
  if (UpdateFile(mimeFolder + "/packages", "quarrix-tallyhold.xml", MimePackageText())) {
    ++written;
    RunIfInstalled("update-mime-database", mimeFolder);
  }
  // The entry's icon, found by name in the desktop's icon theme.
  if (const char* icon = SvgImageText("quarrix"))
    if (UpdateFile(dataHome + "/icons/hicolor/scalable/apps", "quarrix.svg", icon)) ++written;
  if (UpdateFile(appFolder, "quarrix.desktop", DesktopEntryText(program))) {
    ++written;
    RunIfInstalled("update-desktop-database", appFolder);
  }
  return written;
}
