#include "platform/os/kernel/Shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Registry.h"

extern char** environ;

namespace qv::os {
namespace {

constexpr int kShellOk = 42;

struct StockType {
  const char* extensions;  // blank-separated, with a blank at each end
  const char* defaultVerb;
  const char* verbs;
};

// What a stock desktop opens without further software.
constexpr StockType kStock[] = {
    {" htm html shtml mht mhtml url hta xml ", "open", " open print edit "},
    {" txt log ini inf nfo ", "open", " open print "},
    {" rtf doc wri ", "open", " open print "},
    {" bmp dib jpg jpeg jpe gif png tif tiff ico ", "open", " open print "},
    {" wav mid midi rmi avi mpg mpeg mp3 wma wmv asf ", "play", " play open "},
    {" chm hlp ", "open", " open "},
    {" zip ", "open", " open explore "},
};

constexpr const char* kUrlSchemes[] = {"http", "https", "ftp", "mailto", "file", "news", "nntp", "about", "res"};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string extensionOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return lower(path.substr(dot + 1));
}

// "scheme:..." with a scheme longer than a drive letter.
std::optional<std::string> urlScheme(const std::string& s) {
  size_t colon = s.find(':');
  if (colon == std::string::npos || colon < 2) return std::nullopt;
  for (size_t i = 0; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.') || (i == 0 && !std::isalpha(c))) return std::nullopt;
  }
  return lower(s.substr(0, colon));
}

std::string regDefault(HKEY root, const std::string& sub, bool* exists) {
  HKEY k = nullptr;
  *exists = false;
  if (RegOpenKeyEx(root, sub.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
  *exists = true;
  char buf[512];
  DWORD size = sizeof buf, type = 0;
  std::string out;
  if (RegQueryValueEx(k, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(buf), &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ))
    out.assign(buf, strnlen(buf, std::min<DWORD>(size, sizeof buf)));
  RegCloseKey(k);
  return out;
}

// Whether a document type (extension or URL scheme) has the verb; an empty
// verb asks for the default one.
bool hasVerb(const std::string& type, bool isScheme, const std::string& verb) {
  bool exists = false;
  std::string progId = isScheme ? type : regDefault(HKEY_CLASSES_ROOT, "." + type, &exists);
  if (isScheme) regDefault(HKEY_CLASSES_ROOT, type + "\\shell", &exists);
  if (!progId.empty() && exists) {
    bool shellExists = false;
    std::string def = regDefault(HKEY_CLASSES_ROOT, progId + "\\shell", &shellExists);
    std::string v = verb.empty() ? (def.empty() ? "open" : def) : verb;
    bool verbExists = false;
    regDefault(HKEY_CLASSES_ROOT, progId + "\\shell\\" + v, &verbExists);
    return verbExists;
  }
  if (isScheme) {
    for (const char* s : kUrlSchemes)
      if (type == s) return verb.empty() || verb == "open";
    return false;
  }
  for (const auto& t : kStock) {
    if (!std::strstr(t.extensions, (" " + type + " ").c_str())) continue;
    return verb.empty() || std::strstr(t.verbs, (" " + verb + " ").c_str());
  }
  return false;
}

bool isProgramFile(const std::string& windowsPath, const std::string& host) {
  std::string ext = extensionOf(windowsPath);
  if (ext == "exe" || ext == "com" || ext == "bat" || ext == "cmd" || ext == "pif" || ext == "scr") return true;
  if (!ext.empty()) return false;
  struct stat sb;
  return ::stat(host.c_str(), &sb) == 0 && S_ISREG(sb.st_mode) && (sb.st_mode & S_IXUSR);
}

void handToDesktop(const std::string& target) {
  if (!qv::desktop::profile().hostDesktop) return;
  std::string prog = "xdg-open";
  std::string arg = target;
  char* argv[] = {prog.data(), arg.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) {
    std::thread([pid] {
      int st;
      while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  }
}

int seFromError(DWORD e) {
  switch (e) {
    case ERROR_FILE_NOT_FOUND:
      return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED:
      return SE_ERR_ACCESSDENIED;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_BAD_FORMAT:
      return ERROR_BAD_FORMAT;
    case ERROR_NOT_ENOUGH_MEMORY:
      return SE_ERR_OOM;
    default:
      return SE_ERR_ACCESSDENIED;
  }
}

DWORD errorFromSe(int code) {
  switch (code) {
    case SE_ERR_FNF:
      return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF:
      return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED:
      return ERROR_ACCESS_DENIED;
    case SE_ERR_OOM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ERROR_BAD_FORMAT:
      return ERROR_BAD_EXE_FORMAT;
    case SE_ERR_NOASSOC:
      return ERROR_NO_ASSOCIATION;
    default:
      return ERROR_SUCCESS;
  }
}

int execute(const std::string& verbIn, const std::string& file, const std::string& params, const std::string& dir,
            bool asFolder, HANDLE* process) {
  const std::string verb = lower(verbIn);
  if (file.empty()) return SE_ERR_FNF;
  if (auto scheme = urlScheme(file)) {
    if (!hasVerb(*scheme, true, verb)) return SE_ERR_NOASSOC;
    handToDesktop(file);
    return kShellOk;
  }
  // A relative name counts from the given folder, then from the current one.
  std::optional<std::string> host;
  std::string windowsPath;
  const bool relative = !(file.size() >= 2 && file[1] == ':') && file[0] != '\\' && file[0] != '/';
  std::vector<std::string> tries;
  if (relative && !dir.empty()) tries.push_back(dir + (dir.back() == '\\' || dir.back() == '/' ? "" : "\\") + file);
  tries.push_back(file);
  for (const auto& t : tries) {
    auto h = toHostPath(t);
    struct stat sb;
    if (h && ::stat(h->c_str(), &sb) == 0) {
      host = h;
      windowsPath = t;
      break;
    }
  }
  if (!host && relative && file.find_first_of("\\/") == std::string::npos) {
    // A bare program name is searched for as the platform searches programs.
    DWORD err = 0;
    if (auto h = findProgram("\"" + file + "\"", nullptr, &err)) {
      host = h;
      windowsPath = toWindowsPath(*h);
    }
  }
  if (!host) {
    DWORD err = 0;
    auto h = resolveHostPath(tries.front(), &err);
    return seFromError(h ? missingPathError(*h) : err);
  }
  struct stat sb;
  ::stat(host->c_str(), &sb);
  if (S_ISDIR(sb.st_mode) || asFolder) {
    if (!verb.empty() && verb != "open" && verb != "explore") return SE_ERR_NOASSOC;
    handToDesktop(*host);
    return kShellOk;
  }
  if (isProgramFile(windowsPath, *host)) {
    if (!verb.empty() && verb != "open" && verb != "runas") return SE_ERR_NOASSOC;
    std::string full = fullWindowsPath(windowsPath).value_or(windowsPath);
    std::string cmd = "\"" + full + "\"" + (params.empty() ? "" : " " + params);
    std::string folder;
    if (!dir.empty()) {
      auto d = toHostPath(dir);
      struct stat ds;
      if (!d || ::stat(d->c_str(), &ds) != 0 || !S_ISDIR(ds.st_mode)) return SE_ERR_PNF;
      folder = *d;
    }
    if (!spawnProgram(*host, cmd, folder, process)) return seFromError(GetLastError());
    return kShellOk;
  }
  if (!hasVerb(extensionOf(windowsPath), false, verb)) return SE_ERR_NOASSOC;
  handToDesktop(*host);
  return kShellOk;
}

int run(LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show, bool asFolder, HANDLE* process) {
  std::string v = verb ? verb : "", f = file ? file : "", p = params ? params : "", d = dir ? dir : "";
  int result = execute(v, f, p, d, asFolder, process);
  qv::desktop::Recorder::record("shell", {v, f, p, d, std::to_string(show), std::to_string(result)});
  return result;
}

std::vector<std::string> nameList(LPCSTR list) {
  std::vector<std::string> out;
  if (!list) return out;
  for (const char* p = list; *p; p += std::strlen(p) + 1) out.emplace_back(p);
  return out;
}

bool hasWildcard(const std::string& s) {
  size_t cut = s.find_last_of("\\/");
  return s.find_first_of("*?", cut == std::string::npos ? 0 : cut + 1) != std::string::npos;
}

std::string nameOf(const std::string& windowsPath) {
  size_t cut = windowsPath.find_last_of("\\/");
  return cut == std::string::npos ? windowsPath : windowsPath.substr(cut + 1);
}

std::string folderOf(const std::string& windowsPath) {
  size_t cut = windowsPath.find_last_of("\\/");
  return cut == std::string::npos ? "" : windowsPath.substr(0, cut);
}

struct CopyJob {
  FILEOP_FLAGS flags;
  bool aborted = false;
};

// 0, or the error that stopped the copy.
DWORD copyOne(CopyJob& job, const std::string& from, const std::string& to) {
  if (directoryExists(from)) {
    if (job.flags & FOF_FILESONLY) return 0;
    if (!directoryExists(to) && !CreateDirectoryA(to.c_str(), nullptr)) return GetLastError();
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    DWORD err = 0;
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      err = copyOne(job, from + "\\" + n, to + "\\" + n);
    } while (!err && !job.aborted && FindNextFileA(h, &fd));
    FindClose(h);
    return err;
  }
  if (directoryExists(to)) return ERROR_ACCESS_DENIED;
  if (fileExists(to)) {
    if (!(job.flags & FOF_NOCONFIRMATION)) {
      std::string answer = lower(qv::desktop::Recorder::popAnswer("shellconfirm").value_or("yes"));
      qv::desktop::Recorder::record("shellconfirm", {"replace", fullWindowsPath(to).value_or(to), answer});
      if (answer == "no") return 0;
      if (answer == "cancel") {
        job.aborted = true;
        return ERROR_CANCELLED;
      }
    }
    DWORD attrs = GetFileAttributesA(to.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
      SetFileAttributesA(to.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
  }
  return CopyFileA(from.c_str(), to.c_str(), FALSE) ? 0 : GetLastError();
}

// The shell's own error box for a failed copy.
void reportCopyError(const std::string& source, DWORD error) {
  qv::desktop::Recorder::record("shellerror", {"copy", source, std::to_string(error)});
}

void makeFolders(const std::string& windowsPath) {
  if (auto h = toHostPath(windowsPath)) {
    std::error_code ec;
    std::filesystem::create_directories(*h, ec);
  }
}

}  // namespace

std::string specialFolder(int csidl) {
  const std::string user = "C:\\Documents and Settings\\" + qv::desktop::profile().userName;
  const std::string all = "C:\\Documents and Settings\\All Users";
  switch (csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      return user + "\\Desktop";
    case CSIDL_PROGRAMS:
      return user + "\\Start Menu\\Programs";
    case CSIDL_PERSONAL:
      return user + "\\My Documents";
    case CSIDL_FAVORITES:
      return user + "\\Favorites";
    case CSIDL_STARTUP:
      return user + "\\Start Menu\\Programs\\Startup";
    case CSIDL_RECENT:
      return user + "\\Recent";
    case CSIDL_SENDTO:
      return user + "\\SendTo";
    case CSIDL_STARTMENU:
      return user + "\\Start Menu";
    case CSIDL_MYMUSIC:
      return user + "\\My Documents\\My Music";
    case CSIDL_FONTS:
      return "C:\\WINDOWS\\Fonts";
    case CSIDL_TEMPLATES:
      return user + "\\Templates";
    case CSIDL_COMMON_DESKTOPDIRECTORY:
      return all + "\\Desktop";
    case CSIDL_APPDATA:
      return user + "\\Application Data";
    case CSIDL_LOCAL_APPDATA:
      return user + "\\Local Settings\\Application Data";
    case CSIDL_COMMON_APPDATA:
      return all + "\\Application Data";
    case CSIDL_WINDOWS:
      return "C:\\WINDOWS";
    case CSIDL_SYSTEM:
      return "C:\\WINDOWS\\system32";
    case CSIDL_PROGRAM_FILES:
      return "C:\\Program Files";
    case CSIDL_MYPICTURES:
      return user + "\\My Documents\\My Pictures";
    case CSIDL_PROFILE:
      return user;
    case CSIDL_COMMON_DOCUMENTS:
      return all + "\\Documents";
    default:
      return "";
  }
}

namespace {
constexpr char kPathItemTag[] = "QVPATH";
}

LPITEMIDLIST itemListFromPath(const std::string& windowsPath) {
  // One item (size, tag, path, NUL) and the empty item that ends the list.
  const size_t item = sizeof(USHORT) + sizeof kPathItemTag + windowsPath.size() + 1;
  if (item > 0xFFFF) return nullptr;
  auto* bytes = static_cast<BYTE*>(std::malloc(item + sizeof(USHORT)));
  if (!bytes) return nullptr;
  USHORT cb = static_cast<USHORT>(item);
  std::memcpy(bytes, &cb, sizeof cb);
  std::memcpy(bytes + sizeof cb, kPathItemTag, sizeof kPathItemTag);
  std::memcpy(bytes + sizeof cb + sizeof kPathItemTag, windowsPath.c_str(), windowsPath.size() + 1);
  std::memset(bytes + item, 0, sizeof(USHORT));
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

}  // namespace qv::os

using namespace qv::os;

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* list) {
  if (!list) return E_INVALIDARG;
  *list = nullptr;
  std::string f = specialFolder(csidl);
  if (f.empty()) return E_INVALIDARG;
  makeFolders(f);
  *list = itemListFromPath(f);
  return *list ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
  if (!list || !path) return FALSE;
  path[0] = '\0';
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  USHORT cb;
  std::memcpy(&cb, bytes, sizeof cb);
  const size_t head = sizeof cb + sizeof kPathItemTag;
  if (cb <= head || std::memcmp(bytes + sizeof cb, kPathItemTag, sizeof kPathItemTag) != 0) return FALSE;
  const char* p = reinterpret_cast<const char*>(bytes + head);
  size_t n = strnlen(p, cb - head);
  if (n >= MAX_PATH) return FALSE;
  std::memcpy(path, p, n);
  path[n] = '\0';
  return TRUE;
}

void ILFree(LPITEMIDLIST list) { std::free(list); }

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand) {
  int r = run(verb, file, parameters, directory, showCommand, false, nullptr);
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(r));
}

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool asFolder = (info->fMask & SEE_MASK_CLASSNAME) && info->lpClass && lower(info->lpClass) == "folder";
  // An item id list names the file when no file name is given.
  LPCSTR file = info->lpFile;
  char listPath[MAX_PATH] = {};
  if ((info->fMask & SEE_MASK_IDLIST) && info->lpIDList && (!file || !*file)) {
    if (!SHGetPathFromIDListA(static_cast<LPCITEMIDLIST>(info->lpIDList), listPath)) {
      info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
      SetLastError(ERROR_FILE_NOT_FOUND);
      return FALSE;
    }
    file = listPath;
  }
  HANDLE process = nullptr;
  int r = run(info->lpVerb, file, info->lpParameters, info->lpDirectory, info->nShow, asFolder,
              (info->fMask & SEE_MASK_NOCLOSEPROCESS) ? &process : nullptr);
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(r));
  info->hProcess = process;
  if (r <= 32) {
    SetLastError(errorFromSe(r));
    return FALSE;
  }
  return TRUE;
}

