#include "platform/os/kernel/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"

using namespace qv::os;

namespace {

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

struct Key {
  std::string name;
  std::vector<Value> values;                            // in the order first set
  std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name

  Value* value(const std::string& n) {
    for (Value& v : values)
      if (ansiCompareText(v.name, n) == 0) return &v;
    return nullptr;
  }
};

using Path = std::vector<std::string>;  // components as written, root first

Key* findKey(Key& root, const Path& path) {
  Key* k = &root;
  for (const std::string& part : path) {
    auto it = k->subkeys.find(ansiUpperCase(part));
    if (it == k->subkeys.end()) return nullptr;
    k = it->second.get();
  }
  return k;
}

// Creates what is missing; `created` tells whether the last key was new.
Key& ensureKey(Key& root, const Path& path, bool* created = nullptr) {
  Key* k = &root;
  if (created) *created = false;
  for (const std::string& part : path) {
    auto& slot = k->subkeys[ansiUpperCase(part)];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = part;
      if (created) *created = true;
    } else if (created) {
      *created = false;
    }
    k = slot.get();
  }
  return *k;
}

// ---- The file: "K path" lines open a key, "V name type hex" lines add
// values to it. Names are written ":"-prefixed with bytes outside printable
// ASCII, "%", "\" and blanks as %XX, so an empty name stays visible.

constexpr const char* kHeader = "QVREG1";

