#include "platform/os/kernel/PrivateProfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/desktop/Recorder.h"
#include "platform/desktop/WriteStop.h"
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

std::string_view ProfileText::eolText(Eol e) {
  switch (e) {
    case Eol::CrLf:
      return "\r\n";
    case Eol::Lf:
      return "\n";
    case Eol::Cr:
      return "\r";
    case Eol::None:
      break;
  }
  return {};
}

ProfileText::Line ProfileText::parseLine(std::size_t at, std::size_t size, Eol eol) const {
  Line l;
  l.at = at;
  l.size = size;
  l.eol = eol;
  // A line too long for its stretches to be told is read as no entry.
  if (size > UINT32_MAX) return l;
  const std::string_view text = textOf(l);
  auto mark = [&](std::string_view part, std::uint32_t& partAt, std::uint32_t& partSize) {
    partAt = static_cast<std::uint32_t>(part.data() - text.data());
    partSize = static_cast<std::uint32_t>(part.size());
  };
  std::string_view t = trim(text);
  if (!t.empty() && t.front() == '[') {
    std::size_t close = t.find(']');
    std::string_view name = close == std::string_view::npos ? std::string_view() : trim(t.substr(1, close - 1));
    // A header without its closing bracket or without a name ("[]") opens
    // no section: nothing lists it and its keys are out of reach.
    if (name.empty()) {
      l.kind = Kind::BrokenHeader;
    } else {
      l.kind = Kind::Section;
      mark(name, l.nameAt, l.nameSize);
    }
  } else if (!t.empty() && t.front() != ';') {
    std::size_t eq = t.find('=');
    if (eq != std::string_view::npos) {
      std::string_view key = trim(t.substr(0, eq));
      if (!key.empty()) {
        l.kind = Kind::Key;
        mark(key, l.nameAt, l.nameSize);
        std::string_view value = trim(t.substr(eq + 1));
        // An empty value still has its place: right after the "=".
        if (value.empty()) value = t.substr(t.size());
        mark(value, l.valueAt, l.valueSize);
      }
    }
  }
  return l;
}

ProfileText::Line ProfileText::makeLine(std::string text, Eol eol) {
  // Unused bytes are let go once they outgrow the bytes in use.
  if (unused_ > 4096 && unused_ > chars_.size() / 2) {
    std::string kept;
    kept.reserve(chars_.size() - unused_ + text.size());
    for (Line& l : lines_) {
      const std::size_t at = kept.size();
      kept.append(textOf(l));
      l.at = at;
    }
    chars_ = std::move(kept);
    unused_ = 0;
  }
  const std::size_t at = chars_.size();
  chars_.append(text);
  return parseLine(at, text.size(), eol);
}

void ProfileText::dropped(const Line& l) { unused_ += l.size; }

ProfileText::ProfileText(std::string_view text) : chars_(text) { split(); }

ProfileText ProfileText::adopt(std::string bytes) {
  ProfileText t;
  t.chars_ = std::move(bytes);
  t.split();
  return t;
}

void ProfileText::split() {
  const char* const begin = chars_.data();
  const char* const end = begin + chars_.size();
  // Room for every line at once: a large file is not moved line by line as
  // the list grows.
  std::size_t breaks = 0;
  for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr; ++p)
    ++breaks;
  lines_.reserve(breaks + 1);
  bool sawEol = false;
  const char* p = begin;
  while (p < end) {
    const std::size_t left = static_cast<std::size_t>(end - p);
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', left));
    const char* stop = lf != nullptr ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
    const char* brk = cr != nullptr ? cr : lf;
    const auto at = static_cast<std::size_t>(p - begin);
    if (brk == nullptr) {
      lines_.push_back(parseLine(at, left, Eol::None));
      break;
    }
    Eol eol = Eol::Lf;
    const char* next = brk + 1;
    if (*brk == '\r') {
      eol = Eol::Cr;
      if (next < end && *next == '\n') {
        eol = Eol::CrLf;
        ++next;
      }
    }
    if (!sawEol) {
      newline_ = eol;
      sawEol = true;
    }
    lines_.push_back(parseLine(at, static_cast<std::size_t>(brk - p), eol));
    p = next;
  }
}

