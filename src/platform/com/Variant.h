// Automation values: a type tag and a union of the types the browser's
// automation and the class library's variants use.
#pragma once

#include <optional>
#include <string>

#include "platform/com/Bstr.h"
#include "platform/com/SafeArray.h"
#include "platform/com/Unknown.h"

struct IDispatch;

using VARIANT_BOOL = SHORT;
using FLOAT = float;
using DOUBLE = double;
using DATE = double;
struct CY {
  LONGLONG int64;
};

#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    FLOAT* pfltVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    CY* pcyVal;
    DATE* pdate;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    VARIANT* pvarVal;
    PVOID byref;
    CHAR cVal;
    USHORT uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    INT intVal;
    UINT uintVal;
    CHAR* pcVal;
    USHORT* puiVal;
    ULONG* pulVal;
    ULONGLONG* pullVal;
    INT* pintVal;
    UINT* puintVal;
  };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;
using LPVARIANTARG = VARIANT*;

// VariantChangeType flags.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_LOCALBOOL 0x10

void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns (string, interface reference, array) and leaves
// VT_EMPTY. By-reference variants own nothing. DISP_E_BADVARTYPE for a type
// tag that is not a variant type; DISP_E_ARRAYISLOCKED for a locked array.
HRESULT VariantClear(VARIANTARG* pvarg);
// Clears the destination, then copies deeply: strings duplicated, interfaces
// referenced again, arrays copied. By-reference values copy the reference.
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// As VariantCopy, but a by-reference source is copied as the value it
// points to. The destination may be the source.
HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);
// Converts between the numeric types, VT_BOOL, VT_BSTR, VT_EMPTY and the
// interfaces; VT_DATE and VT_CY sources convert as numbers. A VT_DISPATCH
// source gives its value property (DISPID_VALUE) unless VARIANT_NOVALUEPROP.
// Numbers become text in the desktop locale (its decimal separator); text
// becomes a number with sign, digits, that separator and an exponent, or
// "&H" hexadecimal, rounding halves to even; VARIANT_ALPHABOOL writes
// Booleans as "True"/"False" instead of "-1"/"0". Errors: DISP_E_TYPEMISMATCH,
// DISP_E_OVERFLOW, DISP_E_BADVARTYPE. The destination may be the source; on
// failure it is left as it was.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags, VARTYPE vt);

namespace qv::com {

// An owned VARIANT. Constructors take values the system uses; text is 8-bit
// ANSI and becomes a BSTR.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant& o);
  Variant(Variant&& o) noexcept;
  explicit Variant(const VARIANT& v);  // copies
  Variant(LONG i);
  Variant(bool b);
  Variant(double d);
  Variant(const char* ansi);
  Variant(const std::string& ansi);
  Variant(std::u16string_view text);
  Variant(IDispatch* d);  // adds a reference
  Variant(IUnknown* u);   // adds a reference
  // Takes over the array.
  static Variant fromArray(SAFEARRAY* psa, VARTYPE elementType);
  static Variant null();
  Variant& operator=(Variant o) noexcept;
  ~Variant() { VariantClear(&v_); }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  const VARIANT& raw() const { return v_; }
  VARTYPE vt() const { return v_.vt; }
  // Clears the value and returns it for an out parameter.
  VARIANT* put();
  // Hands the value over; this variant becomes empty.
  [[nodiscard]] VARIANT detach();

  // Converted copies; nullopt when the value does not convert.
  std::optional<std::string> toString() const;
  std::optional<LONG> toInt() const;
  std::optional<bool> toBool() const;

 private:
  VARIANT v_;
};

}  // namespace qv::com
