// quarrix-cli update SET LABEL [PATH] [--dry-run] [--quiet]
//
// Scans the catalog LABEL's medium again, at its base path or at PATH when
// the medium is now there, and prints one line per difference:
//   + PATH   added          - PATH   removed
//   ~ PATH   changed        ! PATH   removed, and its note is lost
// then one line of counts. Without --dry-run the catalog is replaced by the
// new scan, keeping its label, its note and the notes of the items still
// there, and SET is saved. Exit 0 when something changed (or would), 1 when
// nothing did; Ctrl+C or SIGTERM leave SET as it was (exit 130 or 143).

#include <cstdio>
#include <ctime>

#include "cli/cli_common.h"
#include "cli/cli_stop.h"
#include "model/catalog_update.h"
#include "model/text_format.h"

namespace {

std::string CountsLine(const CUpdateSummary& summary) {
  return "追加 " + FormatCount(summary.nAdded) + " / 削除 " + FormatCount(summary.nRemoved) + " / 変更 " +
         FormatCount(summary.nChanged) + " / 残るノート " + FormatCount(summary.nNotesKept) + " / 失われるノート " +
         FormatCount(summary.lostNotes.size()) + "\n";
}

}  // namespace

int CmdUpdate(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  bool quiet = false, dryRun = false;
  for (const std::string& arg : args) {
    if (arg == "--quiet")
      quiet = true;
    else if (arg == "--dry-run")
      dryRun = true;
    else
      positional.push_back(arg);
  }
  if (positional.size() < 2 || positional.size() > 3)
    return UsageError("update にはカタログセットのファイルとカタログ名を指定してください");
  const std::string& setPath = positional[0];
  const std::string label = ArgText(positional[1]);

  CatchStopSignals();
  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;  // held to the save, so a second program's change is not lost
  if (const int status = LoadSetForChange(setPath, set, lock); status != EXIT_OK) return status;
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(set.get()), label);
  if (item == nullptr || !item->IsCatalog()) {
    ReportError("カタログが見つかりません: " + LineText(label));
    return EXIT_NOTHING;
  }
  const auto& catalog = static_cast<const CDriveFileInfo&>(*item);
  std::string place;
  if (positional.size() == 3) {
    place = positional[2];
  } else if (CatalogPlacePresent(catalog)) {
    place = catalog.m_strCatalogedPath;
  } else {
    ReportError("カタログの場所が見つかりません: " + LineText(catalog.m_strCatalogedPath));
    std::fprintf(stderr, "メディアの新しい場所を PATH に指定してください\n");
    return EXIT_NOTHING;
  }

  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  const EScanStatus status = ScanShowingProgress(CScanOptions(), quiet, [&](const CScanOptions& options) {
    return ScanForUpdate(catalog, place, options, fresh, message);
  });
  if (Stopped()) return StopExitStatus();
  if (status == EScanStatus::NotFound) {
    ReportError(std::string(kPlaceNotFoundMessage) + ": " + LineText(place));
    return EXIT_NOTHING;
  }
  if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
  if (status != EScanStatus::Done) return EXIT_NOTHING;

  const CUpdateSummary summary = CompareCatalogs(catalog, *fresh, [](EItemChange change, const std::string& path) {
    WriteOut(std::string(1, char(change)) + " " + LineText(path) + "\n");
  });
  WriteOut(CountsLine(summary));
  if (summary.bBasePathChanged) WriteOut("基本パス: " + LineText(fresh->m_strCatalogedPath) + "\n");
  if (!summary.HasChanges()) return EXIT_NOTHING;
  if (dryRun) return EXIT_OK;

  ApplyCatalogUpdate(*set, catalog, std::move(fresh), std::time(nullptr));
  const int saved = SaveSetForCli(setPath, *set, &StopFlag());
  // A signal that came after the file was replaced did not stop the save.
  if (saved != EXIT_OK && Stopped()) return StopExitStatus();
  return saved;
}
