#include "model/sevenz_header.h"

#include <archive.h>

#include <string_view>

#include "model/archive_reading.h"
#include "model/le_bytes.h"
#include "model/limits.h"
#include "platform/cp932_codec.h"

// The format, as 7-Zip documents it: a 32-byte start header (signature
// "7z\xBC\xAF\x27\x1C", version 2 bytes, StartHeaderCRC 4 over the 20 that
// follow, NextHeaderOffset 8, NextHeaderSize 8, NextHeaderCRC 4), then the
// next header at 32 + NextHeaderOffset: kHeader itself or, as 7-Zip writes
// it, kEncodedHeader, a StreamsInfo whose one folder (LZMA) unpacks to
// kHeader. Numbers are variable-length: the first byte's leading one bits
// count the bytes that follow (least significant first), its other bits
// are the top of the value.

namespace {

enum : std::uint8_t {
  kEnd = 0x00,
  kHeader = 0x01,
  kArchiveProperties = 0x02,
  kAdditionalStreamsInfo = 0x03,
  kMainStreamsInfo = 0x04,
  kFilesInfo = 0x05,
  kPackInfo = 0x06,
  kUnpackInfo = 0x07,
  kSubStreamsInfo = 0x08,
  kSize = 0x09,
  kCRC = 0x0A,
  kFolder = 0x0B,
  kCodersUnpackSize = 0x0C,
  kNumUnpackStream = 0x0D,
  kEmptyStream = 0x0E,
  kEmptyFile = 0x0F,
  kName = 0x11,
  kCTime = 0x12,
  kMTime = 0x14,
  kWinAttributes = 0x15,
  kEncodedHeader = 0x17,
};

constexpr std::size_t kStartHeaderBytes = 32;
// Coders of a folder, and streams of a coder: 7-Zip's own bound.
constexpr std::uint64_t kMaxCoders = 64;
constexpr std::string_view kLzmaId("\x03\x01\x01", 3);
// Marks a value read as defined: no time, attribute or CRC reaches bit 63.
constexpr std::uint64_t kDefined = std::uint64_t(1) << 63;

// Reads a header's bytes, every read checked against what remains.
class CHeaderBytes {
 public:
  explicit CHeaderBytes(std::string_view bytes) : m_bytes(bytes) {}
  std::size_t Left() const { return m_bytes.size() - m_nAt; }
  bool Byte(std::uint8_t& v) {
    if (Left() < 1) return false;
    v = std::uint8_t(m_bytes[m_nAt++]);
    return true;
  }
  bool Take(std::uint64_t n, std::string_view& out) {
    if (n > Left()) return false;
    out = m_bytes.substr(m_nAt, std::size_t(n));
    m_nAt += std::size_t(n);
    return true;
  }
  // Numbers past 2^63 are refused: no count or size comes near.
  bool Number(std::uint64_t& v) {
    std::uint8_t first = 0;
    if (!Byte(first)) return false;
    v = 0;
    std::uint8_t mask = 0x80;
    int i = 0;
    for (; i < 8 && (first & mask) != 0; ++i, mask >>= 1) {
      std::uint8_t next = 0;
      if (!Byte(next)) return false;
      v |= std::uint64_t(next) << (8 * i);
    }
    if (i < 8) v |= std::uint64_t(first & (mask - 1)) << (8 * i);
    return v >> 63 == 0;
  }
  bool NumberUpTo(std::uint64_t& v, std::uint64_t max) { return Number(v) && v <= max; }
  // A count of things that take a byte each at least.
  bool Count(std::uint64_t& n, std::uint64_t max) { return NumberUpTo(n, max) && n <= Left(); }
  bool Expect(std::uint8_t id) {
    std::uint8_t got = 0;
    return Byte(got) && got == id;
  }
  bool Bits(std::uint64_t n, std::vector<bool>& out) {
    std::string_view bytes;
    if (!Take((n + 7) / 8, bytes)) return false;
    out.assign(std::size_t(n), false);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = (std::uint8_t(bytes[i / 8]) >> (7 - i % 8)) & 1;
    return true;
  }
  // An "all defined" byte, then the bits unless it is set; n is bounded by the caller.
  bool Defined(std::uint64_t n, std::vector<bool>& out) {
    std::uint8_t all = 0;
    if (!Byte(all)) return false;
    if (all == 0) return Bits(n, out);
    out.assign(std::size_t(n), true);
    return true;
  }
  // Defined values of size bytes each (after an "external" byte, 0, where
  // the property has one), the rest 0.
  bool Values(std::uint64_t n, int size, std::vector<std::uint64_t>& out, bool external = false) {
    std::vector<bool> defined;
    if (!Defined(n, defined) || (external && !Expect(0))) return false;
    out.assign(defined.size(), 0);
    std::string_view bytes;
    for (std::size_t i = 0; i < out.size(); ++i)
      if (defined[i]) {
        if (!Take(std::uint64_t(size), bytes)) return false;
        out[i] = GetLE(bytes, 0, size) | kDefined;
      }
    return true;
  }