std::string ProfileText::text() const {
  std::size_t size = 0;
  for (const Line& l : lines_) size += l.size + eolText(l.eol).size();
  std::string out;
  out.reserve(size);
  for (const Line& l : lines_) {
    out.append(textOf(l));
    out.append(eolText(l.eol));
  }
  return out;
}

void ProfileText::clear() {
  lines_.clear();
  chars_.clear();
  unused_ = 0;
  changed();
}

namespace {

// FNV-1a over the name as the names are compared: letters in upper case.
std::uint64_t nameHash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : name) {
    h ^= static_cast<unsigned char>(ansiUpper(c));
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

const ProfileText::Index& ProfileText::index() const {
  if (index_) return *index_;
  auto index = std::make_shared<Index>();
  constexpr std::uint32_t none = UINT32_MAX;
  std::uint32_t header = none;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    const auto at = static_cast<std::uint32_t>(i);
    switch (l.kind) {
      case Kind::Section:
        header = at;
        index->headers.push_back(at);
        index->sections.push_back({nameHash(nameOf(l)), 0, at});
        break;
      case Kind::BrokenHeader:
        header = none;
        index->headers.push_back(at);
        break;
      case Kind::Key:
        if (header != none) index->keys.push_back({nameHash(nameOf(l)), header, at});
        break;
      case Kind::Other:
        break;
    }
  }
  std::sort(index->sections.begin(), index->sections.end());
  std::sort(index->keys.begin(), index->keys.end());
  index_ = std::move(index);
  return *index_;
}

std::optional<std::pair<std::size_t, std::size_t>> ProfileText::find(std::string_view section) const {
  section = trim(section);
  const Index& ix = index();
  // Entries of one hash are in line order, so the first that matches is
  // the first section of that name.
  const std::uint64_t h = nameHash(section);
  for (auto it = std::lower_bound(ix.sections.begin(), ix.sections.end(), Index::Entry{h, 0, 0});
       it != ix.sections.end() && it->hash == h; ++it) {
    if (!sameName(nameOf(lines_[it->line]), section)) continue;
    auto next = std::upper_bound(ix.headers.begin(), ix.headers.end(), it->line);
    return std::make_pair(std::size_t{it->line}, next == ix.headers.end() ? lines_.size() : std::size_t{*next});
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileText::findKey(std::pair<std::size_t, std::size_t> range,
                                                std::string_view key) const {
  key = trim(key);
  const Index& ix = index();
  const std::uint64_t h = nameHash(key);
  const auto header = static_cast<std::uint32_t>(range.first);
  for (auto it = std::lower_bound(ix.keys.begin(), ix.keys.end(), Index::Entry{h, header, 0});
       it != ix.keys.end() && it->header == header && it->hash == h; ++it)
    if (sameName(nameOf(lines_[it->line]), key)) return it->line;
  return std::nullopt;
}

std::vector<std::string> ProfileText::sectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Line& l : lines_)
    if (l.kind == Kind::Section && seen.insert(ansiUpperCase(nameOf(l))).second) names.emplace_back(nameOf(l));
  return names;
}

std::vector<std::string> ProfileText::headerNames() const {
  std::vector<std::string> names;
  for (const Line& l : lines_)
    if (l.kind == Kind::Section) names.emplace_back(nameOf(l));
  return names;
}

bool ProfileText::hasSection(std::string_view section) const { return find(section).has_value(); }

std::vector<std::pair<std::string, std::string>> ProfileText::entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  if (auto r = find(section))
    for (std::size_t i = r->first + 1; i < r->second; ++i)
      if (lines_[i].kind == Kind::Key) out.emplace_back(nameOf(lines_[i]), valueOf(lines_[i]));
  return out;
}

std::vector<std::string> ProfileText::keyNames(std::string_view section) const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  if (auto r = find(section))
    for (std::size_t i = r->first + 1; i < r->second; ++i)
      if (lines_[i].kind == Kind::Key && seen.insert(ansiUpperCase(nameOf(lines_[i]))).second)
        names.emplace_back(nameOf(lines_[i]));
  return names;
}

std::optional<std::string> ProfileText::value(std::string_view section, std::string_view key) const {
  if (auto r = find(section))
    if (auto line = findKey(*r, key)) return unquote(valueOf(lines_[*line]));
  return std::nullopt;
}

