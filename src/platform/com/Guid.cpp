#include "platform/com/Guid.h"

#include <cstdio>

#include "platform/com/HResult.h"

namespace qv::com {

std::string guidToString(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(g.Data1),
                static_cast<unsigned>(g.Data2), static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2],
                g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

namespace {

int hexValue(unsigned c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// Works on any character type so that 8-bit and UTF-16 text share one parser.
template <class Ch>
std::optional<GUID> parse(const Ch* s, std::size_t n) {
  static constexpr char shape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (n != sizeof shape - 1) return std::nullopt;
  BYTE bytes[16];
  int nibbles = 0;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned c = static_cast<unsigned>(s[i]);
    if (shape[i] != 'X') {
      if (c != static_cast<unsigned char>(shape[i])) return std::nullopt;
      continue;
    }
    int v = hexValue(c);
    if (v < 0) return std::nullopt;
    if (nibbles % 2 == 0)
      bytes[nibbles / 2] = static_cast<BYTE>(v << 4);
    else
      bytes[nibbles / 2] = static_cast<BYTE>(bytes[nibbles / 2] | v);
    ++nibbles;
  }
  GUID g;
  g.Data1 = (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
  g.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
  g.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
  return g;
}

std::size_t length(LPCOLESTR s) {
  std::size_t n = 0;
  while (s[n]) ++n;
  return n;
}

}  // namespace

std::optional<GUID> guidFromString(const std::string& text) { return parse(text.data(), text.size()); }

}  // namespace qv::com

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax) {
  std::string s = qv::com::guidToString(guid);
  if (!buffer || cchMax < static_cast<int>(s.size() + 1)) return 0;
  for (std::size_t i = 0; i < s.size(); ++i) buffer[i] = static_cast<OLECHAR>(s[i]);
  buffer[s.size()] = 0;
  return static_cast<int>(s.size() + 1);
}

static HRESULT fromString(LPCOLESTR text, GUID* out, HRESULT bad) {
  if (!out) return E_INVALIDARG;
  *out = GUID_NULL;
  // No text is the null id, as the platform reads it.
  if (!text) return S_OK;
  auto g = qv::com::parse(text, qv::com::length(text));
  if (!g) return bad;
  *out = *g;
  return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) { return fromString(text, clsid, CO_E_CLASSSTRING); }

HRESULT IIDFromString(LPCOLESTR text, LPIID iid) { return fromString(text, iid, E_INVALIDARG); }
