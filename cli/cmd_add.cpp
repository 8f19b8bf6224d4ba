// quarrix-cli add SET LABEL PATH [PATH...] [--quiet] [--follow-links] [--cross-file-systems] [--exclude PATTERN]...
//                 [--hash]
//
// Scans one path (as a picked folder or file) or several (as dropped ones)
// into a new catalog, creating SET when it does not exist, and saves it.
// The scan keeps to one medium unless told otherwise; on a terminal it shows
// its progress on stderr. The catalog records its medium and how it was
// made, for its updates. A place that does not exist adds nothing (exit 1);
// Ctrl+C or SIGTERM leave SET as it was (exit 130 or 143). Places that
// could not be read are named on stderr; the catalog is made all the same.
// --hash also reads every file for its content fingerprint (XXH128); files
// that cannot be read whole get none and are named on stderr.
// Prints one line for the new catalog:
//   LABEL<TAB>MEDIA TYPE<TAB>ITEMS<TAB>BYTES
// ITEMS counts every file and folder below the catalog, BYTES sums the
// sizes of its files.

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "cli/cli_common.h"
#include "cli/cli_stop.h"
#include "model/catalog_update.h"

int CmdAdd(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  CScanOptions options;
  bool quiet = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (arg == "--quiet")
      quiet = true;
    else if (arg == "--follow-links")
      options.bFollowLinks = true;
    else if (arg == "--cross-file-systems")
      options.bCrossFileSystems = true;
    else if (arg == "--hash")
      options.bHashContents = true;
    else if (arg == "--archives")
      options.nArchiveDepth = std::max(options.nArchiveDepth, 1);
    else if (arg == "--archive-depth") {
      if (i + 1 == args.size() || !ParseArchiveDepth(args[++i], options.nArchiveDepth))
        return UsageError("--archive-depth には 1 から " + std::to_string(kMaxArchiveDepth) +
                          " までの数を指定してください");
    } else if (arg == "--exclude" && i + 1 < args.size())
      options.excludes.push_back(args[++i]);
    else if (arg == "--exclude")
      return UsageError("--exclude の値がありません");
    else
      positional.push_back(arg);
  }
  if (positional.size() < 3) return UsageError("add にはカタログセットのファイル、カタログ名とパスを指定してください");
  const std::string& setPath = positional[0];
  const std::string label = ArgText(positional[1]);
  if (const int status = CheckNewLabel(label); status != EXIT_OK) return status;
  // Paths stay as given: they name real files, whatever their bytes.
  const std::vector<std::string> paths(positional.begin() + 2, positional.end());

  CatchStopSignals();
  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;
  if (const int status = LoadSetForChange(setPath, set, lock, true); status != EXIT_OK) return status;
  if (ReportLabelTaken(*set, label)) return EXIT_NOTHING;
  if (const int status = CheckSaveKeepsRecords(*set, setPath); status != EXIT_OK) return status;

  std::unique_ptr<CDriveFileInfo> scanned;
  std::string message;
  std::vector<std::string> unhashed, unlisted;
  const EScanStatus status = ScanShowingProgress(options, quiet, [&](const CScanOptions& scanOptions) {
    return MakeCatalog(label, paths, scanOptions, scanned, message, &unhashed, &unlisted);
  });
  if (Stopped()) return StopExitStatus();
  if (status == EScanStatus::NotFound) {
    ReportError(paths.size() == 1 ? std::string(kPlaceNotFoundMessage) + ": " + LineText(paths[0])
                                  : std::string(kPlaceNotFoundMessage));
    return EXIT_NOTHING;
  }
  if (!message.empty()) WriteErr(message + "\n");
  if (status != EScanStatus::Done) return EXIT_NOTHING;
  ReportUnreadable(CollectUnreadable(*scanned, label));
  ReportUnhashed(unhashed);
  ReportUnlisted(unlisted);
  const CDriveFileInfo* catalog = set->AppendCatalog(std::move(scanned), std::time(nullptr));
  if (const int saved = SaveSetForCli(setPath, *set, ECliSave::LockHeld); saved != EXIT_OK) return saved;
  PrintNewCatalog(*catalog);
  return EXIT_OK;
}