void ProfileText::Index::moveLines(std::uint32_t from, int by) {
  auto move = [from, by](std::uint32_t& v) {
    if (v >= from) v = static_cast<std::uint32_t>(static_cast<std::int64_t>(v) + by);
  };
  for (Entry& e : sections) move(e.line);
  for (Entry& e : keys) {
    move(e.header);
    move(e.line);
  }
  for (std::uint32_t& h : headers) move(h);
}

const std::uint32_t* ProfileText::Index::headerAbove(std::uint32_t line) const {
  auto next = std::upper_bound(headers.begin(), headers.end(), line);
  return next == headers.begin() ? nullptr : &*(next - 1);
}

ProfileText::Index* ProfileText::ownIndex() {
  if (index_ && index_.use_count() > 1) index_ = std::make_shared<Index>(*index_);
  return index_.get();
}

void ProfileText::lineInserted(std::size_t at) {
  Index* ix = ownIndex();
  if (!ix) return;
  const Line& l = lines_[at];
  const bool last = at + 1 == lines_.size();
  // A header above other lines takes over the keys below it.
  if (!last && (l.kind == Kind::Section || l.kind == Kind::BrokenHeader)) {
    changed();
    return;
  }
  const auto pos = static_cast<std::uint32_t>(at);
  if (!last) ix->moveLines(pos, 1);
  auto add = [](std::vector<Index::Entry>& entries, const Index::Entry& e) {
    entries.insert(std::upper_bound(entries.begin(), entries.end(), e), e);
  };
  switch (l.kind) {
    case Kind::Section:
      ix->headers.push_back(pos);
      add(ix->sections, {nameHash(nameOf(l)), 0, pos});
      break;
    case Kind::BrokenHeader:
      ix->headers.push_back(pos);
      break;
    case Kind::Key:
      // Under the nearest header above, when that one is whole.
      if (const std::uint32_t* header = ix->headerAbove(pos); header && lines_[*header].kind == Kind::Section)
        add(ix->keys, {nameHash(nameOf(l)), *header, pos});
      break;
    case Kind::Other:
      break;
  }
}

void ProfileText::keyLineRemoving(std::size_t at) {
  Index* ix = ownIndex();
  if (!ix) return;
  const auto pos = static_cast<std::uint32_t>(at);
  if (const std::uint32_t* header = ix->headerAbove(pos)) {
    const Index::Entry e{nameHash(nameOf(lines_[at])), *header, pos};
    auto it = std::lower_bound(ix->keys.begin(), ix->keys.end(), e);
    if (it != ix->keys.end() && !(e < *it)) ix->keys.erase(it);
  }
  ix->moveLines(pos + 1, -1);
}

void ProfileText::insertLine(std::size_t at, std::string text) {
  // A last line without line break gets one when something follows it.
  if (at == lines_.size() && at > 0 && lines_[at - 1].eol == Eol::None) lines_[at - 1].eol = newline_;
  Line l = makeLine(std::move(text), newline_);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), l);
  lineInserted(at);
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
    if (sameName(nameOf(l), key)) {
      // The key keeps its spelling in the file, and its place: the index
      // stays as it is.
      std::string line = std::string(nameOf(l)) + "=" + std::string(value);
      dropped(l);
      const Eol eol = l.eol;
      lines_[i] = makeLine(std::move(line), eol);
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
    if (lines_[i].kind == Kind::Key && sameName(nameOf(lines_[i]), key)) {
      dropped(lines_[i]);
      keyLineRemoving(i);
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
    while (end > first + 1 && lines_[end - 1].kind == Kind::Other && trim(textOf(lines_[end - 1])).starts_with(";")) --end;
  }
  for (std::size_t i = first; i < end; ++i) dropped(lines_[i]);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first), lines_.begin() + static_cast<std::ptrdiff_t>(end));
  changed();
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
      if (lines_[i].kind == Kind::Key) {
        dropped(lines_[i]);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      }
    changed();
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

// What tells one state of a host file from another: a write in place
// changes the size or the times, a write through a rename the inode.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
};

FileStamp stampOf(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim}; }

bool operator==(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }
bool operator<(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}
bool operator==(const FileStamp& a, const FileStamp& b) {
  return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtime == b.mtime && a.ctime == b.ctime;
}

