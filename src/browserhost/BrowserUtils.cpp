#include "browserhost/BrowserUtils.h"

#include <cstdio>
#include <cstring>
#include <vector>

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

UINT PidlSize(LPCITEMIDLIST List) {
  if (!List) return 0;
  UINT size = 0;
  const BYTE* item = reinterpret_cast<const BYTE*>(List);
  for (;;) {
    USHORT cb;
    std::memcpy(&cb, item, sizeof cb);  // items need not be aligned
    if (cb == 0) break;
    size += cb;
    item += cb;
  }
  return size + sizeof(USHORT);
}
