#include "platform/os/kernel/Locale.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/LastError.h"

namespace {

struct LocaleData {
  LCID id;
  const char* abbrevLang;   // LOCALE_SABBREVLANGNAME
  const char* iso639;       // LOCALE_SISO639LANGNAME
  const char* iso3166;      // LOCALE_SISO3166CTRYNAME
  const char* engLanguage;  // LOCALE_SENGLANGUAGE
  const char* engCountry;   // LOCALE_SENGCOUNTRY
  const char* language;     // LOCALE_SLANGUAGE (in the German user interface)
  const char* nativeLang;   // LOCALE_SNATIVELANGNAME (UTF-8 here, ANSI when answered)
  const char* country;      // LOCALE_SCOUNTRY
  const char* countryCode;  // LOCALE_ICOUNTRY
  const char* decimal;
  const char* thousand;
  const char* list;
  const char* measure;  // 0 metric, 1 U.S.
  const char* dateSep;
  const char* shortDate;
  const char* longDate;
  const char* ansiCodePage;
  const char* oemCodePage;
};

// The locales the system meets: German in its variants, English, and a few
// neighbours so that a disc's language pages can be tried.
constexpr LocaleData kLocales[] = {
    {1031, "DEU", "de", "DE", "German", "Germany", "Deutsch (Deutschland)", "Deutsch", "Deutschland", "49", ",", ".",
     ";", "0", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "1252", "850"},
    {2055, "DES", "de", "CH", "German", "Switzerland", "Deutsch (Schweiz)", "Deutsch", "Schweiz", "41", ".", "'", ";",
     "0", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "1252", "850"},
    {3079, "DEA", "de", "AT", "German", "Austria", "Deutsch (\xC3\x96sterreich)", "Deutsch", "\xC3\x96sterreich", "43",
     ",", ".", ";", "0", ".", "dd.MM.yyyy", "dddd, dd. MMMM yyyy", "1252", "850"},
    {4103, "DEL", "de", "LU", "German", "Luxembourg", "Deutsch (Luxemburg)", "Deutsch", "Luxemburg", "352", ",", ".",
     ";", "0", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "1252", "850"},
    {5127, "DEC", "de", "LI", "German", "Liechtenstein", "Deutsch (Liechtenstein)", "Deutsch", "Liechtenstein", "41",
     ".", "'", ";", "0", ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "1252", "850"},
    {1033, "ENU", "en", "US", "English", "United States", "Englisch (USA)", "English", "Vereinigte Staaten", "1", ".",
     ",", ",", "1", "/", "M/d/yyyy", "dddd, MMMM dd, yyyy", "1252", "437"},
    {2057, "ENG", "en", "GB", "English", "United Kingdom",
     "Englisch (Gro\xC3\x9F"
     "britannien)",
     "English",
     "Gro\xC3\x9F"
     "britannien",
     "44", ".", ",", ",", "0", "/", "dd/MM/yyyy", "dd MMMM yyyy", "1252", "850"},
    {1036, "FRA", "fr", "FR", "French", "France", "Franz\xC3\xB6sisch (Frankreich)",
     "fran\xC3\xA7"
     "ais",
     "Frankreich", "33", ",", "\xC2\xA0", ";", "0", "/", "dd/MM/yyyy", "dddd d MMMM yyyy", "1252", "850"},
    {1040, "ITA", "it", "IT", "Italian", "Italy", "Italienisch (Italien)", "italiano", "Italien", "39", ",", ".", ";",
     "0", "/", "dd/MM/yyyy", "dddd d MMMM yyyy", "1252", "850"},
    {1034, "ESP", "es", "ES", "Spanish", "Spain", "Spanisch (Spanien)", "espa\xC3\xB1ol", "Spanien", "34", ",", ".",
     ";", "0", "/", "dd/MM/yyyy", "dddd, dd' de 'MMMM' de 'yyyy", "1252", "850"},
    {1043, "NLD", "nl", "NL", "Dutch", "Netherlands", "Niederl\xC3\xA4ndisch (Niederlande)", "Nederlands",
     "Niederlande", "31", ",", ".", ";", "0", "-", "d-M-yyyy", "dddd d MMMM yyyy", "1252", "850"},
};

const LocaleData* findLocale(LCID id) {
  for (const auto& l : kLocales)
    if (l.id == id) return &l;
  return nullptr;
}

// LCID -> the locale it names: the defaults, neutral sublanguages and the
// sort id resolved as the platform does.
LCID resolveLocale(LCID lcid, bool* isUserDefault) {
  const auto& p = qv::desktop::profile();
  *isUserDefault = false;
  LANGID lang = static_cast<LANGID>(lcid & 0xFFFF);
  if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT || lang == 0 ||
      lang == MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT) || lang == MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT)) {
    *isUserDefault = true;
    return p.lcid & 0xFFFF;
  }
  if (SUBLANGID(lang) == SUBLANG_NEUTRAL) lang = MAKELANGID(PRIMARYLANGID(lang), SUBLANG_DEFAULT);
  if (lang == (p.lcid & 0xFFFF)) *isUserDefault = true;
  return lang;
}

}  // namespace

