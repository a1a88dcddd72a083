#include "platform/modules/ComStream.h"

#include <algorithm>
#include <cstring>

#include "platform/com/ComObject.h"

namespace qv::modules {

namespace {

// {5B1C9D7E-4A3F-4E21-9C0B-7D2E61A4F803}: asks a stream whether it is ours.
constexpr IID kMemoryStreamIid = {0x5B1C9D7E, 0x4A3F, 0x4E21, {0x9C, 0x0B, 0x7D, 0x2E, 0x61, 0xA4, 0xF8, 0x03}};

class MemoryStream : public qv::com::ComObject<IStream> {
 public:
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    const size_t n = pos_ >= bytes_.size() ? 0 : std::min<size_t>(cb, bytes_.size() - pos_);
    if (n) std::memcpy(pv, bytes_.data() + pos_, n);
    pos_ += n;
    if (pcbRead) *pcbRead = static_cast<ULONG>(n);
    return n < cb ? S_FALSE : S_OK;
  }
  HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    if (pos_ + cb > bytes_.size()) bytes_.resize(pos_ + cb);
    if (cb) std::memcpy(bytes_.data() + pos_, pv, cb);
    pos_ += cb;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }
  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    long long base = 0;
    if (origin == STREAM_SEEK_CUR) base = static_cast<long long>(pos_);
    else if (origin == STREAM_SEEK_END) base = static_cast<long long>(bytes_.size());
    else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
    const long long to = base + move.QuadPart;
    if (to < 0) return STG_E_INVALIDFUNCTION;
    pos_ = static_cast<size_t>(to);
    if (newPosition) newPosition->QuadPart = pos_;
    return S_OK;
  }
  HRESULT SetSize(ULARGE_INTEGER newSize) override {
    bytes_.resize(static_cast<size_t>(newSize.QuadPart));
    return S_OK;
  }
  HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override {
    if (!target) return STG_E_INVALIDPOINTER;
    const size_t n = pos_ >= bytes_.size() ? 0 : static_cast<size_t>(std::min<ULONGLONG>(cb.QuadPart, bytes_.size() - pos_));
    ULONG written = 0;
    const HRESULT hr = n ? target->Write(bytes_.data() + pos_, static_cast<ULONG>(n), &written) : S_OK;
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
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }
  HRESULT Clone(IStream** stream) override {
    if (!stream) return STG_E_INVALIDPOINTER;
    auto* c = new MemoryStream(bytes_);
    c->pos_ = pos_;
    c->AddRef();
    *stream = c;
    return S_OK;
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 protected:
  void* queryOther(REFIID riid) override { return riid == kMemoryStreamIid ? this : nullptr; }

 private:
  std::vector<std::uint8_t> bytes_;
  size_t pos_ = 0;
};

}  // namespace

IStream* createMemoryStream(const std::vector<std::uint8_t>& bytes) {
  auto* s = new MemoryStream(bytes);
  s->AddRef();
  return s;
}

std::vector<std::uint8_t> memoryStreamBytes(IStream* stream) {
  if (!stream) return {};
  void* p = nullptr;
  if (FAILED(stream->QueryInterface(kMemoryStreamIid, &p)) || !p) return {};
  auto* m = static_cast<MemoryStream*>(p);
  std::vector<std::uint8_t> out = m->bytes();
  m->Release();
  return out;
}

bool readWholeStream(IStream* stream, std::vector<std::uint8_t>& out) {
  if (!stream) return false;
  out.clear();
  std::uint8_t buf[65536];
  for (;;) {
    ULONG got = 0;
    const HRESULT hr = stream->Read(buf, sizeof buf, &got);
    if (FAILED(hr)) return false;
    out.insert(out.end(), buf, buf + got);
    if (got == 0 || hr == S_FALSE) return true;
  }
}

}  // namespace qv::modules