 private:
  std::string_view m_bytes;
  std::size_t m_nAt = 0;
};

struct CCoder {
  std::string_view id, props;
};

struct CFolder {
  std::vector<CCoder> coders;
  std::uint64_t nOutStreams = 0;
  std::uint64_t nMainOut = 0;  // the out stream no bind pair takes: the folder's result
  std::uint64_t nUnpackSize = 0;
  std::uint64_t nCrc = 0;  // kDefined set when there is one
};

struct CStreams {
  std::uint64_t nPackPos = 0;
  std::vector<std::uint64_t> packSizes;
  std::vector<CFolder> folders;
  std::vector<std::uint64_t> streamSizes;  // of each member with data, in order
};

bool ReadFolder(CHeaderBytes& in, CFolder& folder) {
  std::uint64_t count = 0, ins = 0, outs = 0;
  if (!in.Count(count, kMaxCoders) || count == 0) return false;
  folder.coders.resize(std::size_t(count));
  for (CCoder& coder : folder.coders) {
    std::uint8_t flag = 0;
    std::uint64_t coderIns = 1, coderOuts = 1, propBytes = 0;
    // 0x80 would announce alternative methods, which no writer uses.
    if (!in.Byte(flag) || (flag & 0x80) != 0 || !in.Take(flag & 0x0F, coder.id)) return false;
    if ((flag & 0x10) != 0 && !(in.NumberUpTo(coderIns, kMaxCoders) && in.NumberUpTo(coderOuts, kMaxCoders)))
      return false;
    if ((flag & 0x20) != 0 && !(in.Number(propBytes) && in.Take(propBytes, coder.props))) return false;
    ins += coderIns;
    outs += coderOuts;
  }
  if (outs == 0 || ins + 1 < outs) return false;
  std::vector<bool> bound(std::size_t(outs), false);
  for (std::uint64_t i = 0; i + 1 < outs; ++i) {
    std::uint64_t inIndex = 0, outIndex = 0;
    if (!in.NumberUpTo(inIndex, ins - 1) || !in.NumberUpTo(outIndex, outs - 1)) return false;
    bound[std::size_t(outIndex)] = true;
  }
  const std::uint64_t packed = ins - (outs - 1);
  std::uint64_t index = 0;
  if (packed == 0) return false;
  for (std::uint64_t i = 0; packed > 1 && i < packed; ++i)
    if (!in.NumberUpTo(index, ins - 1)) return false;
  std::size_t unbound = 0;
  for (std::size_t i = 0; i < bound.size(); ++i)
    if (!bound[i]) {
      folder.nMainOut = i;
      ++unbound;
    }
  folder.nOutStreams = outs;
  return unbound == 1;
}

bool ReadUnpackInfo(CHeaderBytes& in, std::vector<CFolder>& folders) {
  std::uint64_t count = 0;
  if (!in.Expect(kFolder) || !in.Count(count, kMaxArchiveMembers) || !in.Expect(0)) return false;  // 0: not external
  folders.resize(std::size_t(count));
  for (CFolder& folder : folders)
    if (!ReadFolder(in, folder)) return false;
  if (!in.Expect(kCodersUnpackSize)) return false;
  for (CFolder& folder : folders)
    for (std::uint64_t i = 0, size = 0; i < folder.nOutStreams; ++i) {
      if (!in.Number(size)) return false;
      if (i == folder.nMainOut) folder.nUnpackSize = size;
    }
  for (std::uint8_t id = 0;;) {
    if (!in.Byte(id)) return false;
    if (id == kEnd) return true;
    std::vector<std::uint64_t> crcs;
    if (id != kCRC || !in.Values(count, 4, crcs)) return false;
    for (std::size_t i = 0; i < crcs.size(); ++i) folders[i].nCrc = crcs[i];
  }
}

bool ReadPackInfo(CHeaderBytes& in, CStreams& streams) {
  std::uint64_t count = 0, size = 0;
  if (!in.Number(streams.nPackPos) || !in.Count(count, kMaxArchiveMembers)) return false;
  std::vector<std::uint64_t> crcs;
  for (std::uint8_t id = 0;;) {
    if (!in.Byte(id)) return false;
    if (id == kEnd) return streams.packSizes.size() == count;
    if (id == kSize) {
      streams.packSizes.clear();
      for (std::uint64_t i = 0; i < count; ++i) {
        if (!in.Number(size)) return false;
        streams.packSizes.push_back(size);
      }
    } else if (id != kCRC || !in.Values(count, 4, crcs)) {
      return false;
    }
  }
}

// How the folders' data splits into members' streams: sizes for all but
// the last of each folder, which takes the rest.
bool ReadSubStreams(CHeaderBytes& in, CStreams& streams) {
  std::vector<std::uint64_t> counts(streams.folders.size(), 1), crcs;
  bool sized = false;
  for (std::uint8_t id = 0;;) {
    if (!in.Byte(id)) return false;
    if (id == kEnd) break;
    if (id == kNumUnpackStream) {
      std::uint64_t total = 0;
      for (std::uint64_t& count : counts) {
        if (!in.NumberUpTo(count, kMaxArchiveMembers)) return false;
        total += count;
        if (total > kMaxArchiveMembers) return false;
      }
    } else if (id == kSize) {
      sized = true;
      streams.streamSizes.clear();
      for (std::size_t f = 0; f < counts.size(); ++f) {
        std::uint64_t rest = streams.folders[f].nUnpackSize, size = 0;
        for (std::uint64_t i = 1; i < counts[f]; ++i) {
          if (!in.NumberUpTo(size, rest)) return false;
          rest -= size;
          streams.streamSizes.push_back(size);
        }
        if (counts[f] != 0) streams.streamSizes.push_back(rest);
      }
    } else if (id == kCRC) {
      // Streams alone in a folder whose CRC is known carry none of their own.
      std::uint64_t digests = 0;
      for (std::size_t f = 0; f < counts.size(); ++f)
        if (counts[f] != 1 || (streams.folders[f].nCrc & kDefined) == 0) digests += counts[f];
      if (!in.Values(digests, 4, crcs)) return false;
    } else {
      return false;
    }
  }
  if (sized) return true;
  streams.streamSizes.clear();
  for (std::size_t f = 0; f < counts.size(); ++f) {
    if (counts[f] > 1) return false;
    if (counts[f] == 1) streams.streamSizes.push_back(streams.folders[f].nUnpackSize);
  }
  return true;
}

bool ReadStreams(CHeaderBytes& in, CStreams& streams) {
  bool split = false;
  for (std::uint8_t id = 0;;) {
    if (!in.Byte(id)) return false;
    if (id == kEnd) break;
    if (id == kSubStreamsInfo) split = true;
    if (!(id == kPackInfo         ? ReadPackInfo(in, streams)
          : id == kUnpackInfo     ? ReadUnpackInfo(in, streams.folders)
          : id == kSubStreamsInfo ? ReadSubStreams(in, streams)
                                  : false))
      return false;
  }
  if (!split)
    for (const CFolder& folder : streams.folders) streams.streamSizes.push_back(folder.nUnpackSize);
  return true;
}

bool ReadNames(CHeaderBytes& in, std::vector<CSevenZipMember>& members) {
  std::string_view bytes;
  if (!in.Expect(0) || !in.Take(in.Left(), bytes) || bytes.size() % 2 != 0) return false;
  const auto* units = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t start = 0;
  std::size_t made = 0;
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
    if (bytes[at] != 0 || bytes[at + 1] != 0) continue;
    if (made == members.size()) return false;
    members[made++].strPath = Utf16leToUtf8(units + start, (at - start) / 2);
    start = at + 2;
  }
  return made == members.size() && start == bytes.size();
}