LANGID GetUserDefaultLangID() { return qv::desktop::profile().langId; }
LANGID GetSystemDefaultLangID() { return qv::desktop::profile().langId; }
LCID GetUserDefaultLCID() { return qv::desktop::profile().lcid; }
LCID GetSystemDefaultLCID() { return qv::desktop::profile().lcid; }
LCID GetThreadLocale() { return qv::desktop::profile().lcid; }

BOOL IsValidLocale(LCID locale, DWORD) {
  bool user;
  return findLocale(resolveLocale(locale, &user)) ? TRUE : FALSE;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size) {
  if (size < 0 || (size > 0 && !data)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool user = false;
  const LocaleData* l = findLocale(resolveLocale(locale, &user));
  if (!l) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The profile plays the user's own settings: they apply to the user's
  // locale unless the caller asks for the locale's defaults.
  const bool overrides = user && !(type & LOCALE_NOUSEROVERRIDE);
  const auto& p = qv::desktop::profile();
  // A profile value left at its default says nothing about the user's choice,
  // so a profile that only switches the locale id gets that locale's values.
  static const qv::desktop::Profile defaults;
  auto pick = [&](const std::string& mine, const std::string& def, const char* table) {
    return overrides && !mine.empty() && mine != def ? mine : std::string(table);
  };
  const bool asNumber = (type & LOCALE_RETURN_NUMBER) != 0;
  type &= ~(LOCALE_NOUSEROVERRIDE | LOCALE_RETURN_NUMBER | 0x40000000u /* LOCALE_USE_CP_ACP */);
  std::string value;
  bool numeric = false;
  switch (type) {
    case LOCALE_ILANGUAGE: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(l->id));
      value = hex;
      numeric = true;
      break;
    }
    case LOCALE_SLANGUAGE:
      value = l->language;
      break;
    case LOCALE_SABBREVLANGNAME:
      value = pick(p.abbrevLang, defaults.abbrevLang, l->abbrevLang);
      break;
    case LOCALE_SNATIVELANGNAME:
      value = l->nativeLang;
      break;
    case LOCALE_ICOUNTRY:
      value = l->countryCode;
      numeric = true;
      break;
    case LOCALE_SCOUNTRY:
    case LOCALE_SNATIVECTRYNAME:
      value = l->country;
      break;
    case LOCALE_SABBREVCTRYNAME:
      value = l->iso3166;
      break;
    case LOCALE_SISO3166CTRYNAME:
      value = pick(p.country, defaults.country, l->iso3166);
      break;
    case LOCALE_SISO639LANGNAME:
      value = l->iso639;
      break;
    case LOCALE_SENGLANGUAGE:
      value = l->engLanguage;
      break;
    case LOCALE_SENGCOUNTRY:
      value = l->engCountry;
      break;
    case LOCALE_IDEFAULTLANGUAGE: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(l->id));
      value = hex;
      numeric = true;
      break;
    }
    case LOCALE_IDEFAULTCOUNTRY:
      value = l->countryCode;
      numeric = true;
      break;
    case LOCALE_IDEFAULTCODEPAGE:
      value = l->oemCodePage;
      numeric = true;
      break;
    case LOCALE_IDEFAULTANSICODEPAGE:
      value = l->ansiCodePage;
      numeric = true;
      break;
    case LOCALE_SLIST:
      value = l->list;
      break;
    case LOCALE_IMEASURE:
      value = pick(p.measure, defaults.measure, l->measure);
      numeric = true;
      break;
    case LOCALE_SDECIMAL:
      value = pick(p.decimal, defaults.decimal, l->decimal);
      break;
    case LOCALE_STHOUSAND:
      value = l->thousand;
      break;
    case LOCALE_SDATE:
      value = l->dateSep;
      break;
    case LOCALE_STIME:
      value = ":";
      break;
    case LOCALE_SSHORTDATE:
      value = l->shortDate;
      break;
    case LOCALE_SLONGDATE:
      value = l->longDate;
      break;
    default:
      SetLastError(ERROR_INVALID_FLAGS);
      return 0;
  }
  if (asNumber) {
    if (!numeric) {
      SetLastError(ERROR_INVALID_FLAGS);
      return 0;
    }
    // The answer is a DWORD; sizes count the characters it takes up.
    const int need = static_cast<int>(sizeof(DWORD));
    if (size == 0) return need;
    if (size < need) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    DWORD n = static_cast<DWORD>(
        std::strtoul(value.c_str(), nullptr, type == LOCALE_ILANGUAGE || type == LOCALE_IDEFAULTLANGUAGE ? 16 : 10));
    std::memcpy(data, &n, sizeof n);
    return need;
  }
  std::string text = qv::os::utf8ToAnsi(value);
  const int need = static_cast<int>(text.size()) + 1;
  if (size == 0) return need;
  if (size < need) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, text.c_str(), text.size() + 1);
  return need;
}
