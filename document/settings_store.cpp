#include "document/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/atomic_file.h"

namespace {

// Far beyond any settings file; anything larger is not one.
constexpr off_t kMaxFileSize = 1 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// 0, or the errno value; a file that is not a regular file is EINVAL.
int ReadBytes(const std::string& path, std::string& out) {
  // Non-blocking, so that a FIFO in the file's place cannot hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0)
    error = errno;
  else if (!S_ISREG(info.st_mode))
    error = EINVAL;
  else if (info.st_size > kMaxFileSize)
    error = EFBIG;
  char buffer[8192];
  while (error == 0) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    out.append(buffer, std::size_t(got));
    if (off_t(out.size()) > kMaxFileSize) error = EFBIG;
  }
  ::close(fd);
  return error;
}

// Names in the file escape every ASCII character but letters, digits and a
// few safe marks with a backslash (the form other INI writers of this file
// used, so "[Recent\ File\ List]").
std::string EscapeName(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && !g_ascii_isalnum(c) && std::strchr("@_/-!.*%()", c) == nullptr) out += '\\';
    out += c;
  }
  return out;
}

std::string UnescapeName(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// Values: \n \r \t \\ escaped; a value that begins with a blank or a quote is
// quoted (and its quotes escaped) so that it survives the reader's trimming.
std::string EscapeValue(const std::string& value) {
  const bool quote = !value.empty() && (IsBlank(value[0]) || value[0] == '\n' || value[0] == '\r' || value[0] == '"');
  std::string out = quote ? "\"" : "";
  for (const char c : value) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      case '"': out += quote ? "\\\"" : "\""; break;
      default: out += c;
    }
  }
  if (quote) out += '"';
  return out;
}

std::string UnescapeValue(const std::string& text) {
  const bool quoted = !text.empty() && text[0] == '"';
  std::string out;
  for (std::size_t i = quoted ? 1 : 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
    } else if (!(quoted && c == '"' && i + 1 == text.size())) {
      out += c;
    }
  }
  return out;
}

std::string EntryText(const std::string& key, const std::string& value) {
  return EscapeName(key) + "=" + EscapeValue(value);
}

// Holds an exclusive lock on a file beside the settings while the file is
// re-read and replaced; another instance holds it only for that long.
class CSettingsLock {
 public:
  explicit CSettingsLock(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    // Bounded, so that a stuck holder costs one lost write, not a hang.
    for (int tries = 0; tries < 200; ++tries) {
      if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_bLocked = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~CSettingsLock() {
    if (m_fd >= 0) ::close(m_fd);  // releases the lock
  }
  CSettingsLock(const CSettingsLock&) = delete;
  CSettingsLock& operator=(const CSettingsLock&) = delete;
  bool IsLocked() const { return m_bLocked; }

 private:
  int m_fd = -1;
  bool m_bLocked = false;
};

}  // namespace

CSettingsStore::CSettingsStore(std::string path) : m_strPath(std::move(path)) {
  std::string bytes;
  if (ReadBytes(m_strPath, bytes) == 0) m_vecText = Parse(bytes);
}

std::vector<CSettingsStore::CSection> CSettingsStore::Parse(const std::string& bytes) {
  std::vector<CSection> text(1);
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    CLine line;
    line.m_strText = bytes.substr(at, end - at);
    at = end + 1;

    std::string body = line.m_strText;
    if (!body.empty() && body.back() == '\r') body.pop_back();
    std::size_t i = 0;
    while (i < body.size() && IsBlank(body[i])) ++i;
    if (i < body.size() && body[i] == '[') {
      std::size_t close = i + 1;
      while (close < body.size() && body[close] != ']') close += body[close] == '\\' ? 2 : 1;
      if (close < body.size()) {
        text.push_back({UnescapeName(body.substr(i + 1, close - i - 1)), {}});
        text.back().m_vecLines.push_back(std::move(line));
        continue;
      }
    } else if (i < body.size() && body[i] != ';' && body[i] != '#') {
      std::size_t keyEnd = i;
      while (keyEnd < body.size() && body[keyEnd] != '=' && !IsBlank(body[keyEnd]))
        keyEnd += body[keyEnd] == '\\' ? 2 : 1;
      std::size_t eq = std::min(keyEnd, body.size());
      while (eq < body.size() && IsBlank(body[eq])) ++eq;
      // A line without a key ("=value") or without "=" is kept, not used.
      if (keyEnd > i && eq < body.size() && body[eq] == '=') {
        std::size_t value = eq + 1;
        while (value < body.size() && IsBlank(body[value])) ++value;
        line.m_bEntry = true;
        line.m_strKey = UnescapeName(body.substr(i, keyEnd - i));
        line.m_strValue = UnescapeValue(body.substr(value));
      }
    }
    text.back().m_vecLines.push_back(std::move(line));
  }
  return text;
}

std::string CSettingsStore::Serialize(const std::vector<CSection>& text) {
  std::string out;
  for (const CSection& section : text)
    for (const CLine& line : section.m_vecLines) out += line.m_strText + "\n";
  return out;
}