// File times come from the kernel's coarse clock. Read now, it tells
// whether a later write could still give the file the times it has.
timespec fileClockNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}

// A file changed in the tick in which it was read may change again within
// that tick, keeping its size and times: until it is read in a later tick,
// its bytes are compared on every read.
bool mayChangeUnseen(const FileStamp& stamp, const timespec& readAt) {
  return !(stamp.mtime < readAt && stamp.ctime < readAt);
}

DWORD openError(int err) { return err == ENOENT || err == EISDIR ? ERROR_FILE_NOT_FOUND : errorFromErrno(err); }

// The whole file and its stamp at the time of reading.
bool readBytes(const std::string& host, std::string& bytes, FileStamp& stamp, DWORD& error) {
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = openError(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  // Read straight into the string, which grows only for a file that grew.
  bytes.assign(static_cast<std::size_t>(st.st_size) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errorFromErrno(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  // A file that changed while it was read has no one stamp for what was
  // read: an impossible one makes the next read look again.
  struct stat after {};
  stamp = ::fstat(fd, &after) == 0 && stampOf(after) == stampOf(st) ? stampOf(st) : FileStamp{};
  ::close(fd);
  error = ERROR_SUCCESS;
  return true;
}

// The parsed texts of the profile files read so far, by host path. A few
// files are kept, the least recently used one going first.
class ProfileCache {
 public:
  static ProfileCache& get() {
    static auto* cache = new ProfileCache;
    return *cache;
  }

  // The file's parsed text, read only when it changed; null with `error`
  // when it cannot be read.
  std::shared_ptr<const ProfileText> read(const std::string& host, DWORD& error) {
    const timespec readAt = fileClockNow();
    struct stat st {};
    const bool found = ::stat(host.c_str(), &st) == 0;
    if (!found || !S_ISREG(st.st_mode)) {
      // Folders and devices are no profile files.
      error = found ? ERROR_FILE_NOT_FOUND : openError(errno);
      forget(host);
      return nullptr;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = entries_.find(host);
      if (it != entries_.end() && it->second.stamp == stampOf(st) && !it->second.unsettled) {
        it->second.used = ++uses_;
        error = ERROR_SUCCESS;
        return it->second.text;
      }
    }
    std::string bytes;
    FileStamp stamp;
    if (!readBytes(host, bytes, stamp, error)) {
      forget(host);
      return nullptr;
    }
    // Bytes that are what was parsed last time need no parse.
    std::shared_ptr<const ProfileText> text;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = entries_.find(host);
      if (it != entries_.end() && it->second.unsettled && it->second.bytes == bytes) text = it->second.text;
    }
    if (!text) {
      // The bytes are kept beside the text only while the file may change
      // unseen; else the text takes them over.
      auto parsed = std::make_shared<ProfileText>(mayChangeUnseen(stamp, readAt) ? ProfileText(bytes)
                                                                               : ProfileText::adopt(std::move(bytes)));
      parsed->prepareLookups();
      text = std::move(parsed);
    }
    keep(host, stamp, readAt, text, std::move(bytes));
    return text;
  }

  // After our own write: the text that the file now holds.
  void wrote(const std::string& host, const FileStamp& stamp, const timespec& writtenFrom,
             std::shared_ptr<const ProfileText> text, std::string bytes) {
    keep(host, stamp, writtenFrom, std::move(text), std::move(bytes));
  }

  void forget(const std::string& host) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.erase(host);
  }

  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
  }

 private:
  static constexpr std::size_t kFiles = 8;

  struct Entry {
    FileStamp stamp;
    std::shared_ptr<const ProfileText> text;
    // Set while the file may still change unseen; its bytes are kept then.
    bool unsettled = false;
    std::string bytes;
    std::uint64_t used = 0;
  };

  void keep(const std::string& host, const FileStamp& stamp, const timespec& readAt,
            std::shared_ptr<const ProfileText> text, std::string bytes) {
    Entry e;
    e.stamp = stamp;
    e.text = std::move(text);
    e.unsettled = mayChangeUnseen(stamp, readAt);
    if (e.unsettled) e.bytes = std::move(bytes);
    std::lock_guard<std::mutex> lock(mutex_);
    e.used = ++uses_;
    entries_[host] = std::move(e);
    while (entries_.size() > kFiles) {
      auto oldest = entries_.begin();
      for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second.used < oldest->second.used) oldest = it;
      entries_.erase(oldest);
    }
  }

  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
  std::uint64_t uses_ = 0;
};

