#include "platform/com/Variant.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/com/Dispatch.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"

namespace {

bool isValidBase(VARTYPE t) {
  switch (t) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

// A type tag a variant may carry: a base type, an array of one, or a
// reference to either. VT_VARIANT appears only by reference or in arrays,
// VT_EMPTY and VT_NULL only alone.
bool isValidTag(VARTYPE vt) {
  VARTYPE base = vt & VT_TYPEMASK;
  if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) return false;
  if (!isValidBase(base)) return false;
  if (base == VT_VARIANT && !(vt & (VT_BYREF | VT_ARRAY))) return false;
  if ((base == VT_EMPTY || base == VT_NULL) && (vt & (VT_BYREF | VT_ARRAY))) return false;
  return true;
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
  if (!pvarg) return;
  std::memset(pvarg, 0, sizeof *pvarg);
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  VARTYPE vt = pvarg->vt;
  if (!isValidTag(vt)) return DISP_E_BADVARTYPE;
  if (!(vt & VT_BYREF)) {
    if (vt & VT_ARRAY) {
      HRESULT hr = SafeArrayDestroy(pvarg->parray);
      if (FAILED(hr)) return hr;
    } else if (vt == VT_BSTR) {
      SysFreeString(pvarg->bstrVal);
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
      if (pvarg->punkVal) pvarg->punkVal->Release();
    }
  }
  VariantInit(pvarg);
  return S_OK;
}

namespace {

// Copies src into a destination that holds nothing.
HRESULT copyInto(VARIANT* dest, const VARIANT* src) {
  VARIANT v = *src;
  if (!(src->vt & VT_BYREF)) {
    if (src->vt & VT_ARRAY) {
      HRESULT hr = SafeArrayCopy(src->parray, &v.parray);
      if (FAILED(hr)) return hr;
    } else if (src->vt == VT_BSTR) {
      if (src->bstrVal) {
        v.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src->bstrVal), SysStringByteLen(src->bstrVal));
        if (!v.bstrVal) return E_OUTOFMEMORY;
      }
    } else if (src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) {
      if (src->punkVal) src->punkVal->AddRef();
    }
  }
  *dest = v;
  return S_OK;
}

