#include "platform/os/kernel/CodePage.h"

#include <cstring>
#include <vector>

#include "platform/os/kernel/LastError.h"

namespace qv::os {
namespace {

// Windows-1252's 0x80..0x9F; the unassigned bytes keep their C1 value.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Decoded {
  char32_t cp;
  size_t len;
  bool valid;
};

// One UTF-8 sequence at `i`. An invalid one has the length of its maximal
// valid prefix (at least one byte), so decoding resumes where a fresh
// sequence may start.
Decoded decodeUtf8(std::string_view s, size_t i) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) return {c, 1, true};
  size_t need;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    need = 1;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    need = 2;
    cp = c & 0x0F;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    need = 3;
    cp = c & 0x07;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return {0xFFFD, 1, false};
  }
  size_t k = 1;
  for (; k <= need; ++k) {
    if (i + k >= s.size()) return {0xFFFD, k, false};
    unsigned char t = b(i + k);
    unsigned char l = (k == 1) ? lo : 0x80, h = (k == 1) ? hi : 0xBF;
    if (t < l || t > h) return {0xFFFD, k, false};
    cp = (cp << 6) | (t & 0x3F);
  }
  return {cp, need + 1, true};
}


void appendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (cp >> 10));
    out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
  }
}

// Next code point of UTF-16 text; a lone surrogate comes back invalid.
Decoded decodeUtf16(std::u16string_view s, size_t i) {
  char16_t u = s[i];
  if (u >= 0xD800 && u <= 0xDBFF) {
    if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
      return {0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00), 2, true};
    return {0xFFFD, 1, false};
  }
  if (u >= 0xDC00 && u <= 0xDFFF) return {0xFFFD, 1, false};
  return {u, 1, true};
}

enum class Page { Ansi, Latin1, Ascii, Utf8, Unsupported };

Page pageOf(UINT cp) {
  switch (cp) {
    case CP_ACP:
    case CP_THREAD_ACP:
    case kAnsiCodePage:
      return Page::Ansi;
    case 28591:
      return Page::Latin1;
    case 20127:
      return Page::Ascii;
    case CP_UTF8:
      return Page::Utf8;
    default:
      return Page::Unsupported;
  }
}

// A single-byte page's code point for a byte, and back (-1: none).
char32_t byteToCp(Page p, unsigned char c) {
  if (p == Page::Ansi) return ansiToCodepoint(c);
  if (p == Page::Ascii) return c < 0x80 ? c : (c & 0x7F);
  return c;
}
int cpToByte(Page p, char32_t cp) {
  if (p == Page::Ansi) return codepointToAnsi(cp);
  if (p == Page::Ascii) return cp < 0x80 ? static_cast<int>(cp) : -1;
  return cp < 0x100 ? static_cast<int>(cp) : -1;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t ansiToCodepoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

int codepointToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

std::u16string ansiToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char c : s) out += static_cast<char16_t>(ansiToCodepoint(static_cast<unsigned char>(c)));
  return out;
}

std::string utf16ToAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    Decoded d = decodeUtf16(s, i);
    int b = d.valid ? codepointToAnsi(d.cp) : -1;
    out += b < 0 ? '?' : static_cast<char>(b);
    i += d.len;
  }
  return out;
}

std::string ansiToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char c : s) appendUtf8(out, ansiToCodepoint(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8ToAnsi(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    Decoded d = decodeUtf8(s, i);
    if (!d.valid) {
      out += s[i];  // a legacy single-byte name: keep the byte
      i += 1;
      continue;
    }
    int b = codepointToAnsi(d.cp);
    out += b < 0 ? '?' : static_cast<char>(b);
    i += d.len;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    Decoded d = decodeUtf16(s, i);
    appendUtf8(out, d.cp);
    i += d.len;
  }
  return out;
}

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    Decoded d = decodeUtf8(s, i);
    appendUtf16(out, d.cp);
    i += d.len;
  }
  return out;
}

std::string ansi(std::u8string_view utf8) {
  return utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

char ansiUpper(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return ch;
  }
}