bool ReadFiles(CHeaderBytes& in, const CStreams& streams, std::vector<CSevenZipMember>& members) {
  std::uint64_t count = 0;
  if (!in.Count(count, kMaxArchiveMembers)) return false;  // each has a name, two bytes at least
  members.resize(std::size_t(count));
  std::vector<bool> emptyStream, emptyFile;
  std::vector<std::uint64_t> mtimes, ctimes, attributes;
  std::uint64_t empties = 0;
  bool named = count == 0;
  for (;;) {
    std::uint64_t type = 0, size = 0;
    std::string_view data;
    if (!in.Number(type)) return false;
    if (type == kEnd) break;
    if (!in.Number(size) || !in.Take(size, data)) return false;
    CHeaderBytes property(data);
    bool read = true;
    if (type == kEmptyStream) {
      read = property.Bits(count, emptyStream);
      empties = 0;
      for (bool empty : emptyStream) empties += empty ? 1 : 0;
    } else if (type == kEmptyFile) {
      read = property.Bits(empties, emptyFile);
    } else if (type == kName) {
      read = named = ReadNames(property, members);
    } else if (type == kMTime || type == kCTime || type == kWinAttributes) {
      std::vector<std::uint64_t>& values = type == kMTime ? mtimes : type == kCTime ? ctimes : attributes;
      read = property.Values(count, type == kWinAttributes ? 4 : 8, values, true);
    }
    if (!read) return false;
  }
  if (!named) return false;
  std::size_t stream = 0, empty = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    CSevenZipMember& member = members[i];
    if (emptyStream.empty() || !emptyStream[i]) {
      if (stream == streams.streamSizes.size()) return false;
      member.nSize = streams.streamSizes[stream++];
    } else {
      member.bFolder = !(empty < emptyFile.size() && emptyFile[empty]);
      ++empty;
    }
    if (i < mtimes.size()) member.nMTime = mtimes[i] & ~kDefined;
    if (i < ctimes.size()) member.nCTime = ctimes[i] & ~kDefined;
    const std::uint64_t attribute = i < attributes.size() ? attributes[i] : 0;
    // 0x8000: the top 16 bits hold a Unix mode; else 0x10 is the folder bit.
    if ((attribute & kDefined) != 0 && (attribute & 0x8000) != 0)
      member.bFolder = ((attribute >> 16) & 0170000) == 0040000;
    else if ((attribute & kDefined) != 0 && (attribute & 0x10) != 0)
      member.bFolder = true;
  }
  return stream == streams.streamSizes.size();
}

