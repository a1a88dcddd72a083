// The platform's stream interfaces (ISequentialStream, IStream) in their
// vtable order, and OLE's stream over a global memory block.
#pragma once

#include "platform/com/Unknown.h"
#include "platform/os/Types.h"

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};
union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};

#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2
#define STGTY_STREAM 2
#define STATFLAG_DEFAULT 0
#define STATFLAG_NONAME 1
#define STG_E_INVALIDFUNCTION (static_cast<HRESULT>(0x80030001u))
#define STG_E_INVALIDPOINTER (static_cast<HRESULT>(0x80030009u))
#define STG_E_MEDIUMFULL (static_cast<HRESULT>(0x80030070u))

struct STATSTG {
  LPWSTR pwcsName;
  DWORD type;
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
};

// {0C733A30-2A1C-11CE-ADE5-00AA0044773D}
inline constexpr IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
// {0000000C-0000-0000-C000-000000000046}
inline constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ISequentialStream : IUnknown {
  static constexpr const IID& Iid = IID_ISequentialStream;
  using Base = IUnknown;
  virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
  virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;

 protected:
  ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
  static constexpr const IID& Iid = IID_IStream;
  using Base = ISequentialStream;
  virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) = 0;
  virtual HRESULT SetSize(ULARGE_INTEGER newSize) = 0;
  virtual HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) = 0;
  virtual HRESULT Commit(DWORD flags) = 0;
  virtual HRESULT Revert() = 0;
  virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD lockType) = 0;
  virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD lockType) = 0;
  virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
  virtual HRESULT Clone(IStream** stream) = 0;

 protected:
  ~IStream() = default;
};
using LPSTREAM = IStream*;

// A stream over the bytes of a global memory block (a new movable one when
// `mem` is NULL), positioned at the start, with the block's size as the
// stream's size. Writing past the end grows the block. With
// `deleteOnRelease` the block is freed with the stream's last reference.
HRESULT CreateStreamOnHGlobal(HGLOBAL mem, BOOL deleteOnRelease, LPSTREAM* stream);
// The block under a stream that CreateStreamOnHGlobal made; E_INVALIDARG for
// any other stream.
HRESULT GetHGlobalFromStream(LPSTREAM stream, HGLOBAL* mem);