// A fresh desktop has fresh files; nothing read before is kept.
const bool cacheFollowsReset = [] {
  qv::desktop::onReset([] { ProfileCache::get().clear(); });
  return true;
}();

// Writes the whole text through a temporary file and a rename, and tells the
// cache what the file holds now.
bool writeHost(const std::string& host, const ProfileText& text, DWORD& error) {
  (void)cacheFollowsReset;
  const timespec writtenFrom = fileClockNow();
  std::string bytes = text.text();
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
  const char* p = bytes.data();
  std::size_t left = bytes.size();
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
  // A second descriptor keeps the new file at hand after the rename, so that
  // its stamp is that of our file even when another process has replaced it
  // by then.
  int keep = ::dup(fd);
  if (::close(fd) != 0 || ::rename(tmpl.c_str(), host.c_str()) != 0) {
    error = errorFromErrno(errno);
    if (keep >= 0) ::close(keep);
    ::unlink(tmpl.c_str());
    return false;
  }
  struct stat written {};
  if (keep >= 0 && ::fstat(keep, &written) == 0) {
    auto cached = std::make_shared<ProfileText>(text);
    cached->prepareLookups();
    ProfileCache::get().wrote(host, stampOf(written), writtenFrom, std::move(cached), std::move(bytes));
  } else {
    ProfileCache::get().forget(host);
  }
  if (keep >= 0) ::close(keep);
  qv::desktop::fileChanged();
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
  DWORD error = ERROR_SUCCESS;
  std::shared_ptr<const ProfileText> cached = ProfileCache::get().read(*host, error);
  if (!cached && error != ERROR_FILE_NOT_FOUND) {
    SetLastError(error);
    return FALSE;
  }
  ProfileText text = cached ? *cached : ProfileText();
  if (!change(text)) return TRUE;
  if (!writeHost(*host, text, error)) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

// Where absolute file names lie on the host, so that the forty reads of a
// start do not look the folders up forty times. A name is kept only while
// its file is there and the host spells every part of it as the name does:
// a part found whatever its case would be found anew when a file spelt
// exactly so appears, and a missing file may appear in another spelling.
class HostNames {
 public:
  static HostNames& get() {
    static auto* names = new HostNames;
    return *names;
  }
  std::optional<std::string> find(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = names_.find(name);
    if (it == names_.end()) return std::nullopt;
    if (it->second.drive != 0 && driveRoot(it->second.drive) != it->second.root) {
      names_.erase(it);
      return std::nullopt;
    }
    return it->second.host;
  }
  void keep(const std::string& name, const std::string& host) {
    const bool drive = name.size() > 2 && name[1] == ':' && (name[2] == '\\' || name[2] == '/');
    if (!drive && name.front() != '/') return;  // relative names follow the current folder
    auto full = fullWindowsPath(name);
    if (!full || toWindowsPath(host) != *full) return;
    Known k{drive ? name[0] : '\0', drive ? driveRoot(name[0]) : std::nullopt, host};
    std::lock_guard<std::mutex> lock(mutex_);
    if (names_.size() >= 64) names_.clear();
    names_[name] = std::move(k);
  }
  void forget(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.erase(name);
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.clear();
  }

 private:
  struct Known {
    char drive;
    std::optional<std::string> root;
    std::string host;
  };
  std::mutex mutex_;
  std::unordered_map<std::string, Known> names_;
};

const bool namesFollowReset = [] {
  qv::desktop::onReset([] { HostNames::get().clear(); });
  return true;
}();

// The parsed file for a read; an empty text when it cannot be read, with
// the reason in `error`.
std::shared_ptr<const ProfileText> profileFor(LPCSTR fileName, DWORD& error) {
  (void)namesFollowReset;
  static const auto empty = std::make_shared<const ProfileText>();
  const std::string name = fileName ? fileName : "";
  if (!name.empty()) {
    if (auto host = HostNames::get().find(name)) {
      if (auto text = ProfileCache::get().read(*host, error)) return text;
      HostNames::get().forget(name);
    }
  }
  auto host = profileHostPath(fileName);
  if (!host) {
    error = ERROR_PATH_NOT_FOUND;
    return empty;
  }
  std::shared_ptr<const ProfileText> text = ProfileCache::get().read(*host, error);
  if (!text) return empty;
  if (!name.empty()) HostNames::get().keep(name, *host);
  return text;
}

// Copies a list of zero-terminated strings, ended by one more zero. When it
// does not fit, the last string is cut and two zeros end it: size - 2. A cut
// that falls between two strings leaves the last byte of the buffer alone,
// the zero ending the last whole string being the first of the two.
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
  if (size < 3 || out[size - 3] != 0) out[size - 1] = 0;
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
  out = *profileFor(fileName, error);
  return error == ERROR_SUCCESS;
}