bool ReadHeader(std::string_view bytes, std::vector<CSevenZipMember>& members) {
  CHeaderBytes in(bytes);
  std::uint8_t id = 0;
  if (!in.Expect(kHeader) || !in.Byte(id)) return false;
  if (id == kArchiveProperties) {
    for (std::uint64_t type = 0, size = 0;;) {
      std::string_view skipped;
      if (!in.Number(type)) return false;
      if (type == kEnd) break;
      if (!in.Number(size) || !in.Take(size, skipped)) return false;
    }
    if (!in.Byte(id)) return false;
  }
  CStreams streams;
  if (id == kAdditionalStreamsInfo && !(ReadStreams(in, streams) && in.Byte(id))) return false;
  streams = CStreams();
  if (id == kMainStreamsInfo && !(ReadStreams(in, streams) && in.Byte(id))) return false;
  if (id == kFilesInfo && !(ReadFiles(in, streams, members) && in.Byte(id))) return false;
  return id == kEnd;
}

// Unpacks LZMA through libarchive, as an "lzma alone" stream: the 5
// property bytes, the unpacked size, the packed bytes. The dictionary is
// the smallest power of two that holds the output (no match reaches back
// further), so memory follows the header's bound whatever the archive says.
// stream holds the packed bytes and gets the rest put in front.
bool UnpackLzma(std::string_view props, std::string& stream, std::uint64_t size, std::string& out) {
  std::uint64_t dictionary = 4096;
  while (dictionary < size) dictionary *= 2;
  std::string front(1, props[0]);
  PutLE(front, dictionary, 4);
  PutLE(front, size, 8);
  stream.insert(0, front);
  ArchivePtr reader(archive_read_new());
  archive* a = reader.get();
  archive_entry* entry = nullptr;
  archive_read_support_filter_lzma(a);
  archive_read_support_format_raw(a);
  if (archive_read_open_memory(a, stream.data(), stream.size()) != ARCHIVE_OK ||
      archive_read_next_header(a, &entry) != ARCHIVE_OK || archive_filter_code(a, 0) != ARCHIVE_FILTER_LZMA)
    return false;
  out.clear();
  char buffer[64 * 1024];
  for (;;) {
    const la_ssize_t got = archive_read_data(a, buffer, sizeof buffer);
    if (got < 0 || std::uint64_t(got) > size - out.size()) return false;
    if (got == 0) return out.size() == size;
    out.append(buffer, std::size_t(got));
  }
}

