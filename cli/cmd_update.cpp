// quarrix-cli update SET LABEL [PATH] [--paths P...] [--follow-links] [--cross-file-systems]
//                    [--exclude PATTERN]... [--force] [--dry-run] [--quiet] [--hash]
//
// Scans the catalog LABEL's medium again, at its base path or at PATH when
// the medium is now there, the way the catalog records it was made (the
// paths chosen, the options; the options given here and --paths replace
// those), and prints one line per difference:
//   + PATH   added          - PATH   removed
//   ~ PATH   changed        ! PATH   removed, and its note is lost
// then one line of counts. Without --dry-run the catalog is replaced by the
// new scan, keeping its label, its note and the notes of the items still
// there, and SET is saved with the catalog's new record. Places that cannot
// be read keep what the catalog held and are named on stderr.
// A place holding another medium than the catalog records, an empty mount
// point, or another folder of the medium than the one catalogued (unless
// --paths says so) is refused; where the medium is not known by its
// identity, the update is refused when it would remove more than half the
// catalog's items or lose a note. --force updates all the same. Exit 0
// when something changed (or would), 1 when nothing did or the update was
// refused; Ctrl+C or SIGTERM leave SET as it was (exit 130 or 143). A
// catalog made with fingerprints (add --hash), or updated with --hash,
// reads the files that are new or whose size or modification time changed,
// and keeps the others' fingerprints.

#include <cstdio>
#include <ctime>

#include "cli/cli_common.h"
#include "cli/cli_stop.h"
#include "model/catalog_update.h"
#include "model/text_format.h"
#include "platform/path_separator.h"

namespace {

std::string CountsLine(const CUpdateSummary& summary) {
  return "追加 " + FormatCount(summary.nAdded) + " / 削除 " + FormatCount(summary.nRemoved) + " / 変更 " +
         FormatCount(summary.nChanged) + " / 残るノート " + FormatCount(summary.nNotesKept) + " / 失われるノート " +
         FormatCount(summary.lostNotes.size()) + "\n";
}

struct CUpdateArgs {
  std::vector<std::string> positional;
  bool bQuiet = false, bHash = false, bDryRun = false, bForce = false, bFollowLinks = false, bCrossFileSystems = false;
  bool bExcludesGiven = false, bPathsGiven = false;
  int nArchiveDepth = 0;
  std::vector<std::string> excludes, chosenPaths;
};

// Options come first (cli_args.h); --paths takes every value up to the next option.
bool ParseUpdateArgs(const std::vector<std::string>& args, CUpdateArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      out.positional.insert(out.positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (arg == "--quiet") {
      out.bQuiet = true;
    } else if (arg == "--hash") {
      out.bHash = true;
    } else if (arg == "--archives") {
      out.nArchiveDepth = std::max(out.nArchiveDepth, 1);
    } else if (arg == "--archive-depth") {
      if (i + 1 == args.size() || !ParseArchiveDepth(args[++i], out.nArchiveDepth)) return false;
    } else if (arg == "--dry-run") {
      out.bDryRun = true;
    } else if (arg == "--force") {
      out.bForce = true;
    } else if (arg == "--follow-links") {
      out.bFollowLinks = true;
    } else if (arg == "--cross-file-systems") {
      out.bCrossFileSystems = true;
    } else if (arg == "--exclude") {
      if (i + 1 == args.size()) return false;
      out.bExcludesGiven = true;
      out.excludes.push_back(args[++i]);
    } else if (arg == "--paths") {
      out.bPathsGiven = true;
      while (i + 1 < args.size() && args[i + 1].rfind("-", 0) != 0) out.chosenPaths.push_back(args[++i]);
    } else {
      out.positional.push_back(arg);
    }
  }
  return true;
}

// Whether the way of making is the same, the medium's size aside (it moves).
bool SameRecord(const CDriveFileInfo& old, const CDriveFileInfo& fresh) {
  if (!old.m_record || !fresh.m_record) return old.m_record.has_value() == fresh.m_record.has_value();
  CCatalogRecord a = *old.m_record, b = *fresh.m_record;
  a.medium.nTotalBytes = b.medium.nTotalBytes = 0;
  return a == b;
}

}  // namespace

