// The root interface: reference counting and interface discovery, in the
// platform's vtable order (QueryInterface, AddRef, Release).
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Every interface names its id (`Iid`) and the interface it extends (`Base`),
// so that the helpers in ComPtr.h and ComObject.h can find both at compile time.
struct IUnknown {
  static constexpr const IID& Iid = IID_IUnknown;
  using Base = void;

  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  // Objects die through Release, never through delete on an interface.
  ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;
