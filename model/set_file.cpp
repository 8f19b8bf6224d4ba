#include "model/set_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/archive.h"
#include "model/limits.h"
#include "model/set_extension.h"
#include "platform/atomic_file.h"
#include "platform/path_separator.h"

namespace {

// Class names in the order of CFileInfo::EKind.
const std::string_view kClassNames[] = {"CFileInfo", "CFolderFileInfo", "CDriveFileInfo", "CRootFileInfo"};
constexpr std::uint16_t kSchema = 2;
constexpr std::uint32_t kIndexLimit = 0x3FFFFFFE;
// The smallest object in a file: tag, six empty strings' worth of prefixes
// and ten DWORDs. Bounds how many children a count can make us expect.
constexpr std::uint64_t kMinObjectBytes = 46;

class CSetWriter {
 public:
  explicit CSetWriter(CArchiveWriter& ar, CWorkProgress* progress = nullptr) : m_ar(ar), m_pProgress(progress) {}

  bool Write(const CRootFileInfo& set) {
    const std::string setPath = set.PathUnder({});
    bool ok = Begin(set, setPath);
    WalkBelow(
        set, setPath,
        [&](const CFileInfo& child, const CWalkPath& parentPath) {
          ok = ok && Begin(child, parentPath.PathOf(child, m_strPath)) && !Counted();
        },
        [&](const CFolderFileInfo& folder) {
          if (ok) folder.Serialize(m_ar);
        });
    return ok;
  }

  bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }
  // Where the items the extension block speaks of were written.
  const CExtensionPlaces& Places() const { return m_places; }

  // Counts one more item written; true when the work is to stop.
  bool Counted() {
    if (m_pProgress == nullptr || (++m_nWritten & 0xFFF) != 0) return false;
    m_pProgress->nDone.store(m_nWritten, std::memory_order_relaxed);
    return m_pProgress->Cancelled();
  }

 private:
  // Class tag, common fields and, for a container, its child count.
  bool Begin(const CFileInfo& item, const std::string& path) {
    const int kind = item.GetKind();
    if (m_nIndex + 2 >= kIndexLimit) return false;
    const std::uint32_t position = m_nItems++;
    if (kind == CFileInfo::KIND_CATALOG)
      m_places.catalogs.emplace_back(static_cast<const CDriveFileInfo*>(&item), position);
    else if (item.HasScanFlags())
      m_places.flagged.emplace_back(position, KeptFlagsOf(item));
    if (m_classIndex[kind] == 0) {
      m_ar.WriteWord(0xFFFF);
      m_ar.WriteWord(kSchema);
      m_ar.WriteWord(std::uint16_t(kClassNames[kind].size()));
      m_ar.WriteRaw(kClassNames[kind].data(), kClassNames[kind].size());
      m_classIndex[kind] = ++m_nIndex;
    } else if (m_classIndex[kind] < 0x7FFF) {
      m_ar.WriteWord(std::uint16_t(0x8000 | m_classIndex[kind]));
    } else {
      m_ar.WriteWord(0x7FFF);
      m_ar.WriteDword(0x80000000u | m_classIndex[kind]);
    }
    ++m_nIndex;

    WriteText(item, CFileInfo::TEXT_PATH, path);
    WriteText(item, CFileInfo::TEXT_NOTE, item.GetNote());
    m_ar.WriteDword(item.RecordAttributes());
    const std::uint64_t times[] = {item.CreationFileTime(), item.AccessFileTime(), item.WriteFileTime()};
    for (std::uint64_t t : times) {
      m_ar.WriteDword(std::uint32_t(t));
      m_ar.WriteDword(std::uint32_t(t >> 32));
    }
    const std::uint64_t size = item.RecordSize();
    m_ar.WriteDword(std::uint32_t(size >> 32));
    m_ar.WriteDword(std::uint32_t(size));
    m_ar.WriteDword(item.Reserved0());
    WriteText(item, CFileInfo::TEXT_NAME, item.FileName());
    WriteText(item, CFileInfo::TEXT_ALTERNATE, item.AlternateName());
    if (item.IsContainer()) m_ar.WriteDword(std::uint32_t(static_cast<const CFolderFileInfo&>(item).Children().size()));
    return !m_ar.Failed();
  }

  void WriteText(const CFileInfo& item, CFileInfo::ETextField field, std::string_view text) {
    if (!item.HasStoredForms())
      m_ar.WriteString(text);
    else
      m_ar.WriteString(text, item.IsStoredWide(field), item.StoredBytes(field));
  }

