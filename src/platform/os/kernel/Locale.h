// Locales: the user's and the system's default come from the desktop's
// profile; a table knows the locales the system meets by id.
#pragma once

#include "platform/os/Types.h"

#define LOCALE_SYSTEM_DEFAULT 0x0800u
#define LOCALE_USER_DEFAULT 0x0400u
#define LOCALE_NEUTRAL 0x0000u
#define LOCALE_INVARIANT 0x007Fu

#define LANG_NEUTRAL 0x00
#define LANG_GERMAN 0x07
#define LANG_ENGLISH 0x09
#define LANG_FRENCH 0x0C
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define SORT_DEFAULT 0x0

#define LOCALE_NOUSEROVERRIDE 0x80000000u
#define LOCALE_RETURN_NUMBER 0x20000000u

#define LOCALE_ILANGUAGE 0x0001u
#define LOCALE_SLANGUAGE 0x0002u
#define LOCALE_SABBREVLANGNAME 0x0003u
#define LOCALE_SNATIVELANGNAME 0x0004u
#define LOCALE_ICOUNTRY 0x0005u
#define LOCALE_SCOUNTRY 0x0006u
#define LOCALE_SABBREVCTRYNAME 0x0007u
#define LOCALE_SNATIVECTRYNAME 0x0008u
#define LOCALE_IDEFAULTLANGUAGE 0x0009u
#define LOCALE_IDEFAULTCOUNTRY 0x000Au
#define LOCALE_IDEFAULTCODEPAGE 0x000Bu
#define LOCALE_SLIST 0x000Cu
#define LOCALE_IMEASURE 0x000Du
#define LOCALE_SDECIMAL 0x000Eu
#define LOCALE_STHOUSAND 0x000Fu
#define LOCALE_SDATE 0x001Du
#define LOCALE_STIME 0x001Eu
#define LOCALE_SSHORTDATE 0x001Fu
#define LOCALE_SLONGDATE 0x0020u
#define LOCALE_SISO639LANGNAME 0x0059u
#define LOCALE_SISO3166CTRYNAME 0x005Au
#define LOCALE_SENGLANGUAGE 0x1001u
#define LOCALE_SENGCOUNTRY 0x1002u
#define LOCALE_IDEFAULTANSICODEPAGE 0x1004u

LANGID GetUserDefaultLangID();
LANGID GetSystemDefaultLangID();
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
LCID GetThreadLocale();
BOOL IsValidLocale(LCID locale, DWORD flags);

// The platform's rules: a size of 0 asks for the length with the
// terminator; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER; an
// unknown locale gives ERROR_INVALID_PARAMETER, an unknown type
// ERROR_INVALID_FLAGS. LOCALE_RETURN_NUMBER answers numeric types as a DWORD.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);
inline int GetLocaleInfo(LCID locale, LCTYPE type, LPSTR data, int size) {
  return GetLocaleInfoA(locale, type, data, size);
}
