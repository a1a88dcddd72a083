// Automation strings: UTF-16 text with a 4-byte byte-length prefix just before
// the pointer and a terminating zero character after the text. A null BSTR
// is the empty string everywhere.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Guid.h"

using BSTR = OLECHAR*;
using LPBSTR = BSTR*;

BSTR SysAllocString(LPCOLESTR psz);
// `len` characters; with psz null the text is zero-filled.
BSTR SysAllocStringLen(const OLECHAR* psz, UINT len);
// `len` bytes copied from 8-bit data (zero-filled when psz is null), and a
// zero character after them: the string may hold an odd number of bytes.
BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
// Replace *pbstr with a copy of psz; psz may point into the old string.
BOOL SysReAllocString(BSTR* pbstr, LPCOLESTR psz);
BOOL SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

namespace qv::com {

// An owned BSTR. Conversions from and to the system's 8-bit text go through
// the ANSI code page (Windows-1252).
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text);
  explicit Bstr(const char* ansi);
  explicit Bstr(const std::string& ansi);
  Bstr(const Bstr& o);
  Bstr(Bstr&& o) noexcept;
  Bstr& operator=(Bstr o) noexcept;
  ~Bstr();

  static Bstr attach(BSTR b);
  static Bstr copyOf(BSTR b);
  [[nodiscard]] BSTR detach();
  // Frees the current string and returns its address for an out parameter.
  BSTR* put();

  BSTR get() const { return b_; }
  UINT length() const { return SysStringLen(b_); }
  bool empty() const { return length() == 0; }
  std::u16string_view view() const { return {b_ ? b_ : u"", length()}; }
  std::string toAnsi() const;

 private:
  BSTR b_ = nullptr;
};

// Conversions at the automation edge, for BSTRs the caller does not own.
std::string bstrToAnsi(BSTR b);
BSTR ansiToNewBstr(const std::string& ansi);

}  // namespace qv::com