bool writeProfileFile(LPCSTR fileName, const ProfileText& text, DWORD& error) {
  auto host = profileHostPath(fileName);
  if (!host) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  FolderLock lock(*host);
  return writeHost(*host, text, error);
}

}  // namespace qv::os

using qv::os::ProfileText;

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returned, DWORD size,
                               LPCSTR fileName) {
  if (!returned || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD error = ERROR_SUCCESS;
  std::shared_ptr<const ProfileText> file = qv::os::profileFor(fileName, error);
  const ProfileText& text = *file;
  // The lists name every header and every key line, repeated ones as often
  // as they appear, as the platform lists them.
  if (!appName) return qv::os::copyList(text.headerNames(), returned, size);
  if (!keyName) {
    std::vector<std::string> keys;
    for (auto& [key, value] : text.entries(appName)) keys.push_back(key);
    return qv::os::copyList(keys, returned, size);
  }
  if (auto v = text.value(appName, keyName)) return qv::os::copyValue(*v, returned, size);
  SetLastError(error == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : error);
  // Trailing blanks of the default are cut, as the platform does.
  std::string_view d = defaultValue ? defaultValue : "";
  std::size_t end = d.find_last_not_of(' ');
  return qv::os::copyValue(end == std::string_view::npos ? std::string_view() : d.substr(0, end + 1), returned, size);
}

UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName) {
  if (!appName || !keyName) return static_cast<UINT>(defaultValue);
  DWORD error;
  auto v = qv::os::profileFor(fileName, error)->value(appName, keyName);
  std::string_view s = v ? qv::os::trim(*v) : std::string_view();
  // Only a missing or empty value gives the default. Otherwise the number
  // at the start counts, with an optional sign and "0x" for hexadecimal,
  // modulo 2^32; a value that does not start with one is 0.
  if (s.empty()) return static_cast<UINT>(defaultValue);
  std::size_t i = 0;
  bool negative = false;
  if (s[i] == '-' || s[i] == '+') negative = s[i++] == '-';
  UINT base = 10;
  if (i + 1 < s.size() && s[i] == '0' && s[i + 1] == 'x') {
    base = 16;
    i += 2;
  }
  UINT n = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    UINT digit;
    if (c >= '0' && c <= '9') digit = static_cast<UINT>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<UINT>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<UINT>(c - 'A' + 10);
    else break;
    n = n * base + digit;
  }
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
    // Blanks before a value would be dropped when it is read, so none are
    // written.
    std::string_view v = value;
    v.remove_prefix(std::min(v.find_first_not_of(" \t"), v.size()));
    text.setValue(appName, keyName, v);
    return text.text() != before;
  });
}

DWORD GetPrivateProfileSectionA(LPCSTR appName, LPSTR returned, DWORD size, LPCSTR fileName) {
  if (!returned || size == 0) return 0;
  DWORD error;
  std::shared_ptr<const ProfileText> text = qv::os::profileFor(fileName, error);
  std::vector<std::string> lines;
  if (appName)
    for (auto& [key, value] : text->entries(appName)) lines.push_back(key + "=" + value);
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
  // Lines that are not "key=value" could never be read back; they are left
  // out.
  if (keyValues)
    for (LPCSTR p = keyValues; *p; p += std::strlen(p) + 1)
      if (std::strchr(p, '=') != nullptr) lines.emplace_back(p);
  return qv::os::modifyProfile(fileName, [&](ProfileText& text) {
    if (!keyValues) return text.deleteSection(appName);
    std::string before = text.text();
    text.replaceSection(appName, lines);
    return text.text() != before;
  });
}
