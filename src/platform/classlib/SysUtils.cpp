#include "platform/classlib/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/classlib/Filer.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/KernelObject.h"
#include "platform/os/kernel/Locale.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Resource.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/MessageBox.h"

#include <chrono>
#include <ctime>

// ---------------------------------------------------------------------------
// Exceptions.

Exception::Exception(const std::string& AFormat, std::initializer_list<TVarRec> Args)
    : FMessage(Format(AFormat, Args)) {}

void Abort() { throw EAbort("Operation aborted"); }

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(DWORD LastError) {
  if (LastError != 0) {
    EOSError e("System Error.  Code: %d.\r\n%s", {static_cast<long long>(LastError), SysErrorMessage(LastError)});
    e.SetErrorCode(LastError);
    throw e;
  }
  throw EOSError("A call to an OS function failed");
}

std::string SysErrorMessage(DWORD ErrorCode) {
  // The platform's own texts for the codes this system meets; others get
  // the text the platform gives for a code it does not know.
  struct Entry {
    DWORD code;
    const char* text;
  };
  static const Entry table[] = {
      {0, "The operation completed successfully."},
      {1, "Incorrect function."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {4, "The system cannot open the file."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough storage is available to process this command."},
      {11, "An attempt was made to load a program with an incorrect format."},
      {15, "The system cannot find the drive specified."},
      {18, "There are no more files."},
      {32, "The process cannot access the file because it is being used by another process."},
      {38, "Reached the end of the file."},
      {50, "The request is not supported."},
      {80, "The file exists."},
      {87, "The parameter is incorrect."},
      {109, "The pipe has been ended."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {126, "The specified module could not be found."},
      {127, "The specified procedure could not be found."},
      {145, "The directory is not empty."},
      {183, "Cannot create a file when that file already exists."},
      {203, "The system could not find the environment option that was entered."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {1400, "Invalid window handle."},
      {1401, "Invalid menu handle."},
      {1407, "Cannot find window class."},
      {1410, "Class already exists."},
      {1812, "The specified image file did not contain a resource section."},
      {1813, "The specified resource type cannot be found in the image file."},
      {1814, "The specified resource name cannot be found in the image file."},
      {1815, "The specified resource language ID cannot be found in the image file."},
      {1009, "The configuration registry database is corrupt."},
      {1010, "The configuration registry key is invalid."},
      {1012, "The configuration registry key could not be read."},
      {1013, "The configuration registry key could not be written."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
  };
  for (const Entry& e : table)
    if (e.code == ErrorCode) return e.text;
  return "";
}

// ---------------------------------------------------------------------------
// Integers.

std::string IntToStr(std::int64_t Value) { return std::to_string(Value); }

std::string qv::classlib::hexDigits(std::uint64_t Bits, int Digits) {
  static const char hex[] = "0123456789ABCDEF";
  std::uint64_t v = Bits;
  std::string out;
  do {
    out.insert(out.begin(), hex[v & 0xF]);
    v >>= 4;
  } while (v);
  if (Digits > 32) Digits = 32;
  if (static_cast<int>(out.size()) < Digits) out.insert(0, static_cast<std::size_t>(Digits) - out.size(), '0');
  return out;
}

namespace {

// The class library's Val for integers: leading blanks, a sign, "$" / "x" /
// "0x" for hexadecimal, then digits to the end. Hexadecimal may use the whole
// unsigned range of the type (so "$FFFFFFFF" is -1 for 32 bits).
bool parseInteger(const std::string& s, int bits, std::int64_t& out) {
  std::size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  const std::uint64_t typeMask = bits == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << bits) - 1);
  std::uint64_t v = 0;
  for (; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    if (hex) {
      if (v > (typeMask >> 4)) return false;
      v = (v << 4) | d;
    } else {
      // Magnitude limit: 2^(bits-1) for negative, 2^(bits-1)-1 for positive.
      const std::uint64_t limit = (std::uint64_t{1} << (bits - 1)) - (neg ? 0 : 1);
      if (v > (limit - d) / 10) return false;
      v = v * 10 + d;
    }
  }
  if (hex) {
    // Reinterpret in the type's width, then apply the sign.
    std::int64_t sv;
    if (bits == 64) {
      sv = static_cast<std::int64_t>(v);
    } else {
      sv = static_cast<std::int64_t>(v);
      if (v & (std::uint64_t{1} << (bits - 1))) sv -= static_cast<std::int64_t>(std::uint64_t{1} << bits);
    }
    out = neg ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(sv)) : sv;
    if (bits < 64) {
      // Keep the result in the type's range, as the type would wrap it.
      std::int64_t mod = static_cast<std::int64_t>(std::uint64_t{1} << bits);
      std::int64_t half = mod / 2;
      if (out >= half) out -= mod;
      if (out < -half) out += mod;
    }
    return true;
  }
  out = neg ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
  return true;
}

[[noreturn]] void invalidInteger(const std::string& s) { throw EConvertError("'%s' is not a valid integer value", {s}); }

}  // namespace

bool TryStrToInt(const std::string& S, int& Value) {
  std::int64_t v;
  if (!parseInteger(S, 32, v)) return false;
  Value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const std::string& S, std::int64_t& Value) { return parseInteger(S, 64, Value); }

int StrToInt(const std::string& S) {
  int v;
  if (!TryStrToInt(S, v)) invalidInteger(S);
  return v;
}

std::int64_t StrToInt64(const std::string& S) {
  std::int64_t v;
  if (!TryStrToInt64(S, v)) invalidInteger(S);
  return v;
}

int StrToIntDef(const std::string& S, int Default) {
  int v;
  return TryStrToInt(S, v) ? v : Default;
}

std::int64_t StrToInt64Def(const std::string& S, std::int64_t Default) {
  std::int64_t v;
  return TryStrToInt64(S, v) ? v : Default;
}

// ---------------------------------------------------------------------------
// Floats.

namespace {
char localeChar(LCTYPE type, char fallback) {
  char buf[8] = {};
  return GetLocaleInfo(LOCALE_USER_DEFAULT, type, buf, sizeof buf) > 1 ? buf[0] : fallback;
}
}  // namespace

char DecimalSeparator = localeChar(LOCALE_SDECIMAL, '.');
char ThousandSeparator = localeChar(LOCALE_STHOUSAND, ',');

void GetFormatSettings() {
  DecimalSeparator = localeChar(LOCALE_SDECIMAL, '.');
  ThousandSeparator = localeChar(LOCALE_STHOUSAND, ',');
}

namespace {

// A finite value as decimal digits: value = 0.digits * 10^exp. The
// class library rounds on these decimal digits, halves away from zero, so
// 2.5 shows as "3" with no decimals (not as the binary rounding's "2").
struct Decimal {
  std::string digits;
  int exp = 0;
  bool neg = false;
};

Decimal toDecimal(double v) {
  Decimal d;
  d.neg = std::signbit(v);
  if (v == 0) {
    d.digits = "0";
    return d;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.16e", std::fabs(v));
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits += *p;
  d.exp = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
  return d;
}

bool isZero(const Decimal& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

// Keeps `keep` significant digits.
void roundDecimal(Decimal& d, int keep) {
  if (isZero(d)) return;
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits = "0";
    d.exp = 0;
    return;
  }
  bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') d.digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      d.digits.insert(0, 1, '1');
      ++d.exp;
    } else {
      ++d.digits[static_cast<std::size_t>(i)];
    }
  }
  if (d.digits.empty() || isZero(d)) {
    d.digits = "0";
    d.exp = 0;
  }
}

void stripTrailingZeros(Decimal& d) {
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
}

std::string specialFloat(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

// The class library's general format: fixed while the decimal point falls
// within Precision digits and the value is not below 1E-5, else scientific
// with the shortest exponent.
std::string generalFloat(double v, int precision) {
  if (!std::isfinite(v)) return specialFloat(v);
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  Decimal d = toDecimal(v);
  roundDecimal(d, precision);
  stripTrailingZeros(d);
  if (isZero(d)) return "0";
  const std::string& digits = d.digits;
  const int exp = d.exp;
  std::string out = d.neg ? "-" : "";
  if (exp > precision || exp < -3) {
    out += digits[0];
    if (digits.size() > 1) {
      out += DecimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    int e = exp - 1;
    if (e < 0) out += '-';
    out += std::to_string(std::abs(e));
    return out;
  }
  if (exp <= 0) {
    out += '0';
    out += DecimalSeparator;
    out.append(static_cast<std::size_t>(-exp), '0');
    out += digits;
    return out;
  }
  if (static_cast<int>(digits.size()) <= exp) {
    out += digits;
    out.append(static_cast<std::size_t>(exp) - digits.size(), '0');
    return out;
  }
  out += digits.substr(0, static_cast<std::size_t>(exp));
  out += DecimalSeparator;
  out += digits.substr(static_cast<std::size_t>(exp));
  return out;
}

std::string fixedFloat(double v, int decimals, bool thousands) {
  if (!std::isfinite(v)) return specialFloat(v);
  if (decimals < 0) decimals = 0;
  if (decimals > 18) decimals = 18;
  Decimal d = toDecimal(v);
  roundDecimal(d, d.exp + decimals);
  auto digitAt = [&d](int i) {  // i-th digit counted from the decimal point's left
    return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[static_cast<std::size_t>(i)] : '0';
  };
  std::string intPart;
  for (int i = 0; i < d.exp; ++i) intPart += digitAt(i);
  if (intPart.empty()) intPart = "0";
  std::string frac;
  for (int i = 0; i < decimals; ++i) frac += digitAt(d.exp + i);
  if (thousands) {
    std::string grouped;
    int n = static_cast<int>(intPart.size());
    for (int i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) grouped += ThousandSeparator;
      grouped += intPart[static_cast<std::size_t>(i)];
    }
    intPart = grouped;
  }
  // A value that rounds to zero shows no sign.
  std::string out = (d.neg && !isZero(d)) ? "-" : "";
  out += intPart;
  if (!frac.empty()) {
    out += DecimalSeparator;
    out += frac;
  }
  return out;
}

// "-d.dddE+ddd": Precision significant digits, at least three exponent digits.
std::string scientificFloat(double v, int precision) {
  if (!std::isfinite(v)) return specialFloat(v);
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  Decimal d = toDecimal(v);
  roundDecimal(d, precision);
  int ex = isZero(d) ? 0 : d.exp - 1;
  d.digits.resize(static_cast<std::size_t>(precision), '0');
  std::string out = d.neg ? "-" : "";
  out += d.digits[0];
  if (precision > 1) {
    out += DecimalSeparator;
    out += d.digits.substr(1);
  }
  char eb[16];
  std::snprintf(eb, sizeof eb, "E%c%03d", ex < 0 ? '-' : '+', std::abs(ex));
  return out + eb;
}

}  // namespace

std::string FloatToStr(double Value) { return generalFloat(Value, 15); }

bool TryStrToFloat(const std::string& S, double& Value) {
  std::string t = Trim(S);
  std::string c;
  std::size_t i = 0, n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) c += t[i++];
  bool digits = false;
  while (i < n && t[i] >= '0' && t[i] <= '9') {
    c += t[i++];
    digits = true;
  }
  if (i < n && t[i] == DecimalSeparator) {
    c += '.';
    ++i;
    while (i < n && t[i] >= '0' && t[i] <= '9') {
      c += t[i++];
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) c += t[i++];
    bool ed = false;
    while (i < n && t[i] >= '0' && t[i] <= '9') {
      c += t[i++];
      ed = true;
    }
    if (!ed) return false;
  }
  if (i != n) return false;
  double v = std::strtod(c.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  Value = v;
  return true;
}

TDateTime EncodeTime(WORD Hour, WORD Min, WORD Sec, WORD MSec) {
  if (Hour > 23 || Min > 59 || Sec > 59 || MSec > 999) throw EConvertError("Invalid argument to time encode");
  return (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / 86400000.0;
}

void DecodeTime(TDateTime DateTime, WORD& Hour, WORD& Min, WORD& Sec, WORD& MSec) {
  constexpr long long kMSecsPerDay = 86400000;
  long long ms = std::llround(std::fabs(DateTime - std::trunc(DateTime)) * kMSecsPerDay) % kMSecsPerDay;
  MSec = static_cast<WORD>(ms % 1000);
  ms /= 1000;
  Sec = static_cast<WORD>(ms % 60);
  ms /= 60;
  Min = static_cast<WORD>(ms % 60);
  Hour = static_cast<WORD>(ms / 60);
}

double StrToFloat(const std::string& S) {
  double v;
  if (!TryStrToFloat(S, v)) throw EConvertError("'%s' is not a valid floating point value", {S});
  return v;
}

double StrToFloatDef(const std::string& S, double Default) {
  double v;
  return TryStrToFloat(S, v) ? v : Default;
}

// ---------------------------------------------------------------------------
// Format.

namespace {

[[noreturn]] void formatError(const std::string& fmt) {
  throw EConvertError("Format '%s' invalid or incompatible with argument", {fmt});
}
[[noreturn]] void argumentMissing(const std::string& fmt) { throw EConvertError("No argument for format '%s'", {fmt}); }

std::string formatImpl(const std::string& fmt, const TVarRec* args, int argCount) {
  std::string out;
  int argIndex = 0;
  std::size_t i = 0, n = fmt.size();
  auto next = [&]() -> const TVarRec& {
    if (argIndex >= argCount) argumentMissing(fmt);
    return args[argIndex++];
  };
  // A number in the format or "*" taking an integer argument.
  auto number = [&](int& value) -> bool {
    if (i < n && fmt[i] == '*') {
      ++i;
      const TVarRec& a = next();
      if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtUnsigned) formatError(fmt);
      value = static_cast<int>(a.VInteger);
      return true;
    }
    if (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
      long long v = 0;
      while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
        v = v * 10 + (fmt[i] - '0');
        if (v > 0x7FFFFFF) formatError(fmt);
        ++i;
      }
      value = static_cast<int>(v);
      return true;
    }
    return false;
  };
  while (i < n) {
    char ch = fmt[i];
    if (ch != '%') {
      out += ch;
      ++i;
      continue;
    }
    ++i;
    if (i < n && fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // [index:][-][width][.prec]type
    bool left = false;
    int width = -1, prec = -1;
    int first = -1;
    bool haveFirst = number(first);
    if (haveFirst && i < n && fmt[i] == ':') {
      ++i;
      if (first < 0) formatError(fmt);
      argIndex = first;
      haveFirst = false;
    }
    if (!haveFirst) {
      if (i < n && fmt[i] == '-') {
        left = true;
        ++i;
      }
      number(width);
    } else {
      width = first;
    }
    if (i < n && fmt[i] == '.') {
      ++i;
      if (!number(prec)) prec = 0;
    }
    if (i >= n) formatError(fmt);
    char type = static_cast<char>(fmt[i] & 0xDF);  // upper case
    ++i;
    const TVarRec& a = next();
    bool isInt = a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtUnsigned;
    std::string s;
    switch (type) {
      case 'D': {
        if (!isInt) formatError(fmt);
        std::uint64_t mag;
        bool neg = false;
        if (a.VType == TVarRec::vtInteger && a.VInteger < 0) {
          neg = true;
          mag = 0 - static_cast<std::uint64_t>(a.VInteger);
        } else {
          mag = static_cast<std::uint64_t>(a.VInteger);
        }
        s = std::to_string(mag);
        if (prec > 0 && static_cast<int>(s.size()) < prec) s.insert(0, static_cast<std::size_t>(prec) - s.size(), '0');
        if (neg) s.insert(0, 1, '-');
        break;
      }
      case 'U':
      case 'X': {
        if (!isInt) formatError(fmt);
        std::uint64_t v = static_cast<std::uint64_t>(a.VInteger);
        // A negative 32-bit integer shows as its unsigned 32-bit value.
        if (a.VType == TVarRec::vtInteger && a.VInteger < 0 && a.VInteger >= -2147483648LL) v &= 0xFFFFFFFFu;
        s = type == 'U' ? std::to_string(v) : qv::classlib::hexDigits(v, 0);
        if (prec > 0 && static_cast<int>(s.size()) < prec) s.insert(0, static_cast<std::size_t>(prec) - s.size(), '0');
        break;
      }
      case 'E':
        if (a.VType != TVarRec::vtExtended) formatError(fmt);
        s = scientificFloat(a.VExtended, prec < 0 ? 15 : prec);
        break;
      case 'F':
      case 'N':
        if (a.VType != TVarRec::vtExtended) formatError(fmt);
        s = fixedFloat(a.VExtended, prec < 0 ? 2 : prec, type == 'N');
        break;
      case 'G':
        if (a.VType != TVarRec::vtExtended) formatError(fmt);
        s = generalFloat(a.VExtended, prec < 0 ? 15 : prec);
        break;
      case 'S':
        if (a.VType != TVarRec::vtString && a.VType != TVarRec::vtChar) formatError(fmt);
        s = a.VString;
        if (prec >= 0 && static_cast<int>(s.size()) > prec) s.resize(static_cast<std::size_t>(prec));
        break;
      case 'P':
        if (a.VType != TVarRec::vtPointer) formatError(fmt);
        s = qv::classlib::hexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer), 8);
        break;
      default:
        formatError(fmt);
    }
    if (width > 0 && static_cast<int>(s.size()) < width) {
      std::string pad(static_cast<std::size_t>(width) - s.size(), ' ');
      s = left ? s + pad : pad + s;
    }
    out += s;
  }
  return out;
}

}  // namespace

