#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/SysInfo.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"

namespace qv::os {
namespace {

struct State {
  std::mutex m;
  std::optional<std::string> cwd;  // set by SetCurrentDirectory; else the host cwd
  std::optional<std::string> cmdline;
  std::string cmdlineBuffer;  // what GetCommandLine hands out
  std::optional<std::string> programPath;
};

State& st() {
  static State* s = [] {
    auto* state = new State;
    qv::desktop::onReset([state] {
      std::lock_guard<std::mutex> lock(state->m);
      state->cwd.reset();
      state->cmdline.reset();
      state->programPath.reset();
    });
    return state;
  }();
  return *s;
}

bool isSep(char c) { return c == '\\' || c == '/'; }

struct Parsed {
  bool host = false;  // a host absolute path: parts count from "/"
  char drive = 0;
  std::vector<std::string> parts;
  bool trailingSep = false;
};

enum class ParseError { None, Empty, Invalid, Network };

bool validComponent(const std::string& c) {
  for (unsigned char ch : c)
    if (ch < 0x20 || std::strchr("<>:\"|?*", ch)) return false;
  return true;
}

void addParts(Parsed& p, std::string_view rest, bool strip) {
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && isSep(rest[i])) ++i;
    size_t j = i;
    while (j < rest.size() && !isSep(rest[j])) ++j;
    if (j > i) {
      std::string c(rest.substr(i, j - i));
      if (c == ".") {
      } else if (c == "..") {
        if (!p.parts.empty()) p.parts.pop_back();
      } else {
        // The platform ignores trailing dots and blanks of a name.
        if (strip)
          while (!c.empty() && (c.back() == '.' || c.back() == ' ')) c.pop_back();
        if (!c.empty()) p.parts.push_back(c);
      }
    }
    i = j;
  }
  p.trailingSep = !rest.empty() && isSep(rest.back()) && !p.parts.empty();
}

std::string currentDirectoryLocked(State& s);

std::optional<Parsed> parse(const std::string& path, ParseError* err, const std::string* cwd) {
  *err = ParseError::None;
  if (path.empty()) {
    *err = ParseError::Empty;
    return std::nullopt;
  }
  Parsed p;
  std::string_view v(path);
  if (v.rfind("\\\\?\\", 0) == 0 && v.size() >= 6 && v[5] == ':') v.remove_prefix(4);
  if (v[0] == '/') {
    p.host = true;
    addParts(p, v, false);
    return p;
  }
  if (v.size() >= 2 && v[0] == '\\' && v[1] == '\\') {
    *err = ParseError::Network;
    return std::nullopt;
  }
  auto fromCwd = [&](bool keepParts) {
    ParseError e2;
    std::optional<Parsed> c = parse(*cwd, &e2, nullptr);
    if (!c) return;  // the current directory is always a full path
    p.host = c->host;
    p.drive = c->drive;
    if (keepParts) p.parts = c->parts;
  };
  if (v.size() >= 2 && std::isalpha(static_cast<unsigned char>(v[0])) && v[1] == ':') {
    p.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(v[0])));
    v.remove_prefix(2);
    if (!v.empty() && !isSep(v[0]) && cwd) {
      // "X:name" counts from the current directory when it is on X:.
      std::optional<Parsed> c;
      ParseError e2;
      c = parse(*cwd, &e2, nullptr);
      if (c && !c->host && c->drive == p.drive) p.parts = c->parts;
    }
  } else if (isSep(v[0])) {
    if (cwd) fromCwd(false);
  } else {
    if (!cwd) {
      *err = ParseError::Invalid;
      return std::nullopt;
    }
    fromCwd(true);
  }
  addParts(p, v, true);
  return p;
}

std::optional<std::string> driveRootLocked(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (letter == 'Z') return std::string("/");
  if (letter == 'C') return qv::desktop::cDriveRoot();
  const auto& drives = qv::desktop::profile().drives;
  auto it = drives.find(letter);
  if (it == drives.end()) it = drives.find(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
  if (it == drives.end() || it->second.empty()) return std::nullopt;
  std::string r = it->second;
  while (r.size() > 1 && r.back() == '/') r.pop_back();
  return r;
}

std::string join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// The entry of `dir` that names `part` case-insensitively; an exact match wins,
// and among several spellings the smallest, so the answer never depends on
// the order the host lists a folder.
std::optional<std::string> matchEntry(const std::string& dir, const std::string& part) {
  std::string exact = ansiToUtf8(part);
  struct stat sb;
  if (::lstat(join(dir, exact).c_str(), &sb) == 0) return exact;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::string want = ansiUpperCase(part);
  std::optional<std::string> best;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (ansiUpperCase(utf8ToAnsi(name)) == want && (!best || name < *best)) best = name;
  }
  ::closedir(d);
  return best;
}

std::string resolve(const std::string& root, const Parsed& p) {
  std::string host = root;
  bool existing = true;
  for (const std::string& part : p.parts) {
    if (existing) {
      if (auto m = matchEntry(host, part)) {
        host = join(host, *m);
        continue;
      }
      existing = false;
    }
    host = join(host, ansiToUtf8(part));
  }
  if (p.trailingSep && host != "/") host += '/';
  return host;
}

