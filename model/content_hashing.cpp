#include "model/content_hashing.h"

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>

#include "model/catalog_files.h"
#include "model/text_format.h"
#include "platform/cp932_codec.h"
#include "platform/path_separator.h"
#include "platform/thread_start.h"

namespace {

// Large enough that a read costs little beside what it carries, small
// enough to stay in the core's cache until hashed, and to answer cancel
// within milliseconds even on slow media.
constexpr std::size_t kReadSize = 256 * 1024;
constexpr int kMaxHashThreads = 8;

int HashThreads(const CScanOptions& options) {
  if (options.nHashThreads > 0) return options.nHashThreads;
  return std::clamp(int(std::thread::hardware_concurrency()), 2, kMaxHashThreads);
}

}  // namespace

EHashFile HashFileContents(CContentReader& reader, const std::string& path, std::vector<char>& buffer,
                           const CScanOptions& options, CFingerprint& out) {
  if (buffer.empty()) buffer.resize(kReadSize);
  switch (reader.Open(path)) {
    case EContentOpen::Opened: break;
    case EContentOpen::NotRegular: return EHashFile::NotRegular;
    case EContentOpen::Failed: return EHashFile::Unreadable;
  }
  CContentHash hash;
  EHashFile result = EHashFile::Done;
  for (;;) {
    if (options.Cancelled()) {
      result = EHashFile::Cancelled;
      break;
    }
    const std::ptrdiff_t got = reader.Read(buffer.data(), buffer.size());
    if (got < 0) {
      result = EHashFile::Unreadable;
      break;
    }
    if (got == 0) break;
    hash.Update(buffer.data(), std::size_t(got));
    if (options.pProgress != nullptr) options.pProgress->AddHashedBytes(std::uint64_t(got));
  }
  reader.Close();
  if (result == EHashFile::Done) out = hash.Digest();
  return result;
}

void HashCatalogFiles(const CDriveFileInfo& catalog, const CScanOptions& options, CHashOutcome& outcome,
                      const CHashFilter& filter, const CContentReaderFactory& makeReader) {
  // A catalog made on another system names no file here.
  if (!IsRootedPath(UnescapeBytes(catalog.m_strCatalogedPath))) return;
  if (options.pProgress != nullptr) {
    CCatalogFileWalk count(catalog, filter);
    std::uint64_t files = 0, bytes = 0;
    for (CCatalogFile job; count.Next(job);) {
      ++files;
      bytes += job.pItem->RecordSize();
    }
    options.pProgress->AddHashWork(files, bytes);
  }
  std::mutex mutex;
  CCatalogFileWalk walk(catalog, filter);
  std::vector<std::uint32_t> failed, notRegular;
  const auto work = [&] {
    std::unique_ptr<CContentReader> reader = makeReader ? makeReader() : MakeFileContentReader();
    std::vector<char> buffer;
    CCatalogFile job;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (outcome.bCancelled || !walk.Next(job)) return;
      }
      CFingerprint fingerprint;
      const EHashFile result = job.strRealPath.empty()
                                   ? EHashFile::Unreadable
                                   : HashFileContents(*reader, job.strRealPath, buffer, options, fingerprint);
      if (options.pProgress != nullptr) options.pProgress->AddHashedFile();
      std::lock_guard<std::mutex> lock(mutex);
      switch (result) {
        case EHashFile::Done: outcome.hashed.push_back({job.nOffset, job.pItem, fingerprint}); break;
        case EHashFile::Unreadable: failed.push_back(job.nOffset); break;
        case EHashFile::NotRegular: notRegular.push_back(job.nOffset); break;
        case EHashFile::Cancelled: outcome.bCancelled = true; return;
      }
    }
  };
  const int count = HashThreads(options);
  std::vector<std::thread> threads;
  threads.reserve(std::size_t(count));
  try {
    for (int i = 1; i < count; ++i) threads.push_back(StartThread(work));
  } catch (const std::system_error&) {
    // Fewer readers: this thread reads what they do not.
  }
  work();
  for (std::thread& thread : threads) thread.join();
  if (options.Cancelled()) outcome.bCancelled = true;
  // The logical paths of the files at offsets, in walk order: one walk, none for no offsets.
  const auto pathsAt = [&](std::vector<std::uint32_t>& offsets) {
    if (offsets.empty()) return std::vector<std::string>();
    std::sort(offsets.begin(), offsets.end());
    return LogicalPathsWhere(catalog, [&](const CFileInfo&, std::uint32_t offset) {
      return std::binary_search(offsets.begin(), offsets.end(), offset);
    });
  };
  outcome.unreadable = pathsAt(failed);
  outcome.notRegular = pathsAt(notRegular);
}

void HashMissingFingerprints(CDriveFileInfo& catalog, const CScanOptions& options, CHashOutcome& outcome,
                             const CContentReaderFactory& makeReader) {
  const CFingerprintTable& table = catalog.m_fingerprints;
  HashCatalogFiles(
      catalog, options, outcome,
      [&](const CFileInfo&, std::uint32_t offset) { return table.Empty() || !table.Find(offset); }, makeReader);
  if (outcome.bCancelled) return;
  std::vector<std::pair<std::uint32_t, CFingerprint>> found;
  found.reserve(outcome.hashed.size());
  for (const CHashedFile& file : outcome.hashed) found.emplace_back(file.nOffset, file.fingerprint);
  catalog.m_fingerprints.Add(std::move(found));
}

std::string HashCountsText(const CHashCounts& counts, double hashSeconds) {
  const double rate = hashSeconds > 0.05 ? double(counts.nBytes) / hashSeconds : 0;
  return FormatCount(counts.nFiles) + " / " + FormatCount(counts.nFilesTotal) + " ファイル / " +
         FormatSize(counts.nBytes, false) + " / " + FormatSize(counts.nBytesTotal, false) + " / " +
         FormatSize(std::uint64_t(rate), false) + "/s";
}

std::string HashProgressLine(const CHashCounts& counts, double hashSeconds, std::uint64_t seconds) {
  return "ハッシュ " + HashCountsText(counts, hashSeconds) + " / " + FormatElapsed(seconds);
}
