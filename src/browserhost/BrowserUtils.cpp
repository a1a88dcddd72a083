#include "browserhost/BrowserUtils.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/classlib/ComObj.h"
#include "platform/com/Malloc.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Version.h"

std::string GetIEVersion() {
  try {
    char folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectory(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::string fileName(folder, n);
    if (fileName.back() != '\\') fileName += '\\';
    fileName += "shdocvw.dll";

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSize(fileName.c_str(), &handle);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfo(fileName.c_str(), handle, size, block.data())) return {};

    void* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValue(block.data(), "\\VarFileInfo\\Translation", &translation, &length) || !translation ||
        length < 2 * sizeof(WORD))
      return {};
    WORD pair[2];
    std::memcpy(pair, translation, sizeof pair);

    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s", pair[0], pair[1], "FileVersion");
    void* value = nullptr;
    length = 0;
    if (!VerQueryValue(block.data(), subBlock, &value, &length) || !value || length == 0) return {};
    // The length counts the terminating zero; stop at the first zero anyway.
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
  } catch (...) {
    // Start-up decides on this text; a failure must read as "no browser".
    return {};
  }
}

namespace {

USHORT itemSize(const BYTE* Item) {
  USHORT cb;
  std::memcpy(&cb, Item, sizeof cb);  // items need not be aligned
  return cb;
}

// A system library bound by ordinal, loaded on first use and kept until the
// unit ends.
struct BoundLibrary {
  const char* name;
  HMODULE module = nullptr;

  FARPROC entry(WORD ordinal) {
    if (module == nullptr) {
      const UINT mode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
      HMODULE loaded = LoadLibrary(name);
      SetErrorMode(mode);
      // Handles up to 32 are the old error codes, never a library.
      if (reinterpret_cast<ULONG_PTR>(loaded) <= 32) return nullptr;
      module = loaded;
    }
    return GetProcAddress(module, MAKEINTRESOURCE(ordinal));
  }
  void release() {
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
  }
};

BoundLibrary shell32{"shell32.dll"};
BoundLibrary comctl32{"comctl32.dll"};

struct UnitLifetime {
  UnitLifetime() = default;
  ~UnitLifetime() {
    shell32.release();
    comctl32.release();
  }
  UnitLifetime(const UnitLifetime&) = delete;
  UnitLifetime& operator=(const UnitLifetime&) = delete;
};
const UnitLifetime unitLifetime;

}  // namespace

LPCITEMIDLIST NextPidlItem(LPCITEMIDLIST Item) {
  const BYTE* item = reinterpret_cast<const BYTE*>(Item);
  return reinterpret_cast<LPCITEMIDLIST>(item + itemSize(item));
}

UINT PidlSize(LPCITEMIDLIST List, UINT Limit) {
  if (!List) return 0;
  const BYTE* item = reinterpret_cast<const BYTE*>(List);
  UINT size = 0;
  for (;;) {
    if (Limit - size < sizeof(USHORT)) return 0;
    const USHORT cb = itemSize(item + size);
    if (cb == 0) break;
    // An item holds at least its own size; a shorter one would never end.
    if (cb < sizeof(USHORT) || cb > Limit - size) return 0;
    size += cb;
  }
  return size + sizeof(USHORT);
}

void* ShellAlloc(UINT Size) {
  LPMALLOC allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return nullptr;
  void* block = allocator->Alloc(Size);
  if (block) std::memset(block, 0, Size);
  allocator->Release();
  return block;
}

LPITEMIDLIST ClonePidl(LPCITEMIDLIST List, UINT Limit) {
  const UINT size = PidlSize(List, Limit);
  if (size == 0) return nullptr;
  void* copy = ShellAlloc(size);
  if (copy) std::memcpy(copy, List, size);
  return static_cast<LPITEMIDLIST>(copy);
}

void ShellFreePidl(LPITEMIDLIST List) {
  if (!List) return;
  LPMALLOC allocator = nullptr;
  OleCheck(SHGetMalloc(&allocator));
  allocator->Free(List);
  allocator->Release();
}

void* ShellLockShared(HANDLE Shared, DWORD ProcessId) {
  auto lock = qv::os::procAs<void* (*)(HANDLE, DWORD)>(shell32.entry(521));
  return lock ? lock(Shared, ProcessId) : nullptr;
}

BOOL ShellUnlockShared(void* Data) {
  auto unlock = qv::os::procAs<BOOL (*)(void*)>(shell32.entry(522));
  return unlock ? unlock(Data) : FALSE;
}

BOOL ShellFreeShared(HANDLE Shared, DWORD ProcessId) {
  auto release = qv::os::procAs<BOOL (*)(HANDLE, DWORD)>(shell32.entry(523));
  return release ? release(Shared, ProcessId) : FALSE;
}

BOOL CommonControlsFree(void* Block) {
  auto release = qv::os::procAs<BOOL (*)(void*)>(comctl32.entry(73));
  return release ? release(Block) : FALSE;
}
