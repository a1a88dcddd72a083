// Globally unique identifiers: interface, class and command-group ids.
#pragma once

#include <compare>
#include <optional>
#include <string>

#include "platform/os/Types.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];

  friend bool operator==(const GUID&, const GUID&) = default;
  // Field by field, so that ids sort the same on every machine.
  friend std::strong_ordering operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPGUID = GUID*;
using LPIID = IID*;
using LPCLSID = CLSID*;

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
#define IID_NULL GUID_NULL
#define CLSID_NULL GUID_NULL

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
inline bool IsEqualIID(REFIID a, REFIID b) { return a == b; }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return a == b; }

// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hexadecimal) with
// its terminating zero; returns the characters written including the zero, or
// 0 when the buffer holds fewer than 39.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax);
// Reads the braced form (NULL reads as GUID_NULL); anything else gives
// CO_E_CLASSSTRING (CLSID) or E_INVALIDARG (IID) and leaves GUID_NULL.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
HRESULT IIDFromString(LPCOLESTR text, LPIID iid);

namespace qv::com {

// The braced text form in 8-bit text, for logs, the registry and tests.
std::string guidToString(const GUID& guid);
// Accepts the braced form only, case-insensitive hexadecimal.
std::optional<GUID> guidFromString(const std::string& text);

}  // namespace qv::com
