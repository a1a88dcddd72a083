#include "platform/os/kernel/Resource.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"

using namespace qv::os;

namespace {

// A type or name as callers pass it: an ordinal, "#123", or a name.
struct Wanted {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::string name;
};

std::optional<Wanted> wantedOf(LPCSTR p) {
  if (IS_INTRESOURCE(p)) return Wanted{true, static_cast<WORD>(reinterpret_cast<ULONG_PTR>(p)), {}};
  if (p[0] == '#' && p[1]) {
    unsigned long v = 0;
    for (const char* c = p + 1; *c; ++c) {
      if (*c < '0' || *c > '9') return std::nullopt;
      v = v * 10 + static_cast<unsigned long>(*c - '0');
      if (v > 0xFFFF) return std::nullopt;
    }
    return Wanted{true, static_cast<WORD>(v), {}};
  }
  return Wanted{false, 0, p};
}

bool matches(const ResId& id, const Wanted& w) {
  if (id.isOrdinal != w.isOrdinal) return false;
  if (id.isOrdinal) return id.ordinal == w.ordinal;
  return ansiCompareText(utf16ToAnsi(id.name), w.name) == 0;
}

HRSRC find(HMODULE module, LPCSTR type, LPCSTR name, std::optional<WORD> language) {
  if (!type || !name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto res = moduleResources(module);
  if (!res) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (res->empty()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const auto wantType = wantedOf(type);
  const auto wantName = wantedOf(name);
  std::vector<const ResEntry*> found;
  bool typeSeen = false;
  for (const ResEntry& e : *res) {
    if (!wantType || !matches(e.type, *wantType)) continue;
    typeSeen = true;
    if (wantName && matches(e.name, *wantName)) found.push_back(&e);
  }
  if (found.empty()) {
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  // A language asked for is taken exactly or in its neutral form; the
  // neutral language asks for the default order, which ends with whatever
  // the module has.
  std::vector<WORD> order;
  const bool specific = language && *language != 0;
  if (specific) {
    order.push_back(*language);
    order.push_back(MAKELANGID(PRIMARYLANGID(*language), SUBLANG_NEUTRAL));
  } else {
    const WORD user = qv::desktop::profile().langId;
    order = {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), user, MAKELANGID(PRIMARYLANGID(user), SUBLANG_NEUTRAL),
             MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)};
  }
  for (WORD l : order)
    for (const ResEntry* e : found)
      if (e->language == l) return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(e));
  if (specific) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(found.front()));
}

// The entry behind a handle, when it belongs to the module.
const ResEntry* entryOf(HMODULE module, HRSRC resource) {
  auto res = moduleResources(module);
  if (!res || !resource) return nullptr;
  const auto* e = reinterpret_cast<const ResEntry*>(resource);
  for (const ResEntry& candidate : *res)
    if (&candidate == e) return e;
  return nullptr;
}

BYTE g_emptyResource = 0;

}  // namespace

HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) { return find(module, type, name, std::nullopt); }

HRSRC FindResourceEx(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  return find(module, type, name, language);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  const ResEntry* e = entryOf(module, resource);
  if (!e) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const std::span<const BYTE> data = e->bytes();
  return data.empty() ? &g_emptyResource : const_cast<BYTE*>(data.data());
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  const ResEntry* e = entryOf(module, resource);
  if (!e) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  return static_cast<DWORD>(e->bytes().size());
}

LPVOID LockResource(HGLOBAL data) { return data; }

BOOL FreeResource(HGLOBAL) { return FALSE; }

int LoadString(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = '\0';
  if (id > 0xFFFF) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  HRSRC block = FindResource(instance, MAKEINTRESOURCE(id / 16 + 1), RT_STRING);
  if (!block) return 0;
  const ResEntry* e = reinterpret_cast<const ResEntry*>(block);
  const std::span<const BYTE> d = e->bytes();
  std::size_t pos = 0;
  for (UINT i = 0; i < id % 16; ++i) {
    if (pos + 2 > d.size()) return 0;
    pos += 2 + 2 * static_cast<std::size_t>(d[pos] | (d[pos + 1] << 8));
  }
  if (pos + 2 > d.size()) return 0;
  const std::size_t len = d[pos] | (d[pos + 1] << 8);
  pos += 2;
  if (len == 0 || pos + 2 * len > d.size()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  std::u16string text(len, u'\0');
  for (std::size_t i = 0; i < len; ++i) text[i] = static_cast<char16_t>(d[pos + 2 * i] | (d[pos + 2 * i + 1] << 8));
  const std::string ansiText = utf16ToAnsi(text);
  const std::size_t n = std::min(ansiText.size(), static_cast<std::size_t>(bufferMax - 1));
  std::memcpy(buffer, ansiText.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL EnumResourceNames(HMODULE module, LPCSTR type, ENUMRESNAMEPROC callback, LONG_PTR param) {
  auto res = moduleResources(module);
  if (!res || !type || !callback) {
    SetLastError(res ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const auto wantType = wantedOf(type);
  std::vector<const ResEntry*> names;
  for (const ResEntry& e : *res) {
    if (!wantType || !matches(e.type, *wantType)) continue;
    bool seen = false;
    for (const ResEntry* n : names) seen = seen || n->name == e.name;
    if (!seen) names.push_back(&e);
  }
  if (names.empty()) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  for (const ResEntry* e : names) {
    std::string text = e->name.isOrdinal ? std::string() : utf16ToAnsi(e->name.name);
    LPSTR name = e->name.isOrdinal ? MAKEINTRESOURCE(e->name.ordinal) : text.data();
    if (!callback(module, type, name, param)) break;
  }
  return TRUE;
}
