#include "platform/com/Stream.h"

#include <algorithm>
#include <cstring>

#include "platform/com/ComObject.h"
#include "platform/os/kernel/Memory.h"

namespace {

// {3E8B0C52-7F14-4D6A-B2C9-5A10E4D7C6F1}: asks a stream whether it is one
// of ours, for GetHGlobalFromStream.
constexpr IID kHGlobalStreamIid = {0x3E8B0C52, 0x7F14, 0x4D6A, {0xB2, 0xC9, 0x5A, 0x10, 0xE4, 0xD7, 0xC6, 0xF1}};

// The block is shared by clones, so only the last one frees it.
struct SharedBlock {
  HGLOBAL mem = nullptr;
  bool deleteOnRelease = false;
  ULONG users = 1;
  // The stream's size; the block may be larger.
  ULONGLONG size = 0;
};

class HGlobalStream : public qv::com::ComObject<IStream> {
 public:
  explicit HGlobalStream(SharedBlock* block) : block_(block) {}

  HGLOBAL handle() const { return block_->mem; }

  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    const ULONGLONG n = pos_ >= block_->size ? 0 : std::min<ULONGLONG>(cb, block_->size - pos_);
    if (n) {
      const BYTE* p = static_cast<const BYTE*>(GlobalLock(block_->mem));
      std::memcpy(pv, p + pos_, static_cast<size_t>(n));
      GlobalUnlock(block_->mem);
    }
    pos_ += n;
    if (pcbRead) *pcbRead = static_cast<ULONG>(n);
    return S_OK;
  }
  HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten) *pcbWritten = 0;
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    if (pos_ + cb > block_->size) {
      const HRESULT hr = resize(pos_ + cb);
      if (FAILED(hr)) return hr;
    }
    if (cb) {
      BYTE* p = static_cast<BYTE*>(GlobalLock(block_->mem));
      std::memcpy(p + pos_, pv, cb);
      GlobalUnlock(block_->mem);
    }
    pos_ += cb;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }
  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    long long base = 0;
    if (origin == STREAM_SEEK_CUR) base = static_cast<long long>(pos_);
    else if (origin == STREAM_SEEK_END) base = static_cast<long long>(block_->size);
    else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
    const long long to = base + move.QuadPart;
    if (to < 0) return STG_E_INVALIDFUNCTION;
    pos_ = static_cast<ULONGLONG>(to);
    if (newPosition) newPosition->QuadPart = pos_;
    return S_OK;
  }
  HRESULT SetSize(ULARGE_INTEGER newSize) override { return resize(newSize.QuadPart); }
  HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override {
    if (!target) return STG_E_INVALIDPOINTER;
    const ULONGLONG n = pos_ >= block_->size ? 0 : std::min<ULONGLONG>(cb.QuadPart, block_->size - pos_);
    ULONG written = 0;
    HRESULT hr = S_OK;
    if (n) {
      const BYTE* p = static_cast<const BYTE*>(GlobalLock(block_->mem));
      hr = target->Write(p + pos_, static_cast<ULONG>(n), &written);
      GlobalUnlock(block_->mem);
    }
    pos_ += n;
    if (pcbRead) pcbRead->QuadPart = n;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return hr;
  }
  HRESULT Commit(DWORD) override { return S_OK; }
  HRESULT Revert() override { return S_OK; }
  HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = block_->size;
    return S_OK;
  }
  HRESULT Clone(IStream** stream) override {
    if (!stream) return STG_E_INVALIDPOINTER;
    ++block_->users;
    auto* c = new HGlobalStream(block_);
    c->pos_ = pos_;
    c->AddRef();
    *stream = c;
    return S_OK;
  }

 protected:
  ~HGlobalStream() override {
    if (--block_->users > 0) return;
    if (block_->deleteOnRelease) GlobalFree(block_->mem);
    delete block_;
  }
  void* queryOther(REFIID riid) override { return riid == kHGlobalStreamIid ? this : nullptr; }

 private:
  HRESULT resize(ULONGLONG size) {
    if (size > 0x7FFFFFFFu) return STG_E_MEDIUMFULL;
    if (size > GlobalSize(block_->mem)) {
      if (!GlobalReAlloc(block_->mem, static_cast<SIZE_T>(size), GMEM_MOVEABLE)) return STG_E_MEDIUMFULL;
    }
    block_->size = size;
    return S_OK;
  }

  SharedBlock* block_;
  ULONGLONG pos_ = 0;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL mem, BOOL deleteOnRelease, LPSTREAM* stream) {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  auto* block = new SharedBlock;
  block->deleteOnRelease = deleteOnRelease != FALSE;
  if (mem) {
    block->mem = mem;
    block->size = GlobalSize(mem);
  } else {
    block->mem = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block->mem) {
      delete block;
      return E_OUTOFMEMORY;
    }
  }
  auto* s = new HGlobalStream(block);
  s->AddRef();
  *stream = s;
  return S_OK;
}

HRESULT GetHGlobalFromStream(LPSTREAM stream, HGLOBAL* mem) {
  if (!stream || !mem) return E_INVALIDARG;
  void* p = nullptr;
  if (FAILED(stream->QueryInterface(kHGlobalStreamIid, &p)) || !p) return E_INVALIDARG;
  auto* s = static_cast<HGlobalStream*>(p);
  *mem = s->handle();
  s->Release();
  return S_OK;
}