int CmdUpdate(const std::vector<std::string>& args) {
  CUpdateArgs parsed;
  if (!ParseUpdateArgs(args, parsed))
    return UsageError("--exclude の値がないか、--archive-depth の値が 1 から 8 の数ではありません");
  const std::vector<std::string>& positional = parsed.positional;
  if (positional.size() < 2 || positional.size() > 3)
    return UsageError("update にはカタログセットのファイルとカタログ名を指定してください");
  const std::string& setPath = positional[0];
  const std::string label = ArgText(positional[1]);

  CatchStopSignals();
  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;  // held to the save, so a second program's change is not lost
  if (const int status = LoadSetForChange(setPath, set, lock); status != EXIT_OK) return status;
  if (const int status = parsed.bDryRun ? EXIT_OK : CheckSaveKeepsRecords(*set, setPath); status != EXIT_OK)
    return status;
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(set.get()), label);
  if (item == nullptr || !item->IsCatalog()) {
    ReportError("カタログが見つかりません: " + LineText(label));
    return EXIT_NOTHING;
  }
  if (!IsCatalogOfSet(*set, *item)) {
    ReportError("フォルダやカタログの中にあるカタログ (他のプログラムで作られたもの) は更新できません: " +
                LineText(label));
    return EXIT_NOTHING;
  }
  const auto& catalog = static_cast<const CDriveFileInfo&>(*item);
  std::string place;
  if (positional.size() == 3) {
    place = positional[2];
  } else if (IsRootedPath(catalog.m_strCatalogedPath) && FolderExists(catalog.m_strCatalogedPath)) {
    place = catalog.m_strCatalogedPath;
  } else {
    ReportError("カタログの場所が見つかりません: " + LineText(catalog.m_strCatalogedPath));
    WriteErr("メディアの新しい場所を PATH に指定してください\n");
    return EXIT_NOTHING;
  }
  CMediumVerdict verdict;
  CMediumAcceptance how;
  how.strAction = "更新";
  how.bForce = parsed.bForce;
  how.bPathsGiven = parsed.bPathsGiven;
  how.bPathsAccepted = true;
  if (FolderExists(place) && !MediumAccepted(catalog, place, how, &verdict)) return EXIT_NOTHING;

  CScanOptions scanOptions = RecordedScanOptions(catalog);
  scanOptions.bFollowLinks = scanOptions.bFollowLinks || parsed.bFollowLinks;
  scanOptions.bCrossFileSystems = scanOptions.bCrossFileSystems || parsed.bCrossFileSystems;
  scanOptions.bHashContents = scanOptions.bHashContents || parsed.bHash;
  scanOptions.nArchiveDepth = std::max(scanOptions.nArchiveDepth, parsed.nArchiveDepth);
  if (parsed.bExcludesGiven) scanOptions.excludes = parsed.excludes;
  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  std::vector<std::string> unhashed, unlisted;
  const EScanStatus status = ScanShowingProgress(scanOptions, parsed.bQuiet, [&](const CScanOptions& options) {
    return ScanForUpdate(catalog, place, options, fresh, message, parsed.bPathsGiven ? &parsed.chosenPaths : nullptr,
                         &unhashed, &unlisted);
  });
  if (Stopped()) return StopExitStatus();
  if (status == EScanStatus::NotFound && !message.empty()) {
    ReportError("--paths にはメディアの場所の中のパスを指定してください: " + LineText(message));
    return EXIT_USAGE;
  }
  if (status == EScanStatus::NotFound) {
    ReportError(std::string(kPlaceNotFoundMessage) + ": " + LineText(place));
    return EXIT_NOTHING;
  }
  if (!message.empty()) WriteErr(message + "\n");
  if (status != EScanStatus::Done) return EXIT_NOTHING;

  const CUpdateSummary summary = CompareCatalogs(catalog, *fresh, [](EItemChange change, const std::string& path) {
    WriteOut(std::string(1, char(change)) + " " + LineText(path) + "\n");
  });
  WriteOut(CountsLine(summary));
  if (summary.bBasePathChanged) WriteOut("基本パス: " + LineText(fresh->m_strCatalogedPath) + "\n");
  if (summary.unreadable.nCount != 0) {
    ReportUnreadable(summary.unreadable);
    WriteErr("読めなかった場所はカタログの前の内容のままです\n");
  }
  ReportUnhashed(unhashed);
  ReportUnlisted(unlisted);
  // Fingerprints taken of files that had none are worth keeping too.
  const bool newFingerprints = !(fresh->m_fingerprints == catalog.m_fingerprints);
  if (!summary.HasChanges() && SameRecord(catalog, *fresh) && !newFingerprints) return EXIT_NOTHING;
  if (!verdict.Certain() && !parsed.bForce && UpdateLooksDestructive(catalog, summary)) {
    ReportError(
        "項目の半分より多くが削除されるか、ノートが失われるため、更新しませんでした\n"
        "メディアと場所を確かめてください (それでも更新するには --force を指定してください)");
    return EXIT_NOTHING;
  }
  if (parsed.bDryRun) return EXIT_OK;

  ApplyCatalogUpdate(*set, catalog, std::move(fresh), std::time(nullptr));
  return SaveSetForCli(setPath, *set, ECliSave::LockHeld);
}
