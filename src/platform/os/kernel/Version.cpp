#include "platform/os/kernel/Version.h"

#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Resource.h"

using namespace qv::os;

namespace {

void put16(std::vector<BYTE>& out, WORD v) {
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}
void put32(std::vector<BYTE>& out, DWORD v) {
  put16(out, static_cast<WORD>(v));
  put16(out, static_cast<WORD>(v >> 16));
}
void align4(std::vector<BYTE>& out) {
  while (out.size() % 4) out.push_back(0);
}
void set16(std::vector<BYTE>& out, std::size_t at, std::size_t v) {
  out[at] = static_cast<BYTE>(v);
  out[at + 1] = static_cast<BYTE>(v >> 8);
}
WORD rd16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

// One node of the block: wLength, wValueLength, wType, key, value, children.
// wValueLength counts WORDs for text (wType 1) and bytes for binary values.
// `children` appends the child nodes, each starting on a DWORD boundary.
template <typename Children>
void node(std::vector<BYTE>& out, std::string_view key, const std::vector<BYTE>& value, WORD valueLength, WORD type,
          Children children) {
  align4(out);
  const std::size_t start = out.size();
  put16(out, 0);
  put16(out, valueLength);
  put16(out, type);
  for (char16_t c : ansiToUtf16(key)) put16(out, static_cast<WORD>(c));
  put16(out, 0);
  align4(out);
  out.insert(out.end(), value.begin(), value.end());
  children(out);
  set16(out, start, out.size() - start);
}

void noChildren(std::vector<BYTE>&) {}

std::vector<BYTE> utf16z(std::string_view ansiText) {
  std::vector<BYTE> v;
  for (char16_t c : ansiToUtf16(ansiText)) put16(v, static_cast<WORD>(c));
  put16(v, 0);
  return v;
}

DWORD hiLo(const WORD* v, int first) { return (static_cast<DWORD>(v[first]) << 16) | v[first + 1]; }

// A parsed node over a raw block.
struct Node {
  std::size_t offset = 0, end = 0;  // the node's extent
  std::u16string key;
  std::size_t valueOffset = 0, valueBytes = 0;
  WORD valueLength = 0;
  bool text = false;
  std::size_t childrenOffset = 0;
};

std::optional<Node> readNode(const BYTE* b, std::size_t limit, std::size_t at) {
  if (at + 6 > limit) return std::nullopt;
  Node n;
  n.offset = at;
  const std::size_t length = rd16(b + at);
  if (length < 6 || at + length > limit) return std::nullopt;
  n.end = at + length;
  n.valueLength = rd16(b + at + 2);
  n.text = rd16(b + at + 4) == 1;
  std::size_t p = at + 6;
  for (;;) {
    if (p + 2 > n.end) return std::nullopt;
    const WORD c = rd16(b + p);
    p += 2;
    if (!c) break;
    n.key.push_back(static_cast<char16_t>(c));
  }
  p = (p + 3) & ~std::size_t{3};
  n.valueOffset = p;
  n.valueBytes = n.text ? 2u * n.valueLength : n.valueLength;
  if (n.valueOffset + n.valueBytes > n.end) {
    // Some writers count text values in bytes; never read past the node.
    if (p > n.end) return std::nullopt;
    n.valueBytes = n.end - p;
  }
  n.childrenOffset = (n.valueOffset + n.valueBytes + 3) & ~std::size_t{3};
  return n;
}

std::size_t rawSize(const BYTE* block) { return (static_cast<std::size_t>(rd16(block)) + 3) & ~std::size_t{3}; }

// The version block of a file, as GetFileVersionInfo finds it.
std::optional<std::vector<BYTE>> versionBlockOf(LPCSTR fileName) {
  if (!fileName || !*fileName) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  // The running program answers from the resources it was built with, also
  // when it runs under a path that is not its file (a main block run in a
  // test).
  if (auto full = fullWindowsPath(fileName); full && ansiCompareText(*full, programPath()) == 0) {
    if (HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(VS_VERSION_INFO), RT_VERSION)) {
      const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, r)));
      const DWORD size = SizeofResource(nullptr, r);
      if (size >= 6 && rd16(data) <= size) return std::vector<BYTE>(data, data + rd16(data));
    }
  }
  // Loading as a data file finds stand-ins, containers and program files
  // alike. A trailing dot keeps LoadLibraryEx from adding ".dll".
  std::string name = fileName;
  const auto base = name.find_last_of("\\/:");
  if (name.find('.', base == std::string::npos ? 0 : base + 1) == std::string::npos) name += '.';
  HMODULE m = LoadLibraryEx(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!m) {
    const DWORD err = GetLastError();
    SetLastError(err == ERROR_MOD_NOT_FOUND    ? ERROR_FILE_NOT_FOUND
                 : err == ERROR_BAD_EXE_FORMAT ? ERROR_RESOURCE_DATA_NOT_FOUND
                                               : err);
    return std::nullopt;
  }
  std::optional<std::vector<BYTE>> block;
  if (HRSRC r = FindResource(m, MAKEINTRESOURCE(VS_VERSION_INFO), RT_VERSION)) {
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(m, r)));
    const DWORD size = SizeofResource(m, r);
    if (size >= 6 && rd16(data) <= size)
      block = std::vector<BYTE>(data, data + rd16(data));
    else
      SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  } else if (GetLastError() == ERROR_RESOURCE_NAME_NOT_FOUND) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  }
  FreeLibrary(m);
  return block;
}