std::string Format(const std::string& AFormat, std::initializer_list<TVarRec> Args) {
  return formatImpl(AFormat, Args.begin(), static_cast<int>(Args.size()));
}

std::string Format(const std::string& AFormat, const TVarRecs& Args) {
  return formatImpl(AFormat, Args.data(), static_cast<int>(Args.size()));
}

// ---------------------------------------------------------------------------
// Text.

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

std::string TrimLeft(const std::string& S) {
  std::size_t i = 0;
  while (i < S.size() && static_cast<unsigned char>(S[i]) <= ' ') ++i;
  return S.substr(i);
}

std::string TrimRight(const std::string& S) {
  std::size_t n = S.size();
  while (n > 0 && static_cast<unsigned char>(S[n - 1]) <= ' ') --n;
  return S.substr(0, n);
}

std::string UpperCase(const std::string& S) {
  std::string r = S;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

std::string LowerCase(const std::string& S) {
  std::string r = S;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

char AnsiUpperChar(char C) {
  unsigned char c = static_cast<unsigned char>(C);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return C;
  }
}

char AnsiLowerChar(char C) {
  unsigned char c = static_cast<unsigned char>(C);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  switch (c) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return C;
  }
}

std::string AnsiUpperCase(const std::string& S) {
  std::string r = S;
  for (char& c : r) c = AnsiUpperChar(c);
  return r;
}

