// quarrix-cli identify SET... PATH
//
// Tells which catalog the medium at PATH is: one line per catalog of the
// sets that matches,
//   [SET<TAB>]LABEL<TAB>HOW<TAB>STATE
// SET (as given) only when several sets are given; HOW says how it was
// decided: by the volume ID (the file system's UUID, the volume serial on
// Windows), or, where none compares, by a sample of the catalog's files
// found at PATH with their size and time; STATE whether the medium looks changed
// since it was catalogued (by how much its free space differs, or its new
// size). Exit 0 when a catalog matched, 1 when none did.

#include "cli/cli_common.h"
#include "model/catalog_update.h"
#include "model/medium_match.h"
#include "model/scan.h"
#include "model/text_format.h"
#include "platform/media_type.h"
#include "platform/volume_info.h"

namespace {

// What differs, in bytes: a change of a few blocks reads the same in MB.
std::string StateText(const CDriveFileInfo& catalog, const CMediumMatch& match, const CMediumIdentity& medium,
                      std::uint64_t freeBytes) {
  if (!match.bChanged) return "変更なし";
  const std::uint64_t was = catalog.m_nFreeBytes;
  if (freeBytes != was)
    return "変更あり (空き容量が " + FormatSize(freeBytes > was ? freeBytes - was : was - freeBytes, true) +
           (freeBytes > was ? "増えています)" : "減っています)");
  return "変更あり (容量が " + FormatSize(medium.nTotalBytes, true) + "になっています)";
}

}  // namespace

int CmdIdentify(const std::vector<std::string>& args) {
  std::vector<std::string> operands;
  for (const std::string& arg : args)
    if (arg != "--") operands.push_back(arg);
  if (operands.size() < 2) return UsageError("identify にはカタログセットのファイルとメディアの場所を指定してください");
  const std::string& place = operands.back();
  std::vector<std::unique_ptr<CRootFileInfo>> sets(operands.size() - 1);
  for (std::size_t i = 0; i < sets.size(); ++i)
    if (const int status = LoadSetForCli(operands[i], sets[i]); status != EXIT_OK) return status;

  CMediumIdentity medium;
  std::uint64_t freeBytes = 0, totalBytes = 0;
  if (!FolderExists(place)) {
    ReportError(std::string(kPlaceNotFoundMessage) + ": " + LineText(place));
    return EXIT_NOTHING;
  }
  if (!ReadMediumIdentity(place, medium) || !ReadDiskSpace(place, freeBytes, totalBytes)) {
    ReportError("この場所のメディアを調べられません: " + LineText(place));
    return EXIT_NOTHING;
  }
  bool matched = false;
  for (std::size_t i = 0; i < sets.size(); ++i) {
    for (const CMediumMatch& match : FindCatalogsOfMedium(*sets[i], place, medium, freeBytes)) {
      std::string line = sets.size() > 1 ? LineText(operands[i]) + "\t" : std::string();
      line += LineText(match.pCatalog->m_strLabel) + "\t" + VerdictBasisText(match.verdict);
      line += "\t" + StateText(*match.pCatalog, match, medium, freeBytes) + "\n";
      WriteOut(line);
      matched = true;
    }
  }
  if (matched) return EXIT_OK;
  ReportError("このメディアに一致するカタログはありません: " + LineText(DescribeMedium(medium)));
  return EXIT_NOTHING;
}