std::string hostCwd() {
  std::error_code ec;
  auto c = std::filesystem::current_path(ec);
  return ec ? std::string("/") : c.string();
}

std::string toWindowsPathLocked(const std::string& hostPath);

std::string currentDirectoryLocked(State& s) {
  if (s.cwd) return *s.cwd;
  return toWindowsPathLocked(hostCwd());
}

std::string toWindowsPathLocked(const std::string& hostPath) {
  namespace fs = std::filesystem;
  std::string h = hostPath.empty() ? hostCwd() : hostPath;
  if (h[0] != '/') h = join(hostCwd(), h);
  h = fs::path(h).lexically_normal().string();
  while (h.size() > 1 && h.back() == '/') h.pop_back();

  char letter = 'Z';
  std::string root = "/";
  auto consider = [&](char l, std::string r) {
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    if (r.empty() || r[0] != '/') r = fs::path(join(hostCwd(), r)).lexically_normal().string();
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    if (r == "/" || (root != "/" && r.size() <= root.size())) return;
    if (h == r || (h.size() > r.size() && h.compare(0, r.size(), r) == 0 && h[r.size()] == '/')) {
      letter = l;
      root = r;
    }
  };
  consider('C', qv::desktop::cDriveRoot());
  for (const auto& [l, r] : qv::desktop::profile().drives) {
    char u = static_cast<char>(std::toupper(static_cast<unsigned char>(l)));
    if (u != 'Z' && u != 'C') consider(u, r);
  }
  std::string rest = root == "/" ? h.substr(1) : (h.size() > root.size() ? h.substr(root.size() + 1) : "");
  std::string out;
  out += letter;
  out += ":\\";
  for (char c : utf8ToAnsi(rest)) out += c == '/' ? '\\' : c;
  return out;
}

std::optional<std::string> toHostLocked(State& s, const std::string& path, DWORD* error) {
  ParseError pe;
  std::string cwd = currentDirectoryLocked(s);
  std::optional<Parsed> p = parse(path, &pe, &cwd);
  DWORD e = ERROR_SUCCESS;
  std::optional<std::string> out;
  if (!p) {
    e = pe == ParseError::Network ? ERROR_BAD_NETPATH
        : pe == ParseError::Empty ? ERROR_PATH_NOT_FOUND
                                  : ERROR_INVALID_NAME;
  } else if (p->host) {
    out = resolve("/", *p);
  } else {
    bool ok = true;
    for (const auto& c : p->parts) ok = ok && validComponent(c);
    std::optional<std::string> root = ok ? driveRootLocked(p->drive) : std::nullopt;
    if (!ok)
      e = ERROR_INVALID_NAME;
    else if (!root)
      e = ERROR_PATH_NOT_FOUND;
    else
      out = resolve(*root, *p);
  }
  if (error) *error = e;
  return out;
}

std::string quoteArgument(const std::string& a) {
  if (!a.empty() && a.find_first_of(" \t\n\v\"") == std::string::npos) return a;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : a) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      out.append(backslashes * 2 + 1, '\\');
    else
      out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

std::string selfExe() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string buildCommandLine(const std::vector<std::string>& args, const std::string& program) {
  std::string text = program.find_first_of(" \t") == std::string::npos ? program : "\"" + program + "\"";
  for (size_t i = 1; i < args.size(); ++i) text += " " + quoteArgument(utf8ToAnsi(args[i]));
  return text;
}

}  // namespace

std::optional<std::string> toHostPath(const std::string& path) { return resolveHostPath(path, nullptr); }

std::optional<std::string> resolveHostPath(const std::string& path, DWORD* error) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return toHostLocked(s, path, error);
}

DWORD missingPathError(const std::string& hostPath) {
  std::string h = hostPath;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  size_t slash = h.rfind('/');
  std::string parent = slash == std::string::npos || slash == 0 ? "/" : h.substr(0, slash);
  struct stat sb;
  if (::stat(parent.c_str(), &sb) == 0 && S_ISDIR(sb.st_mode)) return ERROR_FILE_NOT_FOUND;
  return ERROR_PATH_NOT_FOUND;
}

std::string toWindowsPath(const std::string& hostPath) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return toWindowsPathLocked(hostPath);
}

std::optional<std::string> fullWindowsPath(const std::string& path) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  ParseError pe;
  std::string cwd = currentDirectoryLocked(s);
  std::optional<Parsed> p = parse(path, &pe, &cwd);
  if (!p) return std::nullopt;
  std::string out;
  if (p->host) {
    std::string h = "/";
    for (size_t i = 0; i < p->parts.size(); ++i) h += (i ? "/" : "") + p->parts[i];
    out = toWindowsPathLocked(h);
  } else {
    out += p->drive;
    out += ":\\";
    for (size_t i = 0; i < p->parts.size(); ++i) out += (i ? "\\" : "") + p->parts[i];
  }
  if (p->trailingSep && out.back() != '\\') out += '\\';
  return out;
}