// The header kEncodedHeader describes: one folder of one LZMA coder, as
// 7-Zip writes it. AES (06 F1 07 01) there means the names are encrypted:
// nothing to read.
bool UnpackHeader(const SevenZipReadAt& readAt, std::string_view encoded, std::string& out) {
  CHeaderBytes in(encoded);
  CStreams streams;
  if (!ReadStreams(in, streams) || streams.folders.size() != 1 || streams.packSizes.size() != 1) return false;
  const CFolder& folder = streams.folders[0];
  if (folder.coders.size() != 1 || folder.coders[0].id != kLzmaId || folder.coders[0].props.size() != 5) return false;
  if (streams.packSizes[0] > kMaxSevenZipHeaderBytes || folder.nUnpackSize > kMaxSevenZipHeaderBytes) return false;
  std::string packed;
  if (!readAt(kStartHeaderBytes + streams.nPackPos, std::size_t(streams.packSizes[0]), packed) ||
      !UnpackLzma(folder.coders[0].props, packed, folder.nUnpackSize, out))
    return false;
  return (folder.nCrc & kDefined) == 0 || SevenZipCrc(out) == std::uint32_t(folder.nCrc);
}

}  // namespace

std::uint32_t SevenZipCrc(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

bool ReadSevenZipMembers(const SevenZipReadAt& readAt, std::vector<CSevenZipMember>& members) {
  members.clear();
  std::string start, next, unpacked;
  if (!readAt(0, kStartHeaderBytes, start) || start.compare(0, 6, "7z\xBC\xAF\x27\x1C", 6) != 0 ||
      SevenZipCrc(std::string_view(start).substr(12)) != GetLE(start, 8, 4))
    return false;
  const std::uint64_t offset = GetLE(start, 12, 8), size = GetLE(start, 20, 8);
  if (offset >> 62 != 0 || size == 0 || size > kMaxSevenZipHeaderBytes ||
      !readAt(kStartHeaderBytes + offset, std::size_t(size), next) || SevenZipCrc(next) != GetLE(start, 28, 4))
    return false;
  std::string_view header = next;
  if (next[0] == char(kEncodedHeader)) {
    if (!UnpackHeader(readAt, header.substr(1), unpacked)) return false;
    header = unpacked;
  }
  std::vector<CSevenZipMember> read;
  if (!ReadHeader(header, read)) return false;
  members = std::move(read);
  return true;
}
