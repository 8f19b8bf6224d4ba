// quarrix-cli verify SET LABEL [PATH] [--json] [--quiet] [--force]
//
// Reads the catalog LABEL's medium again, at its base path or at PATH, and
// compares it with the catalog, which it never changes. Prints one line per
// finding, "KIND<TAB>PATH", then a line of counts; with --json one object.
// Files whose size and modification time are unchanged and that have a
// fingerprint are read again: a different content is "壊れている" (silent
// damage). A catalog without fingerprints is compared by size and time
// alone, as stderr says. The medium is checked as for update, and --force
// verifies another medium all the same: verify changes nothing, so the
// worst it can do is report a copy of the medium (a clone, which has an
// identity of its own) as it is.
// Exit 0 when everything matches, 1 when something differs, 5 when a file is
// corrupt or could not be read; Ctrl+C or SIGTERM exit 130 or 143.

#include <cstdio>

#include "cli/cli_common.h"
#include "model/item_json.h"
#include "cli/cli_stop.h"
#include "model/catalog_verify.h"
#include "model/text_format.h"
#include "platform/path_separator.h"

namespace {

const char* const kJsonKinds[kVerifyKinds] = {"missing", "new", "changed", "corrupt", "unreadable"};

std::string CountsLine(const CVerifyResult& result) {
  std::string line;
  for (int kind = 0; kind < kVerifyKinds; ++kind)
    line += std::string(kind == 0 ? "" : " / ") + VerifyKindName(EVerifyKind(kind)) + " " +
            FormatCount(result.aCounts[kind]);
  return line + " / 内容を比べたファイル " + FormatCount(result.nContentsCompared) + "\n";
}

std::string ResultJson(const std::string& label, const CVerifyResult& result) {
  nlohmann::ordered_json out;
  out["catalog"] = label;
  out["fingerprints"] = result.bHasFingerprints;
  out["contents_compared"] = result.nContentsCompared;
  nlohmann::ordered_json& counts = out["counts"] = nlohmann::ordered_json::object();
  for (int kind = 0; kind < kVerifyKinds; ++kind) counts[kJsonKinds[kind]] = result.aCounts[kind];
  nlohmann::ordered_json& findings = out["findings"] = nlohmann::ordered_json::array();
  for (const CVerifyFinding& finding : result.findings)
    findings.push_back({{"kind", kJsonKinds[int(finding.eKind)]}, {"path", finding.strPath}});
  return JsonLine(out);
}

}  // namespace

int CmdVerify(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  bool json = false, quiet = false, force = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (args[i] == "--json")
      json = true;
    else if (args[i] == "--quiet")
      quiet = true;
    else if (args[i] == "--force")
      force = true;
    else
      positional.push_back(args[i]);
  }
  if (positional.size() < 2 || positional.size() > 3)
    return UsageError("verify にはカタログセットのファイルとカタログ名を指定してください");
  const std::string label = ArgText(positional[1]);

  CatchStopSignals();
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(positional[0], set); status != EXIT_OK) return status;
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(set.get()), label);
  if (item == nullptr || !item->IsCatalog()) {
    ReportError("カタログが見つかりません: " + LineText(label));
    return EXIT_NOTHING;
  }
  const auto& catalog = static_cast<const CDriveFileInfo&>(*item);
  const std::string place = positional.size() == 3 ? positional[2] : catalog.m_strCatalogedPath;
  if (!IsRootedPath(place) && positional.size() < 3) {
    ReportError("カタログの場所が見つかりません: " + LineText(place));
    return EXIT_IO;
  }
  CMediumAcceptance how;
  how.strAction = "検証";
  how.bForce = force;
  if (FolderExists(place) && !MediumAccepted(catalog, place, how)) return EXIT_IO;

  CVerifyResult result;
  std::string message;
  const EScanStatus status = ScanShowingProgress(CScanOptions(), quiet, [&](const CScanOptions& options) {
    return VerifyCatalog(catalog, place, options, result, message);
  });
  if (Stopped()) return StopExitStatus();
  if (status == EScanStatus::NotFound) {
    ReportError(std::string(kPlaceNotFoundMessage) + ": " + LineText(place));
    return EXIT_IO;
  }
  if (status != EScanStatus::Done) return EXIT_IO;
  if (!message.empty()) WriteErr(message + "\n");
  if (!result.bHasFingerprints) WriteErr("このカタログにはハッシュがないため、サイズと更新日時だけで検証しました\n");

  if (json) {
    WriteOut(ResultJson(catalog.m_strLabel, result));
  } else {
    for (const CVerifyFinding& finding : result.findings)
      WriteOut(std::string(VerifyKindName(finding.eKind)) + "\t" + LineText(finding.strPath) + "\n");
    WriteOut(CountsLine(result));
  }
  return result.Damaged() ? EXIT_DAMAGED : result.Matches() ? EXIT_OK : EXIT_NOTHING;
}