char ansiLower(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  switch (c) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return ch;
  }
}

std::string ansiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ansiUpper(c);
  return out;
}

std::string ansiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ansiLower(c);
  return out;
}

int ansiCompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(ansiUpper(a[i]));
    unsigned char y = static_cast<unsigned char>(ansiUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace qv::os

using qv::os::Decoded;

namespace {

// Copies a converted result out by the platform's buffer rules: a zero
// destination size asks for the size; a too small buffer fails.
template <typename Str, typename Ch>
int deliver(const Str& out, Ch* dst, int dstLen) {
  if (dstLen == 0) return static_cast<int>(out.size());
  if (static_cast<size_t>(dstLen) < out.size()) {
    std::memcpy(dst, out.data(), static_cast<size_t>(dstLen) * sizeof(Ch));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, out.data(), out.size() * sizeof(Ch));
  return static_cast<int>(out.size());
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen) {
  using namespace qv::os;
  Page page = pageOf(codePage);
  if (page == Page::Unsupported || !src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst) ||
      (dst && static_cast<const void*>(dst) == static_cast<const void*>(src))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (page == Page::Utf8 ? (flags & ~MB_ERR_INVALID_CHARS) != 0
                         : (flags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  // -1: the text and its terminator.
  std::string_view in(src, srcLen == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcLen));
  std::u16string out;
  out.reserve(in.size());
  if (page == Page::Utf8) {
    for (size_t i = 0; i < in.size();) {
      Decoded d = decodeUtf8(in, i);
      if (!d.valid && (flags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      appendUtf16(out, d.cp);
      i += d.len;
    }
  } else {
    for (char c : in) out += static_cast<char16_t>(byteToCp(page, static_cast<unsigned char>(c)));
  }
  return deliver(out, dst, dstLen);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen, LPCSTR defaultChar,
                        BOOL* usedDefaultChar) {
  using namespace qv::os;
  Page page = pageOf(codePage);
  if (page == Page::Unsupported || !src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst) ||
      (dst && static_cast<const void*>(dst) == static_cast<const void*>(src))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (page == Page::Utf8) {
    if ((flags & ~WC_ERR_INVALID_CHARS) != 0) {
      SetLastError(ERROR_INVALID_FLAGS);
      return 0;
    }
    // UTF-8 has no default character: asking for one is an error.
    if (defaultChar || usedDefaultChar) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
  }
  size_t n = 0;
  if (srcLen == -1) {
    while (src[n]) ++n;
    ++n;
  } else {
    n = static_cast<size_t>(srcLen);
  }
  std::u16string_view in(src, n);
  std::string out;
  out.reserve(in.size());
  bool usedDefault = false;
  const char fallback = defaultChar ? defaultChar[0] : '?';
  for (size_t i = 0; i < in.size();) {
    Decoded d = decodeUtf16(in, i);
    i += d.len;
    if (page == Page::Utf8) {
      if (!d.valid && (flags & WC_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      appendUtf8(out, d.cp);
      continue;
    }
    int b = d.valid ? cpToByte(page, d.cp) : -1;
    if (b < 0) {
      out += fallback;
      usedDefault = true;
    } else {
      out += static_cast<char>(b);
    }
  }
  if (usedDefaultChar) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  return deliver(out, dst, dstLen);
}

UINT GetACP() { return qv::os::kAnsiCodePage; }
UINT GetOEMCP() { return 850; }
BOOL IsValidCodePage(UINT codePage) {
  return codePage != CP_ACP && codePage != CP_THREAD_ACP && qv::os::pageOf(codePage) != qv::os::Page::Unsupported;
}

int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

int lstrlenW(LPCWSTR s) {
  if (!s) return 0;
  int n = 0;
  while (s[n]) ++n;
  return n;
}

LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int max) {
  if (!dst || !src) return nullptr;
  if (max <= 0) return dst;
  int i = 0;
  for (; i < max - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = '\0';
  return dst;
}