std::string encodeName(const std::string& s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = ":";
  for (unsigned char c : s) {
    if (c <= 0x20 || c >= 0x7F || c == '%' || c == '\\') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool decodeName(const std::string& s, std::string& out) {
  if (s.empty() || s[0] != ':') return false;
  out.clear();
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const int hi = hexDigit(s[i + 1]), lo = hexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

bool decodeHex(const std::string& s, std::string& out) {
  if (s == "-") {
    out.clear();
    return true;
  }
  if (s.size() % 2) return false;
  out.resize(s.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int hi = hexDigit(s[2 * i]), lo = hexDigit(s[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<char>(hi * 16 + lo);
  }
  return true;
}

void writeKey(std::string& out, const Key& k, std::string path) {
  static const char* hex = "0123456789ABCDEF";
  out += "K ";
  out += encodeName(path);
  out += '\n';
  for (const Value& v : k.values) {
    out += "V " + encodeName(v.name) + " " + std::to_string(v.type) + " ";
    if (v.data.empty()) out += '-';
    for (unsigned char c : v.data) {
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    out += '\n';
  }
  for (const auto& [folded, sub] : k.subkeys) writeKey(out, *sub, path + "\\" + sub->name);
}

std::string serialize(const Key& root) {
  std::string out = std::string(kHeader) + "\n";
  for (const auto& [folded, sub] : root.subkeys) writeKey(out, *sub, sub->name);
  return out;
}

// Malformed lines are skipped: a damaged file costs its damaged lines only.
void parse(const std::string& text, Key& root) {
  std::istringstream in(text);
  std::string line;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    std::string tag, a, b, c;
    fields >> tag >> a;
    if (tag == "K") {
      std::string path;
      current = nullptr;
      if (!decodeName(a, path) || path.empty()) continue;
      Path parts;
      std::size_t start = 0;
      while (start <= path.size()) {
        const auto cut = path.find('\\', start);
        const std::string part = path.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
        if (!part.empty()) parts.push_back(part);
        if (cut == std::string::npos) break;
        start = cut + 1;
      }
      if (!parts.empty()) current = &ensureKey(root, parts);
    } else if (tag == "V" && current) {
      fields >> b >> c;
      Value v;
      if (!decodeName(a, v.name) || b.empty() || !decodeHex(c, v.data)) continue;
      char* end = nullptr;
      const unsigned long type = std::strtoul(b.c_str(), &end, 10);
      if (!end || *end) continue;
      v.type = static_cast<DWORD>(type);
      if (Value* existing = current->value(v.name))
        *existing = std::move(v);
      else
        current->values.push_back(std::move(v));
    }
  }
}

// ---- The store: the file, its lock and a cache for readers.

struct Signature {
  ino_t ino = 0;
  off_t size = -1;
  long long mtimeNs = -1;
  bool operator==(const Signature&) const = default;
};

std::optional<Signature> signatureOf(const std::string& path) {
  struct stat sb {};
  if (::stat(path.c_str(), &sb) != 0) return std::nullopt;
  return Signature{sb.st_ino, sb.st_size,
                   static_cast<long long>(sb.st_mtim.tv_sec) * 1000000000LL + sb.st_mtim.tv_nsec};
}

bool readText(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out.clear();
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

struct OpenKey {
  Path path;  // from the root of all hives
  REGSAM access = 0;
};

struct State {
  std::recursive_mutex m;
  std::string cachePath;
  std::optional<Signature> cacheSig;
  Key cache;
  std::set<OpenKey*> handles;
};

void closeAll();

State& st() {
  static State* s = [] {
    auto* made = new State;
    qv::desktop::onReset(closeAll);
    return made;
  }();
  return *s;
}

void closeAll() {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  for (OpenKey* k : s.handles) delete k;
  s.handles.clear();
  s.cachePath.clear();
  s.cacheSig.reset();
  s.cache = Key{};
}

std::string lockPath() { return registryFilePath() + ".lock"; }

// The registry as the file holds it now, for reading.
Key& current() {
  State& s = st();
  const std::string path = registryFilePath();
  const auto sig = signatureOf(path);
  if (path != s.cachePath || sig != s.cacheSig) {
    s.cache = Key{};
    std::string text;
    if (sig && readText(path, text)) parse(text, s.cache);
    s.cachePath = path;
    s.cacheSig = sig;
  }
  return s.cache;
}

// Applies a change under the lock to the file as it is now and writes the
// result through. `change` answers an error code and whether it changed
// anything.
template <typename Change>
LONG mutate(Change change) {
  State& s = st();
  const std::string path = registryFilePath();
  const int lockFd = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd < 0) return ERROR_CANTWRITE;
  while (::flock(lockFd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(lockFd);
      return ERROR_CANTWRITE;
    }
  }
  Key fresh;
  std::string text;
  const auto sig = signatureOf(path);
  if (sig && readText(path, text)) parse(text, fresh);
  bool changed = false;
  LONG result = change(fresh, changed);
  if (result == ERROR_SUCCESS && changed) {
    const std::string tmp = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const std::string out = serialize(fresh);
    bool ok = fd >= 0 && writeAll(fd, out) && ::fdatasync(fd) == 0;
    if (fd >= 0) ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
      ::unlink(tmp.c_str());
      result = ERROR_CANTWRITE;
    }
  }
  // The cache now is exactly what the file holds.
  s.cache = std::move(fresh);
  s.cachePath = path;
  s.cacheSig = signatureOf(path);
  ::flock(lockFd, LOCK_UN);
  ::close(lockFd);
  return result;
}

// ---- Handles.

std::optional<Path> predefinedPath(HKEY key) {
  if (key == HKEY_CLASSES_ROOT) return Path{"HKEY_LOCAL_MACHINE", "SOFTWARE", "Classes"};
  if (key == HKEY_CURRENT_USER) return Path{"HKEY_CURRENT_USER"};
  if (key == HKEY_LOCAL_MACHINE) return Path{"HKEY_LOCAL_MACHINE"};
  if (key == HKEY_USERS) return Path{"HKEY_USERS"};
  return std::nullopt;
}

struct Resolved {
  Path path;
  REGSAM access = 0;
  bool predefined = false;
};

std::optional<Resolved> resolve(HKEY key) {
  if (auto p = predefinedPath(key)) return Resolved{*p, KEY_ALL_ACCESS, true};
  State& s = st();
  auto* k = reinterpret_cast<OpenKey*>(key);
  if (!s.handles.count(k)) return std::nullopt;
  return Resolved{k->path, k->access, false};
}

Path splitSubKey(LPCSTR subKey) {
  Path parts;
  if (!subKey) return parts;
  std::string part;
  for (const char* c = subKey;; ++c) {
    if (*c == '\\' || *c == '\0') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
      if (!*c) break;
    } else {
      part += *c;
    }
  }
  return parts;
}

Path joined(const Path& a, const Path& b) {
  Path p = a;
  p.insert(p.end(), b.begin(), b.end());
  return p;
}

REGSAM effectiveAccess(REGSAM desired) { return (desired & MAXIMUM_ALLOWED) ? KEY_ALL_ACCESS : desired; }

HKEY newHandle(Path path, REGSAM access) {
  auto* k = new OpenKey{std::move(path), effectiveAccess(access)};
  st().handles.insert(k);
  return reinterpret_cast<HKEY>(k);
}

// The key behind a handle for reading, or the error the platform gives.
LONG readable(HKEY key, REGSAM need, Key*& out) {
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  if ((r->access & need) != need) return ERROR_ACCESS_DENIED;
  out = findKey(current(), r->path);
  if (!out) {
    if (!r->predefined) return ERROR_KEY_DELETED;
    static Key empty;
    empty = Key{};
    out = &empty;
  }
  return ERROR_SUCCESS;
}

// Copies a value's data by the platform's rules for (data, dataSize).
LONG copyData(const std::string& bytes, LPBYTE data, LPDWORD dataSize) {
  if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  const DWORD have = *dataSize;
  *dataSize = static_cast<DWORD>(bytes.size());
  if (!data) return ERROR_SUCCESS;
  if (have < bytes.size()) return ERROR_MORE_DATA;
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  return ERROR_SUCCESS;
}

// Copies a name into a buffer of `size` characters with its zero.
LONG copyName(const std::string& name, LPSTR buffer, LPDWORD size) {
  if (!buffer || !size) return ERROR_INVALID_PARAMETER;
  if (*size < name.size() + 1) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

std::string qv::os::registryFilePath() { return qv::desktop::cDriveRoot() + "/WINDOWS/registry.qvreg"; }

LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  const Path path = joined(r->path, splitSubKey(subKey));
  if (!findKey(current(), path)) {
    if (!r->predefined || path.size() > r->path.size()) return ERROR_FILE_NOT_FOUND;
  }
  *result = newHandle(path, desired);
  return ERROR_SUCCESS;
}

LONG RegOpenKey(HKEY key, LPCSTR subKey, PHKEY result) {
  if (result && (!subKey || !*subKey) && predefinedPath(key)) {
    // The old call hands back the predefined key itself.
    *result = key;
    return ERROR_SUCCESS;
  }
  return RegOpenKeyEx(key, subKey, 0, MAXIMUM_ALLOWED, result);
}

LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired, LPSECURITY_ATTRIBUTES, PHKEY result,
                    LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  const Path path = joined(r->path, splitSubKey(subKey));
  bool created = false;
  LONG rc;
  if (findKey(current(), path)) {
    rc = ERROR_SUCCESS;
  } else {
    if (!r->predefined && !findKey(current(), r->path)) return ERROR_KEY_DELETED;
    if (!(r->access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    rc = mutate([&](Key& root, bool& changed) -> LONG {
      if (!r->predefined && !findKey(root, r->path)) return ERROR_KEY_DELETED;
      ensureKey(root, path, &created);
      changed = created;
      return ERROR_SUCCESS;
    });
  }
  if (rc != ERROR_SUCCESS) return rc;
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = newHandle(path, desired);
  return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY key, LPCSTR subKey, PHKEY result) {
  if (result && (!subKey || !*subKey) && predefinedPath(key)) {
    *result = key;
    return ERROR_SUCCESS;
  }
  return RegCreateKeyEx(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr, result, nullptr);
}

LONG RegCloseKey(HKEY key) {
  if (predefinedPath(key)) return ERROR_SUCCESS;
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto* k = reinterpret_cast<OpenKey*>(key);
  if (!s.handles.erase(k)) return ERROR_INVALID_HANDLE;
  delete k;
  return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  Key* k = nullptr;
  if (LONG rc = readable(key, KEY_QUERY_VALUE, k)) return rc;
  const Value* v = k->value(valueName ? valueName : "");
  if (!v) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->type;
  return copyData(v->data, data, dataSize);
}

LONG RegSetValueEx(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize) return ERROR_NOACCESS;
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  if (!(r->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  Value v;
  v.name = valueName ? valueName : "";
  v.type = type;
  if (dataSize) v.data.assign(reinterpret_cast<const char*>(data), dataSize);
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && (v.data.empty() || v.data.back() != '\0')) v.data += '\0';
  return mutate([&](Key& root, bool& changed) -> LONG {
    Key* k = findKey(root, r->path);
    if (!k) {
      if (!r->predefined) return ERROR_KEY_DELETED;
      k = &ensureKey(root, r->path);
    }
    if (Value* existing = k->value(v.name)) {
      existing->type = v.type;
      existing->data = v.data;
    } else {
      k->values.push_back(v);
    }
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteValue(HKEY key, LPCSTR valueName) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  if (!(r->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  const std::string name = valueName ? valueName : "";
  return mutate([&](Key& root, bool& changed) -> LONG {
    Key* k = findKey(root, r->path);
    if (!k) return r->predefined ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const Value& v) { return ansiCompareText(v.name, name) == 0; });
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    k->values.erase(it);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteKey(HKEY key, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto r = resolve(key);
  if (!r) return ERROR_INVALID_HANDLE;
  const Path path = joined(r->path, splitSubKey(subKey));
  if (r->predefined && path.size() == r->path.size()) return ERROR_ACCESS_DENIED;
  return mutate([&](Key& root, bool& changed) -> LONG {
    if (!r->predefined && !findKey(root, r->path)) return ERROR_KEY_DELETED;
    Key* target = findKey(root, path);
    if (!target) return ERROR_FILE_NOT_FOUND;
    if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
    Path parentPath(path.begin(), path.end() - 1);
    findKey(root, parentPath)->subkeys.erase(ansiUpperCase(path.back()));
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR keyClass, LPDWORD classSize,
                  PFILETIME lastWrite) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  Key* k = nullptr;
  if (LONG rc = readable(key, KEY_ENUMERATE_SUB_KEYS, k)) return rc;
  if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto it = k->subkeys.begin();
  std::advance(it, index);
  if (LONG rc = copyName(it->second->name, name, nameSize)) return rc;
  if (keyClass && classSize && *classSize) keyClass[0] = '\0';
  if (classSize) *classSize = 0;
  if (lastWrite) *lastWrite = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
  return RegEnumKeyEx(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValue(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD, LPDWORD type, LPBYTE data,
                  LPDWORD dataSize) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  Key* k = nullptr;
  if (LONG rc = readable(key, KEY_QUERY_VALUE, k)) return rc;
  if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& v = k->values[index];
  if (LONG rc = copyName(v.name, valueName, valueNameSize)) return rc;
  if (type) *type = v.type;
  return copyData(v.data, data, dataSize);
}

LONG RegQueryInfoKey(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD, LPDWORD subKeys, LPDWORD maxSubKeyLen,
                     LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen, LPDWORD maxValueLen,
                     LPDWORD securityDescriptor, PFILETIME lastWrite) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  Key* k = nullptr;
  if (LONG rc = readable(key, KEY_QUERY_VALUE, k)) return rc;
  if (keyClass && classSize && *classSize) keyClass[0] = '\0';
  if (classSize) *classSize = 0;
  DWORD maxSub = 0, maxName = 0, maxData = 0;
  for (const auto& [folded, sub] : k->subkeys) maxSub = std::max(maxSub, static_cast<DWORD>(sub->name.size()));
  for (const Value& v : k->values) {
    maxName = std::max(maxName, static_cast<DWORD>(v.name.size()));
    maxData = std::max(maxData, static_cast<DWORD>(v.data.size()));
  }
  if (subKeys) *subKeys = static_cast<DWORD>(k->subkeys.size());
  if (maxSubKeyLen) *maxSubKeyLen = maxSub;
  if (maxClassLen) *maxClassLen = 0;
  if (values) *values = static_cast<DWORD>(k->values.size());
  if (maxValueNameLen) *maxValueNameLen = maxName;
  if (maxValueLen) *maxValueLen = maxData;
  if (securityDescriptor) *securityDescriptor = 0;
  if (lastWrite) *lastWrite = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  return resolve(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
