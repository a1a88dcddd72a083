#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/os/kernel/CodePage.h"

namespace {

// The block holds the byte length, the text and two zero bytes.
BSTR allocBytes(const void* data, UINT bytes) {
  auto* block = static_cast<char*>(std::malloc(sizeof(DWORD) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  DWORD len = bytes;
  std::memcpy(block, &len, sizeof len);
  char* text = block + sizeof(DWORD);
  if (data)
    std::memcpy(text, data, bytes);
  else
    std::memset(text, 0, bytes);
  text[bytes] = 0;
  text[bytes + 1] = 0;
  return reinterpret_cast<BSTR>(text);
}

char* blockOf(BSTR b) { return reinterpret_cast<char*>(b) - sizeof(DWORD); }

UINT strLen(LPCOLESTR s) {
  UINT n = 0;
  while (s[n]) ++n;
  return n;
}

}  // namespace

BSTR SysAllocString(LPCOLESTR psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, strLen(psz));
}

BSTR SysAllocStringLen(const OLECHAR* psz, UINT len) {
  if (len > (0xFFFFFFFFu - 16) / sizeof(OLECHAR)) return nullptr;
  return allocBytes(psz, len * static_cast<UINT>(sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) {
  if (len > 0xFFFFFFFFu - 16) return nullptr;
  return allocBytes(psz, len);
}

BOOL SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (!pbstr) return FALSE;
  // Allocate before freeing: psz may point into the old string.
  BSTR fresh = SysAllocStringLen(psz, len);
  if (!fresh) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

BOOL SysReAllocString(BSTR* pbstr, LPCOLESTR psz) {
  if (!pbstr) return FALSE;
  return SysReAllocStringLen(pbstr, psz, psz ? strLen(psz) : 0);
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(blockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  DWORD len;
  std::memcpy(&len, blockOf(bstr), sizeof len);
  return len;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / static_cast<UINT>(sizeof(OLECHAR)); }

namespace qv::com {

Bstr::Bstr(std::u16string_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
Bstr::Bstr(const char* ansi) : Bstr(std::string(ansi ? ansi : "")) {}
Bstr::Bstr(const std::string& ansi) : b_(ansiToNewBstr(ansi)) {}
Bstr::Bstr(const Bstr& o)
    : b_(o.b_ ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(o.b_), SysStringByteLen(o.b_)) : nullptr) {}
Bstr::Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
Bstr& Bstr::operator=(Bstr o) noexcept {
  std::swap(b_, o.b_);
  return *this;
}
Bstr::~Bstr() { SysFreeString(b_); }

Bstr Bstr::attach(BSTR b) {
  Bstr r;
  r.b_ = b;
  return r;
}

Bstr Bstr::copyOf(BSTR b) {
  Bstr r;
  if (b) r.b_ = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(b), SysStringByteLen(b));
  return r;
}

BSTR Bstr::detach() { return std::exchange(b_, nullptr); }

BSTR* Bstr::put() {
  SysFreeString(std::exchange(b_, nullptr));
  return &b_;
}

std::string Bstr::toAnsi() const { return bstrToAnsi(b_); }

std::string bstrToAnsi(BSTR b) { return qv::os::utf16ToAnsi(std::u16string_view(b ? b : u"", SysStringLen(b))); }

BSTR ansiToNewBstr(const std::string& ansi) {
  std::u16string w = qv::os::ansiToUtf16(ansi);
  return SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

}  // namespace qv::com