std::string AnsiLowerCase(const std::string& S) {
  std::string r = S;
  for (char& c : r) c = AnsiLowerChar(c);
  return r;
}

namespace {
int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

template <class Fold>
int compareFolded(const std::string& a, const std::string& b, Fold fold) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(fold(a[i]));
    int cb = static_cast<unsigned char>(fold(b[i]));
    if (ca != cb) return ca - cb;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char identity(char c) { return c; }
}  // namespace

int CompareStr(const std::string& S1, const std::string& S2) { return compareFolded(S1, S2, identity); }
int CompareText(const std::string& S1, const std::string& S2) { return compareFolded(S1, S2, asciiUpper); }
bool SameText(const std::string& S1, const std::string& S2) { return CompareText(S1, S2) == 0; }
bool SameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }

int AnsiCompareText(const std::string& S1, const std::string& S2) {
  return sign(compareFolded(S1, S2, AnsiUpperChar));
}

int AnsiCompareStr(const std::string& S1, const std::string& S2) {
  int r = AnsiCompareText(S1, S2);
  if (r != 0) return r;
  // Same letters: the first difference in case decides, lower case first.
  for (std::size_t i = 0; i < S1.size(); ++i) {
    if (S1[i] == S2[i]) continue;
    bool lower1 = AnsiUpperChar(S1[i]) != S1[i];
    return lower1 ? -1 : 1;
  }
  return 0;
}