int SHFileOperationA(LPSHFILEOPSTRUCTA op) {
  if (!op) return ERROR_INVALID_PARAMETER;
  op->fAnyOperationsAborted = FALSE;
  if (op->wFunc != FO_COPY) return ERROR_NOT_SUPPORTED;
  std::vector<std::string> from = nameList(op->pFrom), to = nameList(op->pTo);
  if (from.empty()) return ERROR_INVALID_PARAMETER;
  const bool multi = (op->fFlags & FOF_MULTIDESTFILES) && to.size() > 1;
  if (multi && to.size() != from.size()) return ERROR_INVALID_PARAMETER;
  std::string dest = to.empty() ? currentDirectory() : to[0];

  // Sources with their wildcards expanded; each checked before anything is copied.
  struct Item {
    std::string source;
    std::string target;
  };
  std::vector<Item> items;
  for (size_t i = 0; i < from.size(); ++i) {
    std::string src = fullWindowsPath(from[i]).value_or(from[i]);
    std::string target = multi ? to[i] : dest;
    std::vector<std::string> matched;
    if (hasWildcard(src)) {
      WIN32_FIND_DATAA fd;
      HANDLE h = FindFirstFileA(src.c_str(), &fd);
      if (h != INVALID_HANDLE_VALUE) {
        do {
          std::string n = fd.cFileName;
          if (n != "." && n != "..") matched.push_back(folderOf(src) + "\\" + n);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
      }
      if (matched.empty()) continue;  // a pattern that finds nothing copies nothing
    } else {
      if (!fileExists(src) && !directoryExists(src)) {
        if (!(op->fFlags & FOF_NOERRORUI)) reportCopyError(src, ERROR_FILE_NOT_FOUND);
        return ERROR_FILE_NOT_FOUND;
      }
      matched.push_back(src);
    }
    // Into an existing folder, or (one plain source) to that name, or into a
    // new folder for several.
    const bool oneName = multi || (from.size() == 1 && !hasWildcard(src));
    const bool intoFolder = directoryExists(target) || !oneName;
    for (const auto& m : matched)
      items.push_back({m, intoFolder ? target + (target.back() == '\\' ? "" : "\\") + nameOf(m) : target});
    if (!oneName || !directoryExists(target)) makeFolders(oneName ? folderOf(target) : target);
  }
  CopyJob job{op->fFlags};
  for (const auto& it : items) {
    DWORD err = copyOne(job, it.source, it.target);
    if (job.aborted) {
      op->fAnyOperationsAborted = TRUE;
      return static_cast<int>(ERROR_CANCELLED);
    }
    if (err) {
      if (!(op->fFlags & FOF_NOERRORUI)) reportCopyError(it.source, err);
      return static_cast<int>(err);
    }
  }
  return 0;
}

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL) {
  std::string f = specialFolder(csidl);
  if (f.empty() || !path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  makeFolders(f);
  std::strncpy(path, f.c_str(), MAX_PATH - 1);
  path[MAX_PATH - 1] = '\0';
  return TRUE;
}

HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE, DWORD, LPSTR path) {
  if (!path) return E_INVALIDARG;
  path[0] = '\0';
  return SHGetSpecialFolderPathA(hwnd, path, csidl, TRUE) ? S_OK : E_INVALIDARG;
}
