#include "platform/os/kernel/Module.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"

namespace qv::os {

namespace {

enum class Kind { Program, StandIn, Data, Shared };

struct ModuleRec {
  Kind kind = Kind::Data;
  std::string key;          // folded stand-in name, or the file's canonical host path
  std::string windowsPath;  // what GetModuleFileName reports
  std::string hostPath;
  int refs = 0;
  void* dl = nullptr;
  std::vector<StandInExport> exports;
  std::shared_ptr<const std::vector<ResEntry>> resources;
};

struct State {
  std::recursive_mutex m;
  ModuleRec program;
  std::map<HMODULE, std::unique_ptr<ModuleRec>> loaded;
  std::map<std::string, StandInModule> standIns;  // by folded file name
  UINT errorMode = 0;
};

void forgetLoaded();

State& st() {
  static State* s = [] {
    auto* made = new State;
    made->program.kind = Kind::Program;
    made->program.refs = 1;
    made->program.resources = std::make_shared<std::vector<ResEntry>>();
    qv::desktop::onReset(forgetLoaded);
    return made;
  }();
  return *s;
}

HMODULE programHandle() { return reinterpret_cast<HMODULE>(&st().program); }

// The record behind a handle; nullptr when the handle is not a module.
ModuleRec* recordOf(HMODULE h) {
  State& s = st();
  if (!h || h == programHandle()) return &s.program;
  auto it = s.loaded.find(h);
  return it == s.loaded.end() ? nullptr : it->second.get();
}

void closeRecord(ModuleRec& rec) {
  if (rec.dl) dlclose(rec.dl);
  rec.dl = nullptr;
}

void forgetLoaded() {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  for (auto& [h, rec] : s.loaded) closeRecord(*rec);
  s.loaded.clear();
  s.errorMode = 0;
}

std::string programWindowsPath() { return programPath(); }

std::string folderOf(const std::string& winPath) {
  const auto cut = winPath.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : winPath.substr(0, cut);
}

std::string fileNameOf(const std::string& path) {
  const auto cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool hasFolder(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

// The platform appends ".dll" to a name without extension; a trailing dot
// means "no extension" and is dropped.
std::string withDefaultExtension(std::string name) {
  const std::string base = fileNameOf(name);
  if (!base.empty() && base.back() == '.') {
    name.pop_back();
    return name;
  }
  if (base.find('.') == std::string::npos) name += ".dll";
  return name;
}

const std::string kSystemFolder = "C:\\WINDOWS\\system32";
const std::string kWindowsFolder = "C:\\WINDOWS";

std::optional<std::string> hostFile(const std::string& winPath) {
  auto host = toHostPath(winPath);
  std::error_code ec;
  if (host && std::filesystem::is_regular_file(*host, ec)) return host;
  return std::nullopt;
}

bool sameFolder(const std::string& a, const std::string& b) {
  auto ha = toHostPath(a), hb = toHostPath(b);
  if (!ha || !hb) return false;
  std::error_code ec;
  return std::filesystem::equivalent(*ha, *hb, ec);
}

std::optional<std::vector<BYTE>> readWhole(const std::string& host) {
  // One read of the whole size: a program file can be hundreds of megabytes,
  // and a byte-wise stream copy of it costs seconds.
  std::ifstream in(host, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::vector<BYTE> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

bool isElf(const std::vector<BYTE>& b) {
  static constexpr BYTE kElf[4] = {0x7F, 'E', 'L', 'F'};
  return b.size() >= 4 && std::memcmp(b.data(), kElf, 4) == 0;
}

std::shared_ptr<const std::vector<ResEntry>> containerOf(const std::vector<BYTE>& bytes) {
  std::optional<std::vector<ResEntry>> entries;
  if (isResContainer(bytes.data(), bytes.size())) {
    entries = parseResContainer(bytes.data(), bytes.size());
  } else if (auto embedded = findEmbeddedContainer(bytes.data(), bytes.size())) {
    entries = parseResContainer(embedded->data(), embedded->size());
  }
  return std::make_shared<std::vector<ResEntry>>(entries ? std::move(*entries) : std::vector<ResEntry>{});
}

HMODULE addRecord(std::unique_ptr<ModuleRec> rec) {
  rec->refs = 1;
  HMODULE h = reinterpret_cast<HMODULE>(rec.get());
  st().loaded.emplace(h, std::move(rec));
  return h;
}

HMODULE findLoaded(Kind kind, const std::string& key) {
  for (auto& [h, rec] : st().loaded)
    if (rec->kind == kind && rec->key == key) return h;
  return nullptr;
}

// A stand-in for this name, when one is registered, present and the name
// does not point into some other folder.
const StandInModule* standInFor(const std::string& name) {
  State& s = st();
  auto it = s.standIns.find(ansiUpperCase(fileNameOf(name)));
  if (it == s.standIns.end()) return nullptr;
  if (hasFolder(name)) {
    const std::string folder = folderOf(name);
    if (!sameFolder(folder, kSystemFolder) && !sameFolder(folder, kWindowsFolder)) return nullptr;
  }
  if (it->second.available && !it->second.available()) return nullptr;
  return &it->second;
}

// The file LoadLibrary would take for a name: a path as given, a bare name in
// the program's folder, the current folder, the system and Windows folders.
std::optional<std::string> searchFile(const std::string& name) {
  if (hasFolder(name)) {
    auto full = fullWindowsPath(name);
    return full ? hostFile(*full) : std::nullopt;
  }
  std::vector<std::string> folders;
  const std::string progFolder = folderOf(programWindowsPath());
  if (!progFolder.empty()) folders.push_back(progFolder);
  folders.push_back(currentDirectory());
  folders.push_back(kSystemFolder);
  folders.push_back(kWindowsFolder);
  for (const std::string& f : folders)
    if (auto host = hostFile(f + "\\" + name)) return host;
  return std::nullopt;
}

}  // namespace

void registerStandInModule(StandInModule module) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  std::string key = ansiUpperCase(module.fileName);
  s.standIns[key] = std::move(module);
}

void unregisterStandInModule(const std::string& fileName) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  s.standIns.erase(ansiUpperCase(fileName));
}

bool registerProgramResources(const BYTE* container, std::size_t size, bool lasting) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto entries = parseResContainer(container, size, lasting);
  if (!entries) return false;
  auto merged = std::make_shared<std::vector<ResEntry>>(*s.program.resources);
  merged->insert(merged->end(), std::make_move_iterator(entries->begin()), std::make_move_iterator(entries->end()));
  s.program.resources = std::move(merged);
  return true;
}

std::shared_ptr<const std::vector<ResEntry>> moduleResources(HMODULE module) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  ModuleRec* rec = recordOf(module);
  return rec ? rec->resources : nullptr;
}

bool isModuleHandle(HMODULE module) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  return module && recordOf(module) != nullptr;
}

