#include "platform/os/kernel/PrivateProfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Paths.h"

namespace qv::os {

namespace {

std::string_view trim(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool sameName(std::string_view a, std::string_view b) { return ansiCompareText(a, b) == 0; }

std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return std::string(v.substr(1, v.size() - 2));
  return std::string(v);
}

}  // namespace

ProfileText::Line ProfileText::parseLine(std::string text, std::string eol) {
  Line l;
  std::string_view t = trim(text);
  if (!t.empty() && t.front() == '[') {
    std::size_t close = t.find(']');
    if (close == std::string_view::npos) {
      l.kind = Kind::BrokenHeader;
    } else {
      l.kind = Kind::Section;
      l.name = std::string(trim(t.substr(1, close - 1)));
    }
  } else if (!t.empty() && t.front() != ';') {
    std::size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
      std::string_view key = trim(t.substr(0, eq));
      if (!key.empty()) {
        l.kind = Kind::Key;
        l.name = std::string(key);
        l.value = std::string(trim(t.substr(eq + 1)));
      }
    }
  }
  l.text = std::move(text);
  l.eol = std::move(eol);
  return l;
}

ProfileText::ProfileText(std::string_view text) {
  bool sawEol = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines_.push_back(parseLine(std::string(text.substr(pos)), ""));
      break;
    }
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    std::string eol(text.substr(end, next - end));
    if (!sawEol) {
      newline_ = eol;
      sawEol = true;
    }
    lines_.push_back(parseLine(std::string(text.substr(pos, end - pos)), std::move(eol)));
    pos = next;
  }
}

std::string ProfileText::text() const {
  std::string out;
  for (const Line& l : lines_) out += l.text + l.eol;
  return out;
}

void ProfileText::clear() { lines_.clear(); }

std::optional<std::pair<std::size_t, std::size_t>> ProfileText::find(std::string_view section) const {
  section = trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != Kind::Section || !sameName(lines_[i].name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::Section && lines_[end].kind != Kind::BrokenHeader) ++end;
    return std::make_pair(i, end);
  }
  return std::nullopt;
}

std::vector<std::string> ProfileText::sectionNames() const {
  std::vector<std::string> names;
  for (const Line& l : lines_) {
    if (l.kind != Kind::Section) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || sameName(n, l.name);
    if (!seen) names.push_back(l.name);
  }
  return names;
}

bool ProfileText::hasSection(std::string_view section) const { return find(section).has_value(); }

std::vector<std::pair<std::string, std::string>> ProfileText::entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  if (auto r = find(section))
    for (std::size_t i = r->first + 1; i < r->second; ++i)
      if (lines_[i].kind == Kind::Key) out.emplace_back(lines_[i].name, lines_[i].value);
  return out;
}

std::vector<std::string> ProfileText::keyNames(std::string_view section) const {
  std::vector<std::string> names;
  for (auto& [key, value] : entries(section)) {
    bool seen = false;
    for (const std::string& n : names) seen = seen || sameName(n, key);
    if (!seen) names.push_back(key);
  }
  return names;
}

std::optional<std::string> ProfileText::value(std::string_view section, std::string_view key) const {
  key = trim(key);
  if (auto r = find(section))
    for (std::size_t i = r->first + 1; i < r->second; ++i)
      if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, key)) return unquote(lines_[i].value);
  return std::nullopt;
}

void ProfileText::insertLine(std::size_t at, std::string text) {
  // A last line without line break gets one when something follows it.
  if (at == lines_.size() && at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), parseLine(std::move(text), newline_));
}

void ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  auto r = find(section);
  if (!r) {
    insertLine(lines_.size(), "[" + std::string(section) + "]");
    insertLine(lines_.size(), std::string(key) + "=" + std::string(value));
    return;
  }
  std::size_t lastKey = r->first;
  for (std::size_t i = r->first + 1; i < r->second; ++i) {
    Line& l = lines_[i];
    if (l.kind != Kind::Key) continue;
    if (sameName(l.name, key)) {
      // The key keeps its spelling in the file.
      std::string eol = l.eol;
      l = parseLine(l.name + "=" + std::string(value), eol);
      return;
    }
    lastKey = i;
  }
  insertLine(lastKey + 1, std::string(key) + "=" + std::string(value));
}