// The value a by-reference variant points to, copied into empty storage.
HRESULT copyDeref(VARIANT* dest, const VARIANT* src) {
  if (!(src->vt & VT_BYREF)) return copyInto(dest, src);
  if (!src->byref) return E_INVALIDARG;
  VARTYPE t = src->vt & ~VT_BYREF;
  if (t == VT_VARIANT) {
    const VARIANT* inner = src->pvarVal;
    // A reference to a reference is not followed further.
    if (inner->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;
    return copyDeref(dest, inner);
  }
  VARIANT v;
  VariantInit(&v);
  v.vt = t;
  if (t & VT_ARRAY) {
    v.parray = *src->pparray;
  } else {
    switch (t) {
      case VT_I1:
      case VT_UI1:
        v.bVal = *src->pbVal;
        break;
      case VT_I2:
      case VT_UI2:
      case VT_BOOL:
        v.iVal = *src->piVal;
        break;
      case VT_I4:
      case VT_UI4:
      case VT_INT:
      case VT_UINT:
      case VT_ERROR:
      case VT_R4:
        v.lVal = *src->plVal;
        break;
      case VT_R8:
      case VT_I8:
      case VT_UI8:
      case VT_CY:
      case VT_DATE:
        v.llVal = *src->pllVal;
        break;
      case VT_BSTR:
        v.bstrVal = *src->pbstrVal;
        break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        v.punkVal = *src->ppunkVal;
        break;
      default:
        return DISP_E_BADVARTYPE;
    }
  }
  return copyInto(dest, &v);
}

}  // namespace

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!isValidTag(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  HRESULT hr = VariantClear(pvargDest);
  if (FAILED(hr)) return hr;
  hr = copyInto(pvargDest, pvargSrc);
  if (FAILED(hr)) VariantInit(pvargDest);
  return hr;
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (!pvarDest || !pvargSrc) return E_INVALIDARG;
  if (!isValidTag(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  VARIANT tmp;
  VariantInit(&tmp);
  HRESULT hr = copyDeref(&tmp, pvargSrc);
  if (FAILED(hr)) return hr;
  // The source may be the destination: clear only after the copy is made.
  hr = VariantClear(pvarDest);
  if (FAILED(hr)) {
    VariantClear(&tmp);
    return hr;
  }
  *pvarDest = tmp;
  return S_OK;
}

namespace {

// A scalar on its way from one type to another.
struct Scalar {
  enum Kind { Empty, Signed, Unsigned, Real, Bool, Text } kind = Empty;
  long long i = 0;
  unsigned long long u = 0;
  double d = 0;
  bool b = false;
  std::string text;  // 8-bit
};

std::string decimalSeparator() {
  const std::string& d = qv::desktop::profile().decimal;
  return d.empty() ? std::string(".") : d;
}

// Sign, digits, the locale's separator and fraction, an exponent; or "&H"
// hexadecimal. Blanks around are allowed.
bool parseNumber(const std::string& raw, Scalar& out) {
  std::size_t b = raw.find_first_not_of(" \t");
  std::size_t e = raw.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  std::string s = raw.substr(b, e - b + 1);
  if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
    unsigned long long v = 0;
    for (std::size_t k = 2; k < s.size(); ++k) {
      char c = s[k];
      int h = (c >= '0' && c <= '9')   ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                       : -1;
      if (h < 0 || v > (std::numeric_limits<unsigned long long>::max() >> 4)) return false;
      v = (v << 4) | static_cast<unsigned>(h);
    }
    out.kind = Scalar::Unsigned;
    out.u = v;
    return true;
  }
  std::string sep = decimalSeparator();
  std::string c;  // the number in the C locale's form for strtod
  std::size_t k = 0;
  if (s[k] == '+' || s[k] == '-') c += s[k++];
  bool digits = false, fraction = false;
  while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) c += s[k++], digits = true;
  if (s.compare(k, sep.size(), sep) == 0) {
    k += sep.size();
    c += '.';
    fraction = true;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) c += s[k++], digits = true;
  }
  if (!digits) return false;
  bool exponent = false;
  if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
    c += 'e';
    ++k;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) c += s[k++];
    bool expDigits = false;
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) c += s[k++], expDigits = true;
    if (!expDigits) return false;
    exponent = true;
  }
  if (k != s.size()) return false;
  if (!fraction && !exponent) {
    errno = 0;
    long long v = std::strtoll(c.c_str(), nullptr, 10);
    if (errno == 0) {
      out.kind = Scalar::Signed;
      out.i = v;
      return true;
    }
  }
  out.kind = Scalar::Real;
  out.d = std::strtod(c.c_str(), nullptr);
  return true;
}