std::string moduleHostPath(HMODULE module) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  ModuleRec* rec = recordOf(module);
  if (!rec) return {};
  if (rec->kind == Kind::Program) return toHostPath(programPath()).value_or(std::string());
  return rec->hostPath;
}

}  // namespace qv::os

using namespace qv::os;

HMODULE GetModuleHandle(LPCSTR moduleName) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  if (!moduleName) return programHandle();
  const std::string name = withDefaultExtension(moduleName);
  const std::string wanted = ansiUpperCase(fileNameOf(name));
  if (wanted == ansiUpperCase(fileNameOf(programWindowsPath()))) return programHandle();
  for (auto& [h, rec] : s.loaded) {
    // Data-file modules are not found by name, as on the platform.
    if (rec->kind == Kind::Data) continue;
    if (ansiUpperCase(fileNameOf(rec->windowsPath)) == wanted) return h;
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  ModuleRec* rec = recordOf(module);
  if (!rec) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  const std::string path = rec->kind == Kind::Program ? programWindowsPath() : rec->windowsPath;
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

HMODULE LoadLibrary(LPCSTR fileName) { return LoadLibraryEx(fileName, nullptr, 0); }

HMODULE LoadLibraryEx(LPCSTR fileName, HANDLE file, DWORD flags) {
  if (!fileName || file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  if (!*fileName) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  const std::string name = withDefaultExtension(fileName);
  const bool asData = (flags & LOAD_LIBRARY_AS_DATAFILE) != 0;

  if (const StandInModule* stand = standInFor(name)) {
    const std::string key = ansiUpperCase(stand->fileName);
    if (HMODULE h = findLoaded(Kind::StandIn, key)) {
      ++s.loaded[h]->refs;
      return h;
    }
    auto rec = std::make_unique<ModuleRec>();
    rec->kind = Kind::StandIn;
    rec->key = key;
    rec->windowsPath = kSystemFolder + "\\" + stand->fileName;
    rec->exports = stand->exports;
    const std::vector<BYTE> made = stand->makeResources ? stand->makeResources() : std::vector<BYTE>{};
    const std::vector<BYTE>& bytes = stand->makeResources ? made : stand->resources;
    auto entries = parseResContainer(bytes.data(), bytes.size());
    rec->resources = std::make_shared<std::vector<ResEntry>>(entries ? std::move(*entries) : std::vector<ResEntry>{});
    return addRecord(std::move(rec));
  }

  const auto host = searchFile(name);
  if (!host) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::error_code ec;
  std::string canonical = std::filesystem::weakly_canonical(*host, ec).string();
  if (ec) canonical = *host;

  auto bytes = readWhole(canonical);
  if (!bytes) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const bool elf = isElf(*bytes);
  const bool container = isResContainer(bytes->data(), bytes->size());
  if (!elf && !container) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  const Kind kind = (elf && !asData) ? Kind::Shared : Kind::Data;
  if (HMODULE h = findLoaded(kind, canonical)) {
    ++s.loaded[h]->refs;
    return h;
  }
  auto rec = std::make_unique<ModuleRec>();
  rec->kind = kind;
  rec->key = canonical;
  rec->hostPath = canonical;
  rec->windowsPath = toWindowsPath(canonical);
  rec->resources = containerOf(*bytes);
  if (kind == Kind::Shared) {
    rec->dl = dlopen(canonical.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!rec->dl) {
      // Programs and libraries built for another machine or linked against
      // what is missing here: the platform calls both a bad image.
      SetLastError(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
  }
  return addRecord(std::move(rec));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  ModuleRec* rec = recordOf(module);  // NULL: the program itself
  if (!rec) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!procName) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  const bool byOrdinal = IS_INTRESOURCE(procName);
  const WORD ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(procName));
  void* found = nullptr;
  switch (rec->kind) {
    case Kind::StandIn:
      for (const StandInExport& e : rec->exports)
        if (byOrdinal ? (e.ordinal != 0 && e.ordinal == ordinal) : e.name == procName) {
          found = e.address;
          break;
        }
      break;
    case Kind::Shared:
      if (!byOrdinal) found = dlsym(rec->dl, procName);
      break;
    case Kind::Program:
      if (!byOrdinal) {
        static void* self = dlopen(nullptr, RTLD_NOW);
        found = self ? dlsym(self, procName) : nullptr;
      }
      break;
    case Kind::Data:
      break;
  }
  if (!found) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(found);
}

BOOL FreeLibrary(HMODULE module) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (module == programHandle()) return TRUE;
  auto it = s.loaded.find(module);
  if (it == s.loaded.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--it->second->refs <= 0) {
    closeRecord(*it->second);
    s.loaded.erase(it);
  }
  return TRUE;
}

UINT SetErrorMode(UINT mode) {
  State& s = st();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  const UINT previous = s.errorMode;
  s.errorMode = mode;
  return previous;
}