  CArchiveWriter& m_ar;
  CWorkProgress* m_pProgress;
  std::uint64_t m_nWritten = 0;
  std::string m_strPath;  // the current item's, its storage kept from item to item
  std::uint32_t m_nIndex = 0;
  std::uint32_t m_classIndex[4] = {0, 0, 0, 0};
  std::uint32_t m_nItems = 0;
  CExtensionPlaces m_places;
};

class CSetReader {
 public:
  explicit CSetReader(CArchiveReader& ar, CWorkProgress* progress = nullptr) : m_ar(ar), m_pProgress(progress) {}

  // Where the set's own catalogs stood, once Read succeeded.
  const std::vector<CCatalogSpan>& Spans() const { return m_spans; }

  ESetFileError Read(std::unique_ptr<CRootFileInfo>& out) {
    // Items go into their folder as they are read, so that each is made in
    // its catalog's arena; the root owns them all until the end.
    struct CFrame {
      CFileInfo* pItem;
      std::uint32_t nLeft;
      std::string strPath;  // as stored: children derive their paths from it
      bool bLegacy;         // the item or a folder above it had "\\" in its name
    };
    std::vector<CFrame> stack;
    std::string path;
    std::uint32_t count = 0;
    bool renamed = false;
    CFileInfo* root = ReadObject(nullptr, path, count, renamed);
    if (root == nullptr) return Error();
    stack.push_back({root, count, std::move(path), false});

    while (true) {
      CFrame& frame = stack.back();
      if (frame.nLeft == 0) {
        frame.pItem->Serialize(m_ar);
        if (m_ar.Error() != ESetFileError::None) return Error();
        const std::string noParent;
        PlacePath(*frame.pItem, frame.strPath, stack.size() > 1 ? stack[stack.size() - 2].strPath : noParent,
                  frame.bLegacy);
        stack.pop_back();
        if (stack.empty()) {
          if (!m_spans.empty() && m_spans.back().nEnd == 0) m_spans.back().nEnd = m_nItems;
          out.reset(static_cast<CRootFileInfo*>(m_pRoot.release()));
          return ESetFileError::None;
        }
        continue;
      }
      --frame.nLeft;
      CFileInfo* child = ReadObject(static_cast<CFolderFileInfo*>(frame.pItem), path, count, renamed);
      if (m_pProgress != nullptr && (++m_nRead & 0xFFF) == 0)
        m_pProgress->nDone.store(m_pProgress->nTotal.load(std::memory_order_relaxed) - m_ar.Remaining(),
                                 std::memory_order_relaxed);
      if (child == nullptr) return Error();
      if (stack.size() == 1) {  // a child of the set: the last one's items end here
        if (!m_spans.empty() && m_spans.back().nEnd == 0) m_spans.back().nEnd = m_nItems;
        if (child->IsCatalog()) m_spans.push_back({static_cast<CDriveFileInfo*>(child), m_nItems, 0});
      }
      ++m_nItems;
      const bool legacy = frame.bLegacy || renamed;
      if (child->IsContainer())
        stack.push_back({child, count, std::move(path), legacy});
      else
        PlacePath(*child, path, frame.strPath, legacy);
    }
  }

 private:
  ESetFileError Error() const { return m_ar.Error() == ESetFileError::None ? ESetFileError::BadClass : m_ar.Error(); }

  bool NextIndex() {
    if (++m_nIndex >= kIndexLimit) {
      m_ar.Fail(ESetFileError::BadIndex);
      return false;
    }
    return true;
  }

