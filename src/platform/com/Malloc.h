// The task allocator as an interface: what CoTaskMemAlloc hands out, also
// the shell's allocator (SHGetMalloc) for item id lists. Both answer the same
// process-wide object, whose reference count never ends it.
#pragma once

#include "platform/com/Unknown.h"

// {00000002-0000-0000-C000-000000000046}
inline constexpr IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IMalloc : IUnknown {
  static constexpr const IID& Iid = IID_IMalloc;
  using Base = IUnknown;

  virtual LPVOID Alloc(SIZE_T cb) = 0;
  virtual LPVOID Realloc(LPVOID pv, SIZE_T cb) = 0;
  virtual void Free(LPVOID pv) = 0;
  // (SIZE_T)-1: the allocator does not keep sizes.
  virtual SIZE_T GetSize(LPVOID pv) = 0;
  // -1: cannot tell whether this allocator made the block.
  virtual int DidAlloc(LPVOID pv) = 0;
  virtual void HeapMinimize() = 0;

 protected:
  ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

#define MEMCTX_TASK 1

// MEMCTX_TASK only (E_INVALIDARG otherwise); the caller releases it.
HRESULT CoGetMalloc(DWORD memContext, LPMALLOC* malloc);
HRESULT SHGetMalloc(LPMALLOC* malloc);