std::string currentDirectory() {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return currentDirectoryLocked(s);
}

std::optional<std::string> driveRoot(char letter) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return driveRootLocked(letter);
}

void setCommandLine(int argc, char** argv) {
  recordExitAtEnd();
  // A parent on this platform hands over its exact command line text.
  const char* passed = std::getenv("QV_CMDLINE");
  const char* forExe = std::getenv("QV_CMDLINE_EXE");
  if (passed && forExe) {
    std::string text = passed;
    std::error_code ec;
    const bool mine = std::filesystem::equivalent(forExe, "/proc/self/exe", ec);
    ::unsetenv("QV_CMDLINE");
    ::unsetenv("QV_CMDLINE_EXE");
    if (mine) {
      setCommandLineText(text);
      return;
    }
  }
  std::vector<std::string> args(argv, argv + argc);
  std::string program;
  if (argc > 0 && std::strchr(argv[0], '/')) {
    std::error_code ec;
    program = toWindowsPath(std::filesystem::absolute(argv[0], ec).lexically_normal().string());
  } else {
    program = programPath();
  }
  setCommandLineText(buildCommandLine(args, program));
}

void setCommandLineText(const std::string& text) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  s.cmdline = text;
}

const std::string& commandLine() {
  State& s = st();
  {
    std::lock_guard<std::mutex> lock(s.m);
    if (s.cmdline) {
      s.cmdlineBuffer = *s.cmdline;
      return s.cmdlineBuffer;
    }
  }
  // Nobody set it: take the host's arguments of this process.
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> args;
  std::string a;
  while (std::getline(in, a, '\0')) args.push_back(a);
  std::string text = buildCommandLine(args, programPath());
  std::lock_guard<std::mutex> lock(s.m);
  s.cmdline = text;
  s.cmdlineBuffer = text;
  return s.cmdlineBuffer;
}

std::vector<std::string> splitCommandLine(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0, n = text.size();
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (i < n && blank(text[i])) ++i;
  if (i >= n) return out;
  // The program name: quotes group, backslashes are plain characters.
  {
    std::string prog;
    bool quoted = false;
    for (; i < n; ++i) {
      char c = text[i];
      if (c == '"')
        quoted = !quoted;
      else if (!quoted && blank(c))
        break;
      else
        prog += c;
    }
    out.push_back(prog);
  }
  for (;;) {
    while (i < n && blank(text[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      size_t backslashes = 0;
      while (i < n && text[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < n && text[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2) {
          arg += '"';
          ++i;
        } else if (quoted && i + 1 < n && text[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
        continue;
      }
      arg.append(backslashes, '\\');
      if (i >= n || (!quoted && blank(text[i]))) break;
      arg += text[i++];
    }
    out.push_back(arg);
  }
  return out;
}

std::string programPath() {
  State& s = st();
  {
    std::lock_guard<std::mutex> lock(s.m);
    if (s.programPath) return *s.programPath;
  }
  return toWindowsPath(selfExe());
}

void setProgramPath(const std::string& windowsPath) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  s.programPath = windowsPath;
}

DWORD copyPathOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace qv::os

namespace {

std::string userFolder() { return "C:\\Documents and Settings\\" + qv::desktop::profile().userName; }

std::string ensureFolder(const std::string& windowsPath) {
  if (auto h = qv::os::toHostPath(windowsPath)) {
    std::error_code ec;
    std::filesystem::create_directories(*h, ec);
  }
  return windowsPath;
}

}  // namespace

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
  if (filePart) *filePart = nullptr;
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  std::optional<std::string> full = qv::os::fullWindowsPath(fileName);
  if (!full) {
    SetLastError(ERROR_BAD_NETPATH);
    return 0;
  }
  DWORD r = qv::os::copyPathOut(*full, buffer, bufferLength);
  if (r < bufferLength && filePart && full->back() != '\\') {
    size_t slash = full->rfind('\\');
    *filePart = buffer + slash + 1;
  }
  return r;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  return qv::os::copyPathOut(qv::os::currentDirectory(), buffer, bufferLength);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
  if (!pathName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD err = 0;
  std::optional<std::string> host = qv::os::resolveHostPath(pathName, &err);
  if (!host) {
    SetLastError(err);
    return FALSE;
  }
  struct stat sb;
  if (::stat(host->c_str(), &sb) != 0) {
    SetLastError(qv::os::missingPathError(*host));
    return FALSE;
  }
  if (!S_ISDIR(sb.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  std::string full = *qv::os::fullWindowsPath(pathName);
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  auto& s = qv::os::st();
  std::lock_guard<std::mutex> lock(s.m);
  s.cwd = full;
  return TRUE;
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  return qv::os::copyPathOut(ensureFolder(userFolder() + "\\Local Settings\\Temp") + "\\", buffer, bufferLength);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) { return qv::os::copyPathOut("C:\\WINDOWS", buffer, size); }

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return qv::os::copyPathOut("C:\\WINDOWS\\system32", buffer, size); }

LPSTR GetCommandLineA() { return const_cast<LPSTR>(qv::os::commandLine().c_str()); }