  // The class of the next object, or -1 after recording the error.
  int ReadClassTag() {
    std::uint16_t word = 0;
    if (!m_ar.ReadWord(word)) return -1;
    std::uint32_t tag = (std::uint32_t(word & 0x8000) << 16) | (word & 0x7FFF);
    if (word == 0x7FFF && !m_ar.ReadDword(tag)) return -1;
    if ((tag & 0x80000000u) == 0) {
      // No object, or one read before: each item stands in the tree once.
      m_ar.Fail(tag > m_nIndex ? ESetFileError::BadIndex : ESetFileError::BadObject);
      return -1;
    }
    if (word == 0xFFFF) {
      std::uint16_t schema = 0, length = 0;
      if (!m_ar.ReadWord(schema) || !m_ar.ReadWord(length)) return -1;
      if (length >= 64) {
        m_ar.Fail(ESetFileError::BadClass);
        return -1;
      }
      char name[64];
      for (std::uint16_t i = 0; i < length; ++i) {
        std::uint8_t c = 0;
        if (!m_ar.ReadByte(c)) return -1;
        name[i] = char(c);
      }
      // Another schema number is read with the same layout: the classes are versionable.
      const std::string_view className(name, length);
      const auto found = std::find(std::begin(kClassNames), std::end(kClassNames), className);
      if (found == std::end(kClassNames)) {
        m_ar.Fail(ESetFileError::BadClass);
        return -1;
      }
      if (!NextIndex()) return -1;
      const int kind = int(found - std::begin(kClassNames));
      m_classes.emplace_back(m_nIndex, kind);
      return kind;
    }
    const std::uint32_t index = tag & 0x7FFFFFFF;
    if (index < 1 || index > m_nIndex) {
      m_ar.Fail(ESetFileError::BadIndex);
      return -1;
    }
    const auto it = std::lower_bound(m_classes.begin(), m_classes.end(), std::make_pair(index, -1));
    if (it == m_classes.end() || it->first != index) {
      m_ar.Fail(ESetFileError::BadClass);  // the index holds an object
      return -1;
    }
    return it->second;
  }

  // Keeps the path read for item unless the tree derives it. Below a name
  // whose "\\" is now escaped, the path an older writer derived is the
  // tree's path too; only its bytes are kept, to be written back.
  static void PlacePath(CFileInfo& item, const std::string& stored, const std::string& parentStored, bool legacy) {
    if (legacy && stored == WithBackslashes(item.PathUnder(parentStored))) {
      if (item.StoredBytes(CFileInfo::TEXT_PATH).empty()) {
        const bool wide = item.IsStoredWide(CFileInfo::TEXT_PATH);
        item.SetStoredForm(CFileInfo::TEXT_PATH, wide, StoredBytesOf(stored, wide));
      }
      return;
    }
    item.SetStoredPath(stored, parentStored);
  }

  // Reads an object into a new child of parent, or with no parent the root.
  // renamed: the name held "\\", which the item holds escaped.
  CFileInfo* ReadObject(CFolderFileInfo* parent, std::string& path, std::uint32_t& count, bool& renamed) {
    const int kind = ReadClassTag();
    if (kind < 0) return nullptr;
    if (parent == nullptr && kind != CFileInfo::KIND_SET) {
      m_ar.Fail(ESetFileError::BadClass);
      return nullptr;
    }
    if (!NextIndex()) return nullptr;

    CFindData& record = m_record;  // its strings keep their storage from one object to the next
    std::string note;
    std::uint32_t times[6] = {};
    CTextForm* forms = m_forms;
    m_ar.ReadString(path, UINT32_MAX, &forms[CFileInfo::TEXT_PATH]);
    m_ar.ReadString(note, UINT32_MAX, &forms[CFileInfo::TEXT_NOTE]);
    m_ar.ReadDword(record.dwFileAttributes);
    for (std::uint32_t& t : times) m_ar.ReadDword(t);
    m_ar.ReadDword(record.nFileSizeHigh);
    m_ar.ReadDword(record.nFileSizeLow);
    m_ar.ReadDword(record.dwReserved0);
    m_ar.ReadString(record.cFileName, kMaxNameBytes, &forms[CFileInfo::TEXT_NAME]);
    m_ar.ReadString(record.cAlternateFileName, kMaxNameBytes, &forms[CFileInfo::TEXT_ALTERNATE]);
    renamed = kind <= CFileInfo::KIND_FOLDER &&
              std::memchr(record.cFileName.data(), '\\', record.cFileName.size()) != nullptr;
    if (renamed) {
      CTextForm& form = forms[CFileInfo::TEXT_NAME];
      if (form.strRaw.empty()) form.strRaw = StoredBytesOf(record.cFileName, form.bWide);
      record.cFileName = WithEscapedBackslashes(record.cFileName);
    }
    if (record.cFileName.size() > kMaxNameBytes || record.cAlternateFileName.size() > kMaxNameBytes)
      m_ar.Fail(ESetFileError::NameTooLong);
    count = 0;
    if (kind != CFileInfo::KIND_FILE) {
      std::uint32_t stored = 0;
      m_ar.ReadDword(stored);
      count = std::int32_t(stored) <= 0 ? 0 : stored;
    }
    if (m_ar.Error() != ESetFileError::None) return nullptr;
    record.ftCreationTime = (std::uint64_t(times[1]) << 32) | times[0];
    record.ftLastAccessTime = (std::uint64_t(times[3]) << 32) | times[2];
    record.ftLastWriteTime = (std::uint64_t(times[5]) << 32) | times[4];

    CFileInfo* item = nullptr;
    if (parent != nullptr) {
      item = parent->AddChildOfKind(CFileInfo::EKind(kind), record);
    } else {
      m_pRoot = CFileInfo::CreateOfKind(CFileInfo::EKind(kind), record);
      item = m_pRoot.get();
    }
    item->SetNoteText(std::move(note));
    for (int field = 0; field < CFileInfo::TEXT_FIELDS; ++field) {
      CTextForm& form = forms[field];
      if (form.bWide || !form.strRaw.empty())
        item->SetStoredForm(CFileInfo::ETextField(field), form.bWide, std::move(form.strRaw));
    }
    if (count != 0) {
      const std::uint64_t possible = m_ar.Remaining() / kMinObjectBytes;
      static_cast<CFolderFileInfo&>(*item).ReserveChildren(std::size_t(std::min<std::uint64_t>(count, possible)));
    }
    return item;
  }

