#include "model/catalog_verify.h"

#include <algorithm>

const char* VerifyKindName(EVerifyKind kind) {
  switch (kind) {
    case EVerifyKind::Missing: return "見つからない";
    case EVerifyKind::New: return "新しい";
    case EVerifyKind::Changed: return "変更された";
    case EVerifyKind::Corrupt: return "壊れている";
    case EVerifyKind::Unreadable: return "読めない";
  }
  return "";
}

EScanStatus VerifyCatalog(const CDriveFileInfo& catalog, const std::string& place, const CScanOptions& options,
                          CVerifyResult& out, std::string& message, const CContentReaderFactory& makeReader) {
  out = CVerifyResult();
  CScanOptions scanOptions = RecordedScanOptions(catalog, options);
  scanOptions.bHashContents = false;  // only the files below are read
  std::unique_ptr<CDriveFileInfo> fresh;
  const EScanStatus status = ScanForUpdate(catalog, place, scanOptions, fresh, message);
  if (status != EScanStatus::Done) return status;

  std::vector<CVerifyFinding> changes;
  CompareCatalogs(catalog, *fresh, [&](EItemChange change, const std::string& path) {
    const EVerifyKind kind = change == EItemChange::Added     ? EVerifyKind::New
                             : change == EItemChange::Changed ? EVerifyKind::Changed
                                                              : EVerifyKind::Missing;
    changes.push_back({kind, path});
  });
  // What the scan could not read kept the catalog's entries; it is named as
  // it is, not taken as unchanged.
  std::vector<std::string> unreadable =
      LogicalPathsWhere(*fresh, [](const CFileInfo& item, std::uint32_t) { return item.IsUnreadable(); });
  if (fresh->IsUnreadable()) unreadable.insert(unreadable.begin(), std::string(catalog.GetName()));

  out.bHasFingerprints = !catalog.m_fingerprints.Empty();
  if (out.bHasFingerprints) {
    const auto expected = FingerprintsOfUnchanged(catalog, *fresh);
    CHashOutcome outcome;
    HashCatalogFiles(
        *fresh, options, outcome, [&](const CFileInfo& item, std::uint32_t) { return expected.Find(&item) != nullptr; },
        makeReader);
    if (outcome.bCancelled) return EScanStatus::Cancelled;
    std::vector<std::uint32_t> corrupt;
    for (const CHashedFile& file : outcome.hashed)
      if (*expected.Find(file.pItem) != file.fingerprint) corrupt.push_back(file.nOffset);
    std::sort(corrupt.begin(), corrupt.end());
    for (const std::string& path : LogicalPathsWhere(*fresh, [&](const CFileInfo&, std::uint32_t offset) {
           return std::binary_search(corrupt.begin(), corrupt.end(), offset);
         }))
      out.findings.push_back({EVerifyKind::Corrupt, path});
    out.nContentsCompared = outcome.hashed.size();
    unreadable.insert(unreadable.end(), outcome.unreadable.begin(), outcome.unreadable.end());
    // Replaced since the walk by something that is not a file.
    for (std::string& path : outcome.notRegular) changes.push_back({EVerifyKind::Changed, std::move(path)});
  }
  for (std::string& path : unreadable) out.findings.push_back({EVerifyKind::Unreadable, std::move(path)});
  out.findings.insert(out.findings.end(), changes.begin(), changes.end());
  std::stable_sort(out.findings.begin(), out.findings.end(),
                   [](const CVerifyFinding& a, const CVerifyFinding& b) { return a.eKind < b.eKind; });
  for (const CVerifyFinding& finding : out.findings) ++out.aCounts[int(finding.eKind)];
  return EScanStatus::Done;
}
