#include "document/member_opener.h"

#include <wx/filename.h>
#include <wx/utils.h>

#include <filesystem>
#include <fstream>

#include "model/archive_extract.h"
#include "platform/content_reader.h"

namespace {

namespace fs = std::filesystem;

// This run's folder for copies, made on first use.
fs::path& PrivateFolder() {
  static fs::path folder;
  return folder;
}

bool MakePrivateFolder() {
  fs::path& folder = PrivateFolder();
  if (!folder.empty()) return true;
  const fs::path temp = fs::u8path(wxFileName::GetTempDir().utf8_string());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        temp / ("quarrix-members-" + std::to_string(wxGetProcessId()) + "-" + std::to_string(attempt));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
      folder = candidate;
      return true;
    }
  }
  return false;
}

// A name the member's copy can take: its own, unless that would name
// something else.
std::string CopyName(const std::string& name) {
  return name.empty() || name == "." || name == ".." ? std::string("member") : name;
}

}  // namespace

bool ExtractMemberCopy(const std::string& archivePath, const CMemberPath& where, std::string& path) {
  if (where.levels.empty() || where.levels.back().empty() || !MakePrivateFolder()) return false;
  static int copies = 0;
  const fs::path folder = PrivateFolder() / std::to_string(++copies);
  std::error_code error;
  if (!fs::create_directory(folder, error)) return false;
  const fs::path file = folder / fs::u8path(CopyName(where.levels.back().back()));
  std::ofstream out(file, std::ios::binary);
  if (!out) return false;
  const auto reader = MakeFileContentReader();
  const EExtract result = ExtractMember(*reader, archivePath, where.levels, [&](const char* data, std::size_t size) {
    return static_cast<bool>(out.write(data, std::streamsize(size)));
  });
  out.close();
  if (result != EExtract::Done || !out) {
    fs::remove_all(folder, error);
    return false;
  }
  path = file.u8string();
  return true;
}

void RemoveMemberCopies() {
  fs::path& folder = PrivateFolder();
  if (folder.empty()) return;
  std::error_code error;
  fs::remove_all(folder, error);
  folder.clear();
}
