// Text in the system's ANSI code page (Windows-1252) and its conversions to
// UTF-8 (host file names, HTML) and UTF-16 (COM, the browser), plus the
// platform's own conversion functions over the same tables.
#pragma once

#include <string>
#include <string_view>

#include "platform/os/Types.h"

#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_MACCP 2u
#define CP_THREAD_ACP 3u
#define CP_UTF7 65000u
#define CP_UTF8 65001u

#define MB_PRECOMPOSED 0x00000001u
#define MB_COMPOSITE 0x00000002u
#define MB_USEGLYPHCHARS 0x00000004u
#define MB_ERR_INVALID_CHARS 0x00000008u

#define WC_COMPOSITECHECK 0x00000200u
#define WC_DISCARDNS 0x00000010u
#define WC_SEPCHARS 0x00000020u
#define WC_DEFAULTCHAR 0x00000040u
#define WC_ERR_INVALID_CHARS 0x00000080u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

namespace qv::os {

// The ANSI code page of this desktop.
constexpr UINT kAnsiCodePage = 1252;

// Conversions between Windows-1252, UTF-8 and UTF-16. Characters that
// Windows-1252 cannot hold become "?". Bytes that are not valid UTF-8 are taken
// as Windows-1252 bytes, so host files named in a legacy encoding keep their
// names.
std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view utf16);
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
std::u16string utf8ToUtf16(std::string_view utf8);

// The Unicode code point of one Windows-1252 byte (the five unassigned bytes
// map to the C1 controls of the same value, as the platform's table does).
char32_t ansiToCodepoint(unsigned char c);
// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);
// The Windows-1252 byte of a code point, or -1 when it has none.
int codepointToAnsi(char32_t cp);

// The one helper through which German literals in sources pass:
// ansi(u8"Größe") gives the Windows-1252 bytes.
std::string ansi(std::u8string_view utf8);

// Case mapping of Windows-1252 letters (ASCII, the Latin-1 letters, Š Œ Ž Ÿ),
// as the platform's ANSI upper/lower case functions do it; ß and ÿ's
// lower-case partner rules follow the code page.
char ansiUpper(char c);
char ansiLower(char c);
std::string ansiUpperCase(std::string_view s);
std::string ansiLowerCase(std::string_view s);
// Case-insensitive comparison in Windows-1252: <0, 0, >0.
int ansiCompareText(std::string_view a, std::string_view b);

}  // namespace qv::os

// The platform's conversion functions. Code pages: CP_ACP, CP_THREAD_ACP and
// 1252 (Windows-1252), 28591 (ISO 8859-1), 20127 (US-ASCII), CP_UTF8.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen, LPCSTR defaultChar,
                        BOOL* usedDefaultChar);
UINT GetACP();
UINT GetOEMCP();
BOOL IsValidCodePage(UINT codePage);

// String helpers of the kernel.
int lstrlenA(LPCSTR s);
int lstrlenW(LPCWSTR s);
LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int max);
inline int lstrlen(LPCSTR s) { return lstrlenA(s); }
inline LPSTR lstrcpyn(LPSTR dst, LPCSTR src, int max) { return lstrcpynA(dst, src, max); }