  CArchiveReader& m_ar;
  CWorkProgress* m_pProgress;
  std::uint64_t m_nRead = 0;
  std::uint32_t m_nItems = 1;  // the position of the next item; the set is 0
  std::vector<CCatalogSpan> m_spans;
  std::unique_ptr<CFileInfo> m_pRoot;
  CFindData m_record;
  std::uint32_t m_nIndex = 0;
  std::vector<std::pair<std::uint32_t, int>> m_classes;  // index → class, ascending
  CTextForm m_forms[CFileInfo::TEXT_FIELDS];             // of the object being read
};

ESetFileError ErrorFromErrno(int error, ESetFileError otherwise) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return ESetFileError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return ESetFileError::AccessDenied;
    case ENOSPC:
    case EDQUOT: return ESetFileError::DiskFull;
    default: return otherwise;
  }
}

// Reads what follows the set object into set: the block, or bytes that
// are worth a notice as a damaged one.
void ReadExtensionBlock(CArchiveReader& ar, CStreamHash& setHash, const CSetReader& reader, CRootFileInfo& set,
                        std::uint64_t setLength) {
  ar.HashConsumed(nullptr);
  const std::string block = ar.ReadRest(SIZE_MAX);
  set.m_extensionState = ApplyExtensionBlock(block, setLength, setHash.Digest(), set, reader.Spans());
}

}  // namespace

ESetFileError ReadSetFromBytes(std::string_view bytes, std::unique_ptr<CRootFileInfo>& out) {
  out.reset();
  if (bytes.empty()) return ESetFileError::EmptyFile;
  CArchiveReader ar(bytes);
  CStreamHash hash;
  ar.HashConsumed(&hash);
  CSetReader reader(ar);
  const ESetFileError error = reader.Read(out);
  if (error == ESetFileError::None) ReadExtensionBlock(ar, hash, reader, *out, bytes.size() - ar.Remaining());
  return error;
}

ESetFileError ReadSetFile(const std::string& path, std::unique_ptr<CRootFileInfo>& out, CWorkProgress* progress) {
  out.reset();
  // Opening a FIFO or a device for reading may wait forever or act on
  // hardware: only a regular file is opened, without waiting for a writer.
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return ErrorFromErrno(errno, ESetFileError::ReadFailure);
  if (!S_ISREG(named.st_mode)) return ESetFileError::ReadFailure;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return ErrorFromErrno(errno, ESetFileError::ReadFailure);
  struct stat st {};
  ESetFileError result = ESetFileError::ReadFailure;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (st.st_size == 0) {
      result = ESetFileError::EmptyFile;
    } else {
      CArchiveReader ar(fd, std::uint64_t(st.st_size));
      CStreamHash hash;
      ar.HashConsumed(&hash);
      if (progress != nullptr) progress->nTotal.store(std::uint64_t(st.st_size));
      CSetReader reader(ar, progress);
      result = reader.Read(out);
      if (result == ESetFileError::None)
        ReadExtensionBlock(ar, hash, reader, *out, std::uint64_t(st.st_size) - ar.Remaining());
    }
  }
  ::close(fd);
  return result;
}