HRESULT toScalar(const VARIANT& v, Scalar& s) {
  switch (v.vt) {
    case VT_EMPTY:
      s.kind = Scalar::Empty;
      return S_OK;
    case VT_I1:
      s.kind = Scalar::Signed;
      s.i = v.cVal;
      return S_OK;
    case VT_I2:
      s.kind = Scalar::Signed;
      s.i = v.iVal;
      return S_OK;
    case VT_I4:
      s.kind = Scalar::Signed;
      s.i = v.lVal;
      return S_OK;
    case VT_INT:
      s.kind = Scalar::Signed;
      s.i = v.intVal;
      return S_OK;
    case VT_I8:
      s.kind = Scalar::Signed;
      s.i = v.llVal;
      return S_OK;
    case VT_UI1:
      s.kind = Scalar::Unsigned;
      s.u = v.bVal;
      return S_OK;
    case VT_UI2:
      s.kind = Scalar::Unsigned;
      s.u = v.uiVal;
      return S_OK;
    case VT_UI4:
      s.kind = Scalar::Unsigned;
      s.u = v.ulVal;
      return S_OK;
    case VT_UINT:
      s.kind = Scalar::Unsigned;
      s.u = v.uintVal;
      return S_OK;
    case VT_UI8:
      s.kind = Scalar::Unsigned;
      s.u = v.ullVal;
      return S_OK;
    case VT_R4:
      s.kind = Scalar::Real;
      s.d = v.fltVal;
      return S_OK;
    case VT_R8:
    case VT_DATE:
      s.kind = Scalar::Real;
      s.d = v.dblVal;
      return S_OK;
    case VT_CY:
      s.kind = Scalar::Real;
      s.d = static_cast<double>(v.cyVal.int64) / 10000.0;
      return S_OK;
    case VT_BOOL:
      s.kind = Scalar::Bool;
      s.b = v.boolVal != VARIANT_FALSE;
      return S_OK;
    case VT_BSTR:
      s.kind = Scalar::Text;
      s.text = qv::com::bstrToAnsi(v.bstrVal);
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

bool textIs(const std::string& s, const char* word) {
  std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  return qv::os::ansiCompareText(std::string_view(s).substr(b, e - b + 1), word) == 0;
}

// The value as a whole number or a real, or an error for text that is none.
HRESULT numeric(const Scalar& in, Scalar& out) {
  switch (in.kind) {
    case Scalar::Empty:
      out.kind = Scalar::Signed;
      out.i = 0;
      return S_OK;
    case Scalar::Bool:
      out.kind = Scalar::Signed;
      out.i = in.b ? -1 : 0;
      return S_OK;
    case Scalar::Text:
      if (parseNumber(in.text, out)) return S_OK;
      if (textIs(in.text, "True")) {
        out.kind = Scalar::Signed;
        out.i = -1;
        return S_OK;
      }
      if (textIs(in.text, "False")) {
        out.kind = Scalar::Signed;
        out.i = 0;
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    default:
      out = in;
      return S_OK;
  }
}

// Whole numbers in [lo, hi]; reals are rounded half to even first.
HRESULT toInteger(const Scalar& in, long double lo, long double hi, long long& si, unsigned long long& ui,
                  bool wantUnsigned) {
  Scalar n;
  HRESULT hr = numeric(in, n);
  if (FAILED(hr)) return hr;
  long double v;
  if (n.kind == Scalar::Signed)
    v = n.i;
  else if (n.kind == Scalar::Unsigned)
    v = n.u;
  else {
    if (!std::isfinite(n.d)) return DISP_E_OVERFLOW;
    v = std::nearbyint(static_cast<long double>(n.d));
  }
  if (v < lo || v > hi) return DISP_E_OVERFLOW;
  if (wantUnsigned)
    ui = n.kind == Scalar::Unsigned ? n.u : static_cast<unsigned long long>(v);
  else
    si = n.kind == Scalar::Signed ? n.i : static_cast<long long>(v);
  return S_OK;
}

std::string formatReal(double d, bool single) {
  char buf[64];
  std::snprintf(buf, sizeof buf, single ? "%.7G" : "%.15G", d);
  std::string s = buf;
  std::size_t dot = s.find('.');
  if (dot != std::string::npos) s.replace(dot, 1, decimalSeparator());
  return s;
}

HRESULT fromScalar(const Scalar& in, VARTYPE vt, USHORT flags, VARIANT& out) {
  VariantInit(&out);
  long long si = 0;
  unsigned long long ui = 0;
  HRESULT hr = S_OK;
  constexpr auto i64lo = static_cast<long double>(std::numeric_limits<long long>::min());
  constexpr auto i64hi = static_cast<long double>(std::numeric_limits<long long>::max());
  switch (vt) {
    case VT_EMPTY:
      return S_OK;
    case VT_I1:
      hr = toInteger(in, -128, 127, si, ui, false);
      out.cVal = static_cast<CHAR>(si);
      break;
    case VT_I2:
      hr = toInteger(in, -32768, 32767, si, ui, false);
      out.iVal = static_cast<SHORT>(si);
      break;
    case VT_I4:
    case VT_INT:
      hr = toInteger(in, -2147483648.0L, 2147483647.0L, si, ui, false);
      out.lVal = static_cast<LONG>(si);
      break;
    case VT_I8:
      hr = toInteger(in, i64lo, i64hi, si, ui, false);
      out.llVal = si;
      break;
    case VT_UI1:
      hr = toInteger(in, 0, 255, si, ui, true);
      out.bVal = static_cast<BYTE>(ui);
      break;
    case VT_UI2:
      hr = toInteger(in, 0, 65535, si, ui, true);
      out.uiVal = static_cast<USHORT>(ui);
      break;
    case VT_UI4:
    case VT_UINT:
      hr = toInteger(in, 0, 4294967295.0L, si, ui, true);
      out.ulVal = static_cast<ULONG>(ui);
      break;
    case VT_UI8:
      hr = toInteger(in, 0, 18446744073709551615.0L, si, ui, true);
      out.ullVal = ui;
      break;
    case VT_R4:
    case VT_R8: {
      Scalar n;
      hr = numeric(in, n);
      if (FAILED(hr)) return hr;
      double d = n.kind == Scalar::Signed     ? static_cast<double>(n.i)
                 : n.kind == Scalar::Unsigned ? static_cast<double>(n.u)
                                              : n.d;
      if (vt == VT_R4) {
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return DISP_E_OVERFLOW;
        out.fltVal = static_cast<FLOAT>(d);
      } else {
        out.dblVal = d;
      }
      break;
    }
    case VT_BOOL: {
      bool b = false;
      if (in.kind == Scalar::Bool) {
        b = in.b;
      } else if (in.kind == Scalar::Text && textIs(in.text, "True")) {
        b = true;
      } else if (in.kind == Scalar::Text && textIs(in.text, "False")) {
        b = false;
      } else {
        Scalar n;
        hr = numeric(in, n);
        if (FAILED(hr)) return hr;
        b = n.kind == Scalar::Signed ? n.i != 0 : n.kind == Scalar::Unsigned ? n.u != 0 : n.d != 0;
      }
      out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_BSTR: {
      std::string s;
      switch (in.kind) {
        case Scalar::Empty:
          break;
        case Scalar::Signed:
          s = std::to_string(in.i);
          break;
        case Scalar::Unsigned:
          s = std::to_string(in.u);
          break;
        case Scalar::Real:
          s = formatReal(in.d, false);
          break;
        case Scalar::Bool:
          s = (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) ? (in.b ? "True" : "False") : (in.b ? "-1" : "0");
          break;
        case Scalar::Text:
          s = in.text;
          break;
      }
      out.bstrVal = qv::com::ansiToNewBstr(s);
      if (!out.bstrVal) return E_OUTOFMEMORY;
      break;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
  if (FAILED(hr)) {
    VariantInit(&out);
    return hr;
  }
  out.vt = vt;
  return S_OK;
}

HRESULT convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT& out, int depth) {
  VariantInit(&out);
  if (src.vt == vt) return copyInto(&out, &src);
  if (vt == VT_EMPTY) return S_OK;
  // Dates would need the locale's date format; they convert to numbers only.
  if (src.vt == VT_DATE && vt == VT_BSTR) return DISP_E_TYPEMISMATCH;
  if (vt == VT_NULL || src.vt == VT_NULL || (vt & (VT_ARRAY | VT_BYREF)) || (src.vt & VT_ARRAY))
    return DISP_E_TYPEMISMATCH;
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (src.vt != VT_DISPATCH && src.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (!src.punkVal) {
      out.vt = vt;
      return S_OK;
    }
    void* p = nullptr;
    HRESULT hr = src.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p);
    if (FAILED(hr)) return hr == E_NOINTERFACE ? DISP_E_TYPEMISMATCH : hr;
    out.vt = vt;
    out.byref = p;
    return S_OK;
  }
  if (src.vt == VT_DISPATCH) {
    // An object converts through its value property.
    if ((flags & VARIANT_NOVALUEPROP) || !src.pdispVal || depth > 0) return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = src.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    if (FAILED(hr)) {
      VariantClear(&value);
      return DISP_E_TYPEMISMATCH;
    }
    hr = convert(value, flags, vt, out, depth + 1);
    VariantClear(&value);
    return hr;
  }
  Scalar s;
  HRESULT hr = toScalar(src, s);
  if (FAILED(hr)) return hr;
  return fromScalar(s, vt, flags, out);
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID, USHORT wFlags, VARTYPE vt) {
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  if (!isValidTag(pvarSrc->vt) || !isValidTag(vt) || (vt & VT_TYPEMASK) == VT_VARIANT) return DISP_E_BADVARTYPE;
  VARIANT src;
  VariantInit(&src);
  HRESULT hr = (vt & VT_BYREF) ? copyInto(&src, pvarSrc) : copyDeref(&src, pvarSrc);
  if (FAILED(hr)) return hr;
  VARIANT out;
  hr = convert(src, wFlags, vt, out, 0);
  VariantClear(&src);
  if (FAILED(hr)) return hr;
  hr = VariantClear(pvargDest);
  if (FAILED(hr)) {
    VariantClear(&out);
    return hr;
  }
  *pvargDest = out;
  return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, 0, wFlags, vt);
}

namespace qv::com {

Variant::Variant(const Variant& o) {
  VariantInit(&v_);
  copyInto(&v_, &o.v_);
}

Variant::Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }

Variant::Variant(const VARIANT& v) {
  VariantInit(&v_);
  if (isValidTag(v.vt) && FAILED(copyInto(&v_, &v))) VariantInit(&v_);
}

Variant::Variant(LONG i) {
  VariantInit(&v_);
  v_.vt = VT_I4;
  v_.lVal = i;
}

Variant::Variant(bool b) {
  VariantInit(&v_);
  v_.vt = VT_BOOL;
  v_.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(double d) {
  VariantInit(&v_);
  v_.vt = VT_R8;
  v_.dblVal = d;
}

Variant::Variant(const char* ansi) : Variant(std::string(ansi ? ansi : "")) {}

Variant::Variant(const std::string& ansi) {
  VariantInit(&v_);
  v_.vt = VT_BSTR;
  v_.bstrVal = ansiToNewBstr(ansi);
}

Variant::Variant(std::u16string_view text) {
  VariantInit(&v_);
  v_.vt = VT_BSTR;
  v_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

Variant::Variant(IDispatch* d) {
  VariantInit(&v_);
  v_.vt = VT_DISPATCH;
  v_.pdispVal = d;
  if (d) d->AddRef();
}

Variant::Variant(IUnknown* u) {
  VariantInit(&v_);
  v_.vt = VT_UNKNOWN;
  v_.punkVal = u;
  if (u) u->AddRef();
}

Variant Variant::fromArray(SAFEARRAY* psa, VARTYPE elementType) {
  Variant r;
  r.v_.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
  r.v_.parray = psa;
  return r;
}

Variant Variant::null() {
  Variant r;
  r.v_.vt = VT_NULL;
  return r;
}

Variant& Variant::operator=(Variant o) noexcept {
  std::swap(v_, o.v_);
  return *this;
}

VARIANT* Variant::put() {
  VariantClear(&v_);
  return &v_;
}

VARIANT Variant::detach() {
  VARIANT v = v_;
  VariantInit(&v_);
  return v;
}

std::optional<std::string> Variant::toString() const {
  VARIANT out;
  VariantInit(&out);
  if (FAILED(VariantChangeType(&out, &v_, 0, VT_BSTR))) return std::nullopt;
  std::string s = bstrToAnsi(out.bstrVal);
  VariantClear(&out);
  return s;
}

std::optional<LONG> Variant::toInt() const {
  VARIANT out;
  VariantInit(&out);
  if (FAILED(VariantChangeType(&out, &v_, 0, VT_I4))) return std::nullopt;
  return out.lVal;
}

std::optional<bool> Variant::toBool() const {
  VARIANT out;
  VariantInit(&out);
  if (FAILED(VariantChangeType(&out, &v_, 0, VT_BOOL))) return std::nullopt;
  return out.boolVal != VARIANT_FALSE;
}

}  // namespace qv::com
