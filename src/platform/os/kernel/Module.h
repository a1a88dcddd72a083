// Modules: the program itself, stand-in system modules registered by name,
// data-file modules (a resource container or a program file loaded for its
// resources) and real shared objects loaded with dlopen, whatever their
// file extension.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/ResFile.h"

using FARPROC = INT_PTR (*)();

#define LOAD_LIBRARY_AS_DATAFILE 0x00000002u
#define DONT_RESOLVE_DLL_REFERENCES 0x00000001u
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008u

#define SEM_FAILCRITICALERRORS 0x0001u
#define SEM_NOGPFAULTERRORBOX 0x0002u
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004u
#define SEM_NOOPENFILEERRORBOX 0x8000u

#ifndef ERROR_DLL_INIT_FAILED
#define ERROR_DLL_INIT_FAILED 1114L
#endif

// NULL names the program. Does not add a reference.
HMODULE GetModuleHandle(LPCSTR moduleName);
// The module's full path in the platform's form; the number of characters
// copied without the terminating zero. A buffer too small gets the path cut
// to size - 1 characters, always terminated, and the result is `size` with
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size);
HMODULE LoadLibrary(LPCSTR fileName);
// `file` is reserved and must be NULL. LOAD_LIBRARY_AS_DATAFILE maps a
// container or program file for its resources only.
HMODULE LoadLibraryEx(LPCSTR fileName, HANDLE file, DWORD flags);
// By name, or by ordinal (MAKEINTRESOURCE) where a stand-in exports ordinals.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
UINT SetErrorMode(UINT mode);

namespace qv::os {

// A bound entry point as the function type the caller knows it to have.
template <typename F>
F procAs(FARPROC p) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(p));
}

// One export of a stand-in module. `ordinal` 0 means exported by name only.
struct StandInExport {
  std::string name;
  void* address = nullptr;
  WORD ordinal = 0;

  template <typename F>
  static StandInExport of(std::string n, F* fn, WORD ord = 0) {
    return StandInExport{std::move(n), reinterpret_cast<void*>(fn), ord};
  }
};

// A system library stood in for by our own code. Later layers register one
// per library at static initialisation (see registerStandInModule).
struct StandInModule {
  std::string fileName;                // "UxTheme.dll"; matched ignoring case
  std::vector<StandInExport> exports;  // names matched exactly, as the platform does
  std::vector<BYTE> resources;         // a resource container, or empty
  // Makes the container on the first load instead, for resources that take
  // work to make: a program that never loads the library does none of it.
  std::function<std::vector<BYTE>()> makeResources;
  // Asked at every load: a false answer makes the library absent, as when a
  // profile has no visual styles. Empty means always present.
  std::function<bool()> available;
};

// Registers (or replaces, by file name) a stand-in module. LoadLibrary finds
// it by its bare file name or by a path in the system or Windows folder,
// before any file on disk.
void registerStandInModule(StandInModule module);
void unregisterStandInModule(const std::string& fileName);

// The program's own resources; called from the code that qv_add_resources
// generates, at static initialisation. Returns true to allow
// `static const bool x = registerProgramResources(...)`. A `lasting`
// container stays where it is for the whole run (the program's constant
// data, as qv_add_resources makes it): the entries then point into it
// instead of copying it to the heap. Others are copied.
bool registerProgramResources(const BYTE* container, std::size_t size, bool lasting = false);

// The resources of a module (NULL: the program), or nullptr for an unknown
// handle. The entries live as long as the module stays loaded.
std::shared_ptr<const std::vector<ResEntry>> moduleResources(HMODULE module);

// Whether the handle names the program or a loaded module.
bool isModuleHandle(HMODULE module);

// The host path of a loaded module's file ("" for the program when unknown
// and for stand-ins).
std::string moduleHostPath(HMODULE module);

}  // namespace qv::os