std::string WriteSetToBytes(const CRootFileInfo& set) {
  CArchiveWriter ar;
  CSetWriter writer(ar);
  writer.Write(set);
  std::string bytes = ar.Bytes();
  bytes += BuildExtensionBlock(set, writer.Places(), bytes.size(), HashBytes(bytes));
  return bytes;
}

ESetFileError WriteSetFile(const std::string& path, const CRootFileInfo& set, CWorkProgress* progress,
                           const CSaveOptions& options) {
  CAtomicFile file(path, options.bCreateOnly ? CAtomicFile::CREATE_ONLY : CAtomicFile::REPLACE);
  if (const int error = file.Open(); error != 0) return WriteErrorFromErrno(error);
  if (progress != nullptr) progress->nTotal.store(CountItemsBelow(set));
  CArchiveWriter ar(file.Fd());
  CStreamHash hash;
  ar.HashFlushed(&hash);
  CSetWriter writer(ar, progress);
  const bool written = writer.Write(set);
  if (writer.Cancelled()) return ESetFileError::Cancelled;
  int error = 0;
  if (!written && !ar.Failed()) error = EOVERFLOW;
  if (error == 0 && !ar.Flush()) error = ar.Errno();
  if (error == 0) {
    ar.HashFlushed(nullptr);
    const std::string block = BuildExtensionBlock(set, writer.Places(), ar.Flushed(), hash.Digest());
    ar.WriteRaw(block.data(), block.size());
    if (!ar.Flush()) error = ar.Errno();
  }
  if (error != 0) return WriteErrorFromErrno(error);

  // A lock that cannot be had (the file may be write-only) does not stop
  // the save: it is taken where it can be, as when the set is read.
  CReplaceLock lock;
  if (!options.bLockHeld) {
    const auto waiting = [&] {
      if (progress != nullptr) progress->bWaiting.store(true);
      if (options.pfnWaiting != nullptr) options.pfnWaiting();
    };
    lock.Acquire(path, waiting, progress != nullptr ? progress->pCancel : nullptr);
    if (progress != nullptr) progress->bWaiting.store(false);
  }
  if (writer.Cancelled()) return ESetFileError::Cancelled;
  CFileIdentity now;
  if (options.pReplaceable != nullptr && GetFileIdentity(path, now) && now != *options.pReplaceable)
    return ESetFileError::ChangedOnDisk;
  error = file.Commit();
  return error == 0 ? ESetFileError::None : WriteErrorFromErrno(error);
}

ESetFileError WriteErrorFromErrno(int error) {
  switch (error) {
    case CAtomicFile::NOT_REGULAR: return ESetFileError::NotRegularFile;
    case CAtomicFile::BROKEN_LINK: return ESetFileError::BrokenLink;
    case EEXIST: return ESetFileError::AlreadyExists;
    case ECANCELED: return ESetFileError::Cancelled;
    default: return ErrorFromErrno(error, ESetFileError::WriteFailure);
  }
}

std::string MakeSetName(const std::string& path) {
  if (path.empty()) return "新しいカタログセット";
  const std::size_t slash = path.find_last_of(kPathSeparators);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name.empty() ? path : name + " カタログセット";
}

const char* SetFileErrorName(ESetFileError e) {
  switch (e) {
    case ESetFileError::None: return "none";
    case ESetFileError::EndOfFile: return "end of file";
    case ESetFileError::BadIndex: return "bad index";
    case ESetFileError::BadClass: return "bad class";
    case ESetFileError::BadObject: return "bad object";
    case ESetFileError::NameTooLong: return "name too long";
    case ESetFileError::BadString: return "bad string";
    case ESetFileError::EmptyFile: return "empty file";
    case ESetFileError::NotFound: return "not found";
    case ESetFileError::AccessDenied: return "access denied";
    case ESetFileError::DiskFull: return "disk full";
    case ESetFileError::ReadFailure: return "read failure";
    case ESetFileError::WriteFailure: return "write failure";
    case ESetFileError::NotRegularFile: return "not a regular file";
    case ESetFileError::BrokenLink: return "broken link";
    case ESetFileError::AlreadyExists: return "already exists";
    case ESetFileError::ChangedOnDisk: return "changed on disk";
    case ESetFileError::Cancelled: return "cancelled";
  }
  return "?";
}