bool ProfileText::deleteKey(std::string_view section, std::string_view key) {
  key = trim(key);
  auto r = find(section);
  if (!r) return false;
  for (std::size_t i = r->first + 1; i < r->second; ++i) {
    if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, key)) {
      // Removing the last line leaves the one before it as the file's end,
      // with the line break it had.
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

bool ProfileText::deleteSection(std::string_view section) {
  auto r = find(section);
  if (!r) return false;
  auto [first, end] = *r;
  if (end < lines_.size()) {
    while (end > first + 1 && lines_[end - 1].kind == Kind::Other && trim(lines_[end - 1].text).starts_with(";")) --end;
  }
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first), lines_.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

void ProfileText::replaceSection(std::string_view section, const std::vector<std::string>& lines) {
  section = trim(section);
  auto r = find(section);
  std::size_t at;
  if (!r) {
    insertLine(lines_.size(), "[" + std::string(section) + "]");
    at = lines_.size();
  } else {
    at = r->first + 1;
    for (std::size_t i = r->second; i-- > r->first + 1;)
      if (lines_[i].kind == Kind::Key) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (const std::string& l : lines) insertLine(at++, l);
}

namespace {

// Serialises read-modify-write cycles of all our processes on one folder.
class FolderLock {
 public:
  explicit FolderLock(const std::string& hostFile) {
    std::size_t slash = hostFile.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : hostFile.substr(0, slash);
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

bool readHost(const std::string& host, ProfileText& out, DWORD& error) {
  out = ProfileText();
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENOENT || errno == EISDIR ? ERROR_FILE_NOT_FOUND : errorFromErrno(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  std::string text;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errorFromErrno(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  out = ProfileText(text);
  error = ERROR_SUCCESS;
  return true;
}

bool writeHost(const std::string& host, const std::string& text, DWORD& error) {
  struct stat st {};
  bool existed = ::stat(host.c_str(), &st) == 0;
  if (existed && (!S_ISREG(st.st_mode) || ::access(host.c_str(), W_OK) != 0)) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  std::string tmpl = host + ".qvtmp-XXXXXX";
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    error = errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno);
    return false;
  }
  mode_t mode;
  if (existed) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = errorFromErrno(n < 0 ? errno : ENOSPC);
      ::close(fd);
      ::unlink(tmpl.c_str());
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(tmpl.c_str(), host.c_str()) != 0) {
    error = errorFromErrno(errno);
    ::unlink(tmpl.c_str());
    return false;
  }
  error = ERROR_SUCCESS;
  return true;
}

// Reads, changes and writes back under the folder lock. `change` returns
// whether anything changed; an unchanged text is not written.
BOOL modifyProfile(LPCSTR fileName, const std::function<bool(ProfileText&)>& change) {
  auto host = profileHostPath(fileName);
  if (!host) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  FolderLock lock(*host);
  ProfileText text;
  DWORD error = ERROR_SUCCESS;
  bool existed = readHost(*host, text, error);
  if (!existed && error != ERROR_FILE_NOT_FOUND) {
    SetLastError(error);
    return FALSE;
  }
  if (!change(text)) return TRUE;
  if (!writeHost(*host, text.text(), error)) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

// Copies a list of zero-terminated strings, ended by one more zero. When it
// does not fit, the last string is cut and two zeros end it: size - 2.
DWORD copyList(const std::vector<std::string>& items, LPSTR out, DWORD size) {
  if (!out || size == 0) return 0;
  std::string all;
  for (const std::string& s : items) {
    all += s;
    all += '\0';
  }
  if (all.size() + 1 <= size) {
    std::memcpy(out, all.data(), all.size());
    out[all.size()] = 0;
    if (all.empty() && size > 1) out[1] = 0;
    return static_cast<DWORD>(all.size());
  }
  if (size < 2) {
    out[0] = 0;
    return 0;
  }
  std::memcpy(out, all.data(), size - 2);
  out[size - 2] = 0;
  out[size - 1] = 0;
  return size - 2;
}

// Copies one string; when it does not fit it is cut: size - 1.
DWORD copyValue(std::string_view v, LPSTR out, DWORD size) {
  if (!out || size == 0) return 0;
  std::size_t n = std::min<std::size_t>(v.size(), size - 1);
  if (n > 0) std::memcpy(out, v.data(), n);  // an empty view may have no data pointer
  out[n] = 0;
  return static_cast<DWORD>(n);
}

}  // namespace

std::optional<std::string> profileHostPath(LPCSTR fileName) {
  std::string name = fileName ? fileName : "win.ini";
  if (name.empty()) return std::nullopt;
  if (name.find_first_of("\\/") == std::string::npos && name.find(':') == std::string::npos) {
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    name = std::string(dir, n) + "\\" + name;
  }
  auto full = fullWindowsPath(name);
  if (!full) return std::nullopt;
  return toHostPath(*full);
}

bool readProfileFile(LPCSTR fileName, ProfileText& out, DWORD& error) {
  auto host = profileHostPath(fileName);
  if (!host) {
    out = ProfileText();
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  return readHost(*host, out, error);
}

bool writeProfileFile(LPCSTR fileName, const ProfileText& text, DWORD& error) {
  auto host = profileHostPath(fileName);
  if (!host) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  FolderLock lock(*host);
  return writeHost(*host, text.text(), error);
}

}  // namespace qv::os

using qv::os::ProfileText;

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returned, DWORD size,
                               LPCSTR fileName) {
  if (!returned || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ProfileText text;
  DWORD error = ERROR_SUCCESS;
  bool read = qv::os::readProfileFile(fileName, text, error);
  if (!appName) return qv::os::copyList(text.sectionNames(), returned, size);
  if (!keyName) return qv::os::copyList(text.keyNames(appName), returned, size);
  if (auto v = text.value(appName, keyName)) return qv::os::copyValue(*v, returned, size);
  SetLastError(read ? ERROR_FILE_NOT_FOUND : error);
  // Trailing blanks of the default are cut, as the platform does.
  std::string_view d = defaultValue ? defaultValue : "";
  std::size_t end = d.find_last_not_of(' ');
  return qv::os::copyValue(end == std::string_view::npos ? std::string_view() : d.substr(0, end + 1), returned, size);
}

UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName) {
  if (!appName || !keyName) return static_cast<UINT>(defaultValue);
  ProfileText text;
  DWORD error;
  qv::os::readProfileFile(fileName, text, error);
  auto v = text.value(appName, keyName);
  if (!v) return static_cast<UINT>(defaultValue);
  // Leading digits count, with an optional sign; no digits: the default.
  std::string_view s = qv::os::trim(*v);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return static_cast<UINT>(defaultValue);
  UINT n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) n = n * 10 + static_cast<UINT>(s[i] - '0');
  return negative ? 0u - n : n;
}

BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName) {
  if (!appName) {
    // All null asks to flush a cache; there is none to flush.
    if (!keyName && !value) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return qv::os::modifyProfile(fileName, [&](ProfileText& text) {
    if (!keyName) return text.deleteSection(appName);
    if (!value) return text.deleteKey(appName, keyName);
    std::string before = text.text();
    text.setValue(appName, keyName, value);
    return text.text() != before;
  });
}

DWORD GetPrivateProfileSectionA(LPCSTR appName, LPSTR returned, DWORD size, LPCSTR fileName) {
  if (!returned || size == 0) return 0;
  ProfileText text;
  DWORD error;
  qv::os::readProfileFile(fileName, text, error);
  std::vector<std::string> lines;
  if (appName)
    for (auto& [key, value] : text.entries(appName)) lines.push_back(key + "=" + value);
  return qv::os::copyList(lines, returned, size);
}

DWORD GetPrivateProfileSectionNamesA(LPSTR returned, DWORD size, LPCSTR fileName) {
  return GetPrivateProfileStringA(nullptr, nullptr, nullptr, returned, size, fileName);
}

BOOL WritePrivateProfileSectionA(LPCSTR appName, LPCSTR keyValues, LPCSTR fileName) {
  if (!appName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> lines;
  if (keyValues)
    for (LPCSTR p = keyValues; *p; p += std::strlen(p) + 1) lines.emplace_back(p);
  return qv::os::modifyProfile(fileName, [&](ProfileText& text) {
    if (!keyValues) return text.deleteSection(appName);
    std::string before = text.text();
    text.replaceSection(appName, lines);
    return text.text() != before;
  });
}