bool CSettingsStore::Apply(std::vector<CSection>& text, const CChange& change) {
  bool changed = false;
  if (change.m_eKind == CChange::DELETE_SECTION) {
    for (auto it = text.begin(); it != text.end();) {
      if (it->m_strName == change.m_strSection && it != text.begin()) {
        it = text.erase(it);
        changed = true;
      } else {
        ++it;
      }
    }
    return changed;
  }
  if (change.m_eKind == CChange::DELETE_KEY) {
    for (CSection& section : text) {
      if (section.m_strName != change.m_strSection) continue;
      auto& lines = section.m_vecLines;
      for (auto it = lines.begin(); it != lines.end();) {
        if (it->m_bEntry && it->m_strKey == change.m_strKey) {
          it = lines.erase(it);
          changed = true;
        } else {
          ++it;
        }
      }
    }
    return changed;
  }
  if (text.empty()) text.emplace_back();
  CSection* section = nullptr;
  for (CSection& each : text)
    if (each.m_strName == change.m_strSection && (!change.m_strSection.empty() || &each == &text.front())) {
      section = &each;
      break;
    }
  if (section == nullptr) {
    text.push_back({change.m_strSection, {}});
    section = &text.back();
    section->m_vecLines.push_back({"[" + EscapeName(change.m_strSection) + "]", false, {}, {}});
  }
  auto& lines = section->m_vecLines;
  std::size_t insertAt = change.m_strSection.empty() ? 0 : 1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].m_bEntry) continue;
    if (lines[i].m_strKey == change.m_strKey) {
      if (lines[i].m_strValue == change.m_strValue) return false;
      lines[i] = {EntryText(change.m_strKey, change.m_strValue), true, change.m_strKey, change.m_strValue};
      return true;
    }
    insertAt = i + 1;
  }
  lines.insert(lines.begin() + std::ptrdiff_t(insertAt),
               {EntryText(change.m_strKey, change.m_strValue), true, change.m_strKey, change.m_strValue});
  return true;
}

void CSettingsStore::Change(CChange change) {
  // Only a real change is remembered: writing back what this instance read
  // must not overwrite what another instance stored meanwhile. A section
  // deleted to be rewritten whole is deleted in the file even when this
  // instance never saw it.
  if (Apply(m_vecText, change) || change.m_eKind == CChange::DELETE_SECTION) m_vecChanges.push_back(std::move(change));
}

bool CSettingsStore::Has(const std::string& section, const std::string& key) const {
  for (const CSection& each : m_vecText)
    if (each.m_strName == section)
      for (const CLine& line : each.m_vecLines)
        if (line.m_bEntry && line.m_strKey == key) return true;
  return false;
}

std::string CSettingsStore::GetString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
  for (const CSection& each : m_vecText)
    if (each.m_strName == section)
      for (const CLine& line : each.m_vecLines)
        if (line.m_bEntry && line.m_strKey == key) return line.m_strValue;
  return def;
}

std::vector<std::string> CSettingsStore::GetKeys(const std::string& section) const {
  std::vector<std::string> keys;
  for (const CSection& each : m_vecText)
    if (each.m_strName == section)
      for (const CLine& line : each.m_vecLines)
        if (line.m_bEntry) keys.push_back(line.m_strKey);
  return keys;
}

void CSettingsStore::SetString(const std::string& section, const std::string& key, const std::string& value) {
  Change({CChange::SET, section, key, value});
}

void CSettingsStore::SetInt(const std::string& section, const std::string& key, long value) {
  SetString(section, key, std::to_string(value));
}

void CSettingsStore::DeleteKey(const std::string& section, const std::string& key) {
  Change({CChange::DELETE_KEY, section, key, {}});
}

void CSettingsStore::DeleteSection(const std::string& section) { Change({CChange::DELETE_SECTION, section, {}, {}}); }

bool CSettingsStore::Flush() {
  if (m_vecChanges.empty()) return true;
  // A new account has no configuration folder yet.
  const std::size_t slash = m_strPath.rfind('/');
  if (slash != std::string::npos && slash > 0) g_mkdir_with_parents(m_strPath.substr(0, slash).c_str(), 0700);

  const CSettingsLock lock(m_strPath + ".lock");
  if (!lock.IsLocked()) return false;
  std::string bytes;
  const int error = ReadBytes(m_strPath, bytes);
  // What cannot be read cannot be merged into, and a file made read-only
  // stays as it is.
  if (error != 0 && error != ENOENT) return false;
  if (error == 0 && ::access(m_strPath.c_str(), W_OK) != 0) return false;

  std::vector<CSection> text = Parse(bytes);
  for (const CChange& change : m_vecChanges) Apply(text, change);
  const std::string out = Serialize(text);
  if (error == 0 ? out == bytes : out.empty()) {
    m_vecChanges.clear();
    return true;
  }
  CAtomicFile file(m_strPath);
  if (file.Open() < 0) return false;
  for (std::size_t done = 0; done < out.size();) {
    const ssize_t put = ::write(file.Fd(), out.data() + done, out.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += std::size_t(put);
  }
  if (file.Commit() != 0) return false;
  m_vecChanges.clear();
  return true;
}