// ANSI answers for blocks without room for them.
const char* keepAnsi(std::string text) {
  static std::mutex m;
  static std::deque<std::string> kept;
  std::lock_guard<std::mutex> lock(m);
  for (const std::string& k : kept)
    if (k == text) return k.c_str();
  kept.push_back(std::move(text));
  return kept.back().c_str();
}

}  // namespace

std::vector<BYTE> qv::os::buildVersionResource(const VersionInfo& info) {
  std::vector<BYTE> fixed;
  for (DWORD v : {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, hiLo(info.fileVersion, 0), hiLo(info.fileVersion, 2),
                  hiLo(info.productVersion, 0), hiLo(info.productVersion, 2), VS_FFI_FILEFLAGSMASK, info.fileFlags,
                  info.fileOS, info.fileType, DWORD{0}, DWORD{0}, DWORD{0}})
    put32(fixed, v);
  std::vector<BYTE> out;
  node(out, "VS_VERSION_INFO", fixed, static_cast<WORD>(fixed.size()), 0, [&](std::vector<BYTE>& o) {
    if (!info.tables.empty())
      node(o, "StringFileInfo", {}, 0, 1, [&](std::vector<BYTE>& o2) {
        for (const auto& table : info.tables)
          node(o2, table.key, {}, 0, 1, [&](std::vector<BYTE>& o3) {
            for (const auto& [name, text] : table.values) {
              const auto value = utf16z(text);
              node(o3, name, value, static_cast<WORD>(value.size() / 2), 1, noChildren);
            }
          });
      });
    if (!info.translations.empty()) {
      std::vector<BYTE> pairs;
      for (auto [lang, cp] : info.translations) {
        put16(pairs, lang);
        put16(pairs, cp);
      }
      node(o, "VarFileInfo", {}, 0, 1, [&](std::vector<BYTE>& o2) {
        node(o2, "Translation", pairs, static_cast<WORD>(pairs.size()), 0, noChildren);
      });
    }
  });
  return out;
}

DWORD GetFileVersionInfoSize(LPCSTR fileName, LPDWORD handle) {
  if (handle) *handle = 0;
  auto block = versionBlockOf(fileName);
  if (!block) return 0;
  return static_cast<DWORD>(rawSize(block->data()));
}

BOOL GetFileVersionInfo(LPCSTR fileName, DWORD, DWORD len, LPVOID data) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto block = versionBlockOf(fileName);
  if (!block) return FALSE;
  const std::size_t raw = rawSize(block->data());
  if (len < raw) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  BYTE* out = static_cast<BYTE*>(data);
  std::memset(out, 0, raw);
  std::memcpy(out, block->data(), block->size());
  return TRUE;
}

BOOL VerQueryValue(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT len) {
  if (!block || !subBlock || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const BYTE* b = static_cast<const BYTE*>(block);
  const std::size_t limit = rd16(b);
  auto current = readNode(b, limit, 0);
  if (!current) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
  }
  std::string_view path = subBlock;
  while (!path.empty()) {
    const auto cut = path.find('\\');
    const std::string_view part = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    if (part.empty()) continue;
    std::optional<Node> found;
    for (std::size_t at = current->childrenOffset; at + 6 <= current->end;) {
      auto child = readNode(b, current->end, at);
      if (!child) break;
      if (ansiCompareText(utf16ToAnsi(child->key), part) == 0) {
        found = child;
        break;
      }
      at = (child->end + 3) & ~std::size_t{3};
    }
    if (!found) {
      SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
      return FALSE;
    }
    current = found;
  }
  if (current->valueBytes == 0) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
  }
  if (!current->text) {
    *buffer = const_cast<BYTE*>(b + current->valueOffset);
    if (len) *len = static_cast<UINT>(current->valueBytes);
    return TRUE;
  }
  std::u16string text;
  for (std::size_t i = 0; i + 1 < current->valueBytes; i += 2) {
    const WORD c = rd16(b + current->valueOffset + i);
    if (!c) break;
    text.push_back(static_cast<char16_t>(c));
  }
  // The ANSI answer is kept for the process, one copy per distinct text, so
  // it stays valid however the caller's block is allocated.
  const std::string ansiText = utf16ToAnsi(text);
  char* answer = const_cast<char*>(keepAnsi(ansiText));
  *buffer = answer;
  if (len) *len = static_cast<UINT>(ansiText.size() + 1);
  return TRUE;
}
