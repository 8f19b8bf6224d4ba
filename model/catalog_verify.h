#pragma once
// Checking a medium against its catalog without changing the catalog: what
// is missing, new or changed (in size, time, or kind: a file become a
// folder, a link or a FIFO counts whatever its size and time), and, where
// the catalog holds fingerprints,
// which files kept their size and time but not their content (silent
// damage), and which could not be read.

#include <cstdint>
#include <string>
#include <vector>

#include "model/catalog_update.h"
#include "model/content_hashing.h"

enum class EVerifyKind : std::uint8_t { Missing, New, Changed, Corrupt, Unreadable };
constexpr int kVerifyKinds = 5;

struct CVerifyFinding {
  EVerifyKind eKind;
  std::string strPath;  // logical path
};

struct CVerifyResult {
  std::vector<CVerifyFinding> findings;  // by kind, each kind in walk order
  std::uint64_t aCounts[kVerifyKinds] = {};
  std::uint64_t nContentsCompared = 0;  // files read and compared with their fingerprints
  bool bHasFingerprints = false;        // false: compared by size and time alone

  bool Matches() const { return findings.empty(); }
  // Corrupt or unreadable files: damage rather than change.
  bool Damaged() const { return aCounts[int(EVerifyKind::Corrupt)] + aCounts[int(EVerifyKind::Unreadable)] != 0; }
};

// The word for a kind, as lists and counts show it.
const char* VerifyKindName(EVerifyKind kind);

// Scans catalog's medium, now at place, the way the catalog was made, and
// compares: the files unchanged in size and time that have a fingerprint
// are read again. Done gives out; Cancelled and NotFound leave it empty
// (message as ScanForUpdate's). Touches nothing but out.
EScanStatus VerifyCatalog(const CDriveFileInfo& catalog, const std::string& place, const CScanOptions& options,
                          CVerifyResult& out, std::string& message, const CContentReaderFactory& makeReader = {});