bool AnsiSameText(const std::string& S1, const std::string& S2) { return AnsiCompareText(S1, S2) == 0; }
bool AnsiSameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }

int Pos(const std::string& Substr, const std::string& S) {
  if (Substr.empty()) return 0;
  std::size_t p = S.find(Substr);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

int AnsiPos(const std::string& Substr, const std::string& S) { return Pos(Substr, S); }

std::string Copy(const std::string& S, int Index, int Count) {
  int len = static_cast<int>(S.size());
  if (Index < 1) Index = 1;
  if (Count <= 0 || Index > len) return "";
  int avail = len - Index + 1;
  if (Count > avail) Count = avail;
  return S.substr(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void Delete(std::string& S, int Index, int Count) {
  int len = static_cast<int>(S.size());
  if (Index < 1 || Index > len || Count <= 0) return;
  int avail = len - Index + 1;
  if (Count > avail) Count = avail;
  S.erase(static_cast<std::size_t>(Index - 1), static_cast<std::size_t>(Count));
}

void Insert(const std::string& Source, std::string& S, int Index) {
  int len = static_cast<int>(S.size());
  if (Index < 1) Index = 1;
  if (Index > len + 1) Index = len + 1;
  S.insert(static_cast<std::size_t>(Index - 1), Source);
}

int LastDelimiter(const std::string& Delimiters, const std::string& S) {
  std::size_t p = S.find_last_of(Delimiters);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string StringOfChar(char C, int Count) { return Count > 0 ? std::string(static_cast<std::size_t>(Count), C) : ""; }

std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          TReplaceFlags Flags) {
  if (OldPattern.empty()) return S;
  const bool ignoreCase = Flags.Contains(rfIgnoreCase);
  const std::string hay = ignoreCase ? AnsiUpperCase(S) : S;
  const std::string needle = ignoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
  std::string out;
  std::size_t from = 0;
  while (true) {
    std::size_t p = hay.find(needle, from);
    if (p == std::string::npos) break;
    out.append(S, from, p - from);
    out += NewPattern;
    from = p + needle.size();
    if (!Flags.Contains(rfReplaceAll)) break;
  }
  out.append(S, from, std::string::npos);
  return out;
}

std::string QuotedStr(const std::string& S) { return AnsiQuotedStr(S, '\''); }

std::string AnsiQuotedStr(const std::string& S, char Quote) {
  std::string r(1, Quote);
  for (char c : S) {
    r += c;
    if (c == Quote) r += c;
  }
  r += Quote;
  return r;
}

std::string AnsiExtractQuotedStr(const char*& P, char Quote) {
  std::string r;
  if (!P || *P != Quote) return r;
  ++P;
  while (*P) {
    if (*P == Quote) {
      ++P;
      if (*P != Quote) return r;
    }
    r += *P++;
  }
  return r;
}

std::string AnsiDequotedStr(const std::string& S, char Quote) {
  if (S.empty() || S[0] != Quote) return S;
  std::string r;
  std::size_t i = 1;
  while (i < S.size()) {
    if (S[i] == Quote) {
      if (i + 1 < S.size() && S[i + 1] == Quote) {
        r += Quote;
        i += 2;
        continue;
      }
      // A closing quote before the end leaves the text as it was.
      if (i + 1 != S.size()) return S;
      return r;
    }
    r += S[i++];
  }
  // No closing quote: the text is not a quoted string.
  return S;
}

bool IsValidIdent(const std::string& Ident) {
  if (Ident.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(Ident[0])) return false;
  for (char c : Ident)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index) {
  if (Index < 1 || Index > static_cast<int>(S.size())) return false;
  return Delimiters.find(S[static_cast<std::size_t>(Index - 1)]) != std::string::npos;
}

std::string AdjustLineBreaks(const std::string& S) {
  std::string r;
  for (std::size_t i = 0; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\r' || c == '\n') {
      r += "\r\n";
      if (c == '\r' && i + 1 < S.size() && S[i + 1] == '\n') ++i;
    } else {
      r += c;
    }
  }
  return r;
}

// ---------------------------------------------------------------------------
// File names.

namespace {
const char* const kPathDelims = "\\:";
}

std::string ExtractFilePath(const std::string& FileName) {
  return Copy(FileName, 1, LastDelimiter(kPathDelims, FileName));
}

std::string ExtractFileDir(const std::string& FileName) {
  int i = LastDelimiter(kPathDelims, FileName);
  if (i > 1 && FileName[static_cast<std::size_t>(i - 1)] == '\\' && !IsDelimiter(kPathDelims, FileName, i - 1)) --i;
  return Copy(FileName, 1, i);
}

std::string ExtractFileName(const std::string& FileName) {
  return Copy(FileName, LastDelimiter(kPathDelims, FileName) + 1);
}

std::string ExtractFileExt(const std::string& FileName) {
  int i = LastDelimiter(".\\:", FileName);
  if (i > 0 && FileName[static_cast<std::size_t>(i - 1)] == '.') return Copy(FileName, i);
  return "";
}

std::string ExtractFileDrive(const std::string& FileName) {
  if (FileName.size() >= 2 && FileName[1] == ':') return FileName.substr(0, 2);
  if (FileName.size() >= 2 && FileName[0] == '\\' && FileName[1] == '\\') {
    // "\\server\share": up to the separator after the share.
    std::size_t server = FileName.find('\\', 2);
    if (server == std::string::npos) return FileName;
    std::size_t share = FileName.find('\\', server + 1);
    return share == std::string::npos ? FileName : FileName.substr(0, share);
  }
  return "";
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  int i = LastDelimiter(".\\:", FileName);
  if (i == 0 || FileName[static_cast<std::size_t>(i - 1)] != '.') i = static_cast<int>(FileName.size()) + 1;
  return Copy(FileName, 1, i - 1) + Extension;
}

bool IsPathDelimiter(const std::string& S, int Index) {
  return Index > 0 && Index <= static_cast<int>(S.size()) && S[static_cast<std::size_t>(Index - 1)] == '\\';
}

std::string IncludeTrailingBackslash(const std::string& S) { return IncludeTrailingPathDelimiter(S); }

std::string IncludeTrailingPathDelimiter(const std::string& S) {
  return IsPathDelimiter(S, static_cast<int>(S.size())) ? S : S + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& S) { return ExcludeTrailingPathDelimiter(S); }

std::string ExcludeTrailingPathDelimiter(const std::string& S) {
  return IsPathDelimiter(S, static_cast<int>(S.size())) ? S.substr(0, S.size() - 1) : S;
}

namespace {
std::vector<std::string> splitFolders(const std::string& path) {
  // path is a folder with its trailing "\" and without its drive.
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t p = path.find('\\', start);
    if (p == std::string::npos) p = path.size();
    parts.push_back(path.substr(start, p - start));
    start = p + 1;
  }
  return parts;
}
}  // namespace

std::string ExtractRelativePath(const std::string& BaseName, const std::string& DestName) {
  std::string baseDrive = ExtractFileDrive(BaseName), destDrive = ExtractFileDrive(DestName);
  if (!AnsiSameText(baseDrive, destDrive)) return DestName;
  std::vector<std::string> base = splitFolders(ExtractFilePath(BaseName).substr(baseDrive.size()));
  std::vector<std::string> dest = splitFolders(ExtractFilePath(DestName).substr(destDrive.size()));
  std::size_t common = 0;
  while (common < base.size() && common < dest.size() && AnsiSameText(base[common], dest[common])) ++common;
  std::string r;
  for (std::size_t j = common; j < base.size(); ++j) r += "..\\";
  for (std::size_t j = common; j < dest.size(); ++j) r += dest[j] + "\\";
  return r + ExtractFileName(DestName);
}

// ---------------------------------------------------------------------------
// Files and folders.

std::string ExpandFileName(const std::string& FileName) {
  std::vector<char> buf(MAX_PATH + 1);
  LPSTR part = nullptr;
  DWORD n = GetFullPathName(FileName.c_str(), static_cast<DWORD>(buf.size()), buf.data(), &part);
  if (n >= buf.size()) {
    buf.resize(n + 1);
    n = GetFullPathName(FileName.c_str(), static_cast<DWORD>(buf.size()), buf.data(), &part);
  }
  if (n == 0 || n >= buf.size()) return "";
  return std::string(buf.data(), n);
}

bool FileExists(const std::string& FileName) {
  DWORD a = GetFileAttributes(FileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& Directory) {
  DWORD a = GetFileAttributes(Directory.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(const std::string& FileName) { return DeleteFileA(FileName.c_str()) != FALSE; }
bool RenameFile(const std::string& OldName, const std::string& NewName) {
  return MoveFile(OldName.c_str(), NewName.c_str()) != FALSE;
}
bool CreateDir(const std::string& Dir) { return CreateDirectory(Dir.c_str(), nullptr) != FALSE; }
bool RemoveDir(const std::string& Dir) { return RemoveDirectory(Dir.c_str()) != FALSE; }

bool ForceDirectories(const std::string& Dir) {
  if (Dir.empty()) throw EInOutError("Unable to create directory");
  // Both separators count here, as the platform's file functions take both
  // and host paths ("/a/b") are valid names on this desktop.
  std::string d = Dir;
  while (d.size() > 1 && (d.back() == '\\' || d.back() == '/')) d.pop_back();
  if (d.size() < 3 || DirectoryExists(d)) return true;
  std::size_t cut = d.find_last_of("\\/:");
  if (cut == std::string::npos) return CreateDir(d);
  std::string parent = d.substr(0, cut + 1);
  if (parent == d) return true;
  bool parentOk = parent == "/" || parent.size() < 3 || ForceDirectories(parent);
  return parentOk && (CreateDir(d) || DirectoryExists(d));
}

std::string GetCurrentDir() {
  DWORD n = GetCurrentDirectory(0, nullptr);
  std::vector<char> buf(n + 1);
  n = GetCurrentDirectory(static_cast<DWORD>(buf.size()), buf.data());
  return n < buf.size() ? std::string(buf.data(), n) : std::string();
}

bool SetCurrentDir(const std::string& Dir) { return SetCurrentDirectory(Dir.c_str()) != FALSE; }

int FileAge(const std::string& FileName) {
  WIN32_FIND_DATA fd{};
  HANDLE h = FindFirstFile(FileName.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  FindClose(h);
  if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  // FILETIME counts 100 ns since 1601 in UTC; the DOS form is local time.
  std::uint64_t ticks = (static_cast<std::uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                        fd.ftLastWriteTime.dwLowDateTime;
  std::time_t t = static_cast<std::time_t>(ticks / 10000000ULL) - 11644473600LL;
  std::tm tm{};
  if (!localtime_r(&t, &tm) || tm.tm_year < 80) return -1;
  unsigned date = static_cast<unsigned>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  unsigned time = static_cast<unsigned>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return static_cast<int>((date << 16) | time);
}

HANDLE FileOpen(const std::string& FileName, int Mode) {
  static const DWORD access[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
  static const DWORD share[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  int a = Mode & 3;
  int sh = (Mode & 0xF0) >> 4;
  if (a > 2 || sh > 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFile(FileName.c_str(), access[a], share[sh], nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE FileCreate(const std::string& FileName) {
  return CreateFile(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
}

int FileRead(HANDLE Handle, void* Buffer, int Count) {
  DWORD got = 0;
  if (Count < 0 || !ReadFile(Handle, Buffer, static_cast<DWORD>(Count), &got, nullptr)) return -1;
  return static_cast<int>(got);
}

int FileWrite(HANDLE Handle, const void* Buffer, int Count) {
  DWORD put = 0;
  if (Count < 0 || !WriteFile(Handle, Buffer, static_cast<DWORD>(Count), &put, nullptr)) return -1;
  return static_cast<int>(put);
}

std::int64_t FileSeek(HANDLE Handle, std::int64_t Offset, int Origin) {
  LONG high = static_cast<LONG>(Offset >> 32);
  SetLastError(0);
  DWORD low = SetFilePointer(Handle, static_cast<LONG>(Offset & 0xFFFFFFFF), &high, static_cast<DWORD>(Origin));
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != 0) return -1;
  return (static_cast<std::int64_t>(high) << 32) | low;
}

void FileClose(HANDLE Handle) { CloseHandle(Handle); }

int ParamCount() {
  std::vector<std::string> params = qv::classlib::splitParams(StrPas(GetCommandLine()));
  return params.empty() ? 0 : static_cast<int>(params.size()) - 1;
}

std::string ParamStr(int Index) {
  if (Index == 0) {
    std::vector<char> buf(32768);
    DWORD n = GetModuleFileName(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    return std::string(buf.data(), std::min<DWORD>(n, static_cast<DWORD>(buf.size()) - 1));
  }
  std::vector<std::string> params = qv::classlib::splitParams(StrPas(GetCommandLine()));
  if (Index < 0 || Index >= static_cast<int>(params.size())) return "";
  return params[static_cast<std::size_t>(Index)];
}

// ---------------------------------------------------------------------------
// Command line.

namespace qv::classlib {

std::vector<std::string> splitParams(const std::string& CommandLine) {
  std::vector<std::string> out;
  std::size_t i = 0, n = CommandLine.size();
  auto at = [&](std::size_t k) { return k < n ? CommandLine[k] : '\0'; };
  while (true) {
    // Blanks and empty quote pairs before an argument are skipped.
    while (true) {
      while (at(i) != '\0' && static_cast<unsigned char>(at(i)) <= ' ') ++i;
      if (at(i) == '"' && at(i + 1) == '"')
        i += 2;
      else
        break;
    }
    if (at(i) == '\0') break;
    std::string arg;
    while (i < n && CommandLine[i] != '\0' && static_cast<unsigned char>(CommandLine[i]) > ' ') {
      if (CommandLine[i] == '"') {
        ++i;
        while (i < n && CommandLine[i] != '\0' && CommandLine[i] != '"') arg += CommandLine[i++];
        if (i < n && CommandLine[i] == '"') ++i;
      } else {
        arg += CommandLine[i++];
      }
    }
    // An argument that comes out empty (a lone quote) ends the list.
    if (arg.empty()) break;
    out.push_back(arg);
  }
  return out;
}

}  // namespace qv::classlib

// ---------------------------------------------------------------------------
// Null-terminated buffers.

std::string StrPas(const char* Str) { return Str ? std::string(Str) : std::string(); }

char* StrPCopy(char* Dest, const std::string& Source) {
  std::memcpy(Dest, Source.c_str(), Source.size() + 1);
  return Dest;
}

char* StrLCopy(char* Dest, const char* Source, std::size_t MaxLen) {
  std::size_t i = 0;
  if (Source)
    for (; i < MaxLen && Source[i]; ++i) Dest[i] = Source[i];
  Dest[i] = '\0';
  return Dest;
}

char* StrPLCopy(char* Dest, const std::string& Source, std::size_t MaxLen) {
  std::size_t n = std::min(MaxLen, Source.size());
  std::memcpy(Dest, Source.data(), n);
  Dest[n] = '\0';
  return Dest;
}

std::size_t StrLen(const char* Str) { return Str ? std::strlen(Str) : 0; }

// ---------------------------------------------------------------------------
// Resource strings

TDateTime Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  using namespace std::chrono;
  const sys_days day = year_month_day(year(t.wYear), month(t.wMonth), std::chrono::day(t.wDay));
  const double days = static_cast<double>(day.time_since_epoch().count()) + UnixDateDelta;
  const double ms = ((t.wHour * 60.0 + t.wMinute) * 60.0 + t.wSecond) * 1000.0 + t.wMilliseconds;
  return days + ms / 86400000.0;
}

std::int64_t DateTimeToUnix(TDateTime AValue) {
  return static_cast<std::int64_t>(std::llround((AValue - UnixDateDelta) * 86400.0));
}

std::string LoadResString(PResStringRec ResStringRec) {
  if (!ResStringRec) return {};
  // A null module is the program itself.
  char buffer[4096];
  int length =
      LoadString(FindResourceHInstance(nullptr), ResStringRec->Identifier, buffer, static_cast<int>(sizeof buffer));
  if (length > 0) return std::string(buffer, static_cast<std::size_t>(length));
  return ResStringRec->Text ? ResStringRec->Text : "";
}

void Beep() { MessageBeep(0); }
