#pragma once
// Reading the files of a catalog for their fingerprints (fingerprints.h):
// after the walk, on a few threads so that many small files are in flight
// at once, each file in large sequential reads through one buffer, so that
// memory stays flat whatever the files' sizes. Cancel is polled between
// reads. A file that cannot be read whole gets no fingerprint and is
// listed; the others go on.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/catalog_files.h"
#include "model/drive_file_info.h"
#include "model/fingerprints.h"
#include "model/scan_progress.h"
#include "platform/content_reader.h"

// How one file's reading ended.
enum class EHashFile { Done, Unreadable, NotRegular, Cancelled };

// The fingerprint of the file at path (a real path), read through reader in
// buffer's size; progress and cancel from options.
EHashFile HashFileContents(CContentReader& reader, const std::string& path, std::vector<char>& buffer,
                           const CScanOptions& options, CFingerprint& out);

struct CHashedFile {
  std::uint32_t nOffset;  // below the catalog, as its table keys it
  const CFileInfo* pItem;
  CFingerprint fingerprint;
};

struct CHashOutcome {
  std::vector<CHashedFile> hashed;
  // Logical paths of the files that could not be read whole, in walk order.
  std::vector<std::string> unreadable;
  // Those found to be no regular file when opened (replaced since the walk
  // by a link, a FIFO, ...), in walk order.
  std::vector<std::string> notRegular;
  bool bCancelled = false;
};

using CContentReaderFactory = std::function<std::unique_ptr<CContentReader>()>;
// Which of the catalog's files to read.
using CHashFilter = CFileFilter;

// Reads the files of catalog that filter picks (all its files when none), at
// their real paths below its base path, on options.nHashThreads threads
// (0: as many as suit the machine). Touches nothing but outcome.
void HashCatalogFiles(const CDriveFileInfo& catalog, const CScanOptions& options, CHashOutcome& outcome,
                      const CHashFilter& filter = {}, const CContentReaderFactory& makeReader = {});

// Takes the fingerprints of the files of catalog that have none yet into
// its table. Cancelled, the table is as it was.
void HashMissingFingerprints(CDriveFileInfo& catalog, const CScanOptions& options, CHashOutcome& outcome,
                             const CContentReaderFactory& makeReader = {});

// Files and bytes read of those to read, and the rate over hashSeconds.
std::string HashCountsText(const CHashCounts& counts, double hashSeconds);
// The hashing line of a progress display: HashCountsText and the time taken
// in all.
std::string HashProgressLine(const CHashCounts& counts, double hashSeconds, std::uint64_t seconds);
