#include "platform/com/Malloc.h"

#include "platform/com/Ole.h"

namespace {

class TaskAllocator final : public IMalloc {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IMalloc) return E_NOINTERFACE;
    *ppv = static_cast<IMalloc*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }

  LPVOID Alloc(SIZE_T cb) override { return CoTaskMemAlloc(cb); }
  LPVOID Realloc(LPVOID pv, SIZE_T cb) override { return CoTaskMemRealloc(pv, cb); }
  void Free(LPVOID pv) override { CoTaskMemFree(pv); }
  SIZE_T GetSize(LPVOID) override { return static_cast<SIZE_T>(-1); }
  int DidAlloc(LPVOID pv) override { return pv ? -1 : 0; }
  void HeapMinimize() override {}
};

TaskAllocator& allocator() {
  static TaskAllocator* a = new TaskAllocator;
  return *a;
}

}  // namespace

HRESULT CoGetMalloc(DWORD memContext, LPMALLOC* malloc) {
  if (!malloc) return E_POINTER;
  *malloc = nullptr;
  if (memContext != MEMCTX_TASK) return E_INVALIDARG;
  *malloc = &allocator();
  return S_OK;
}

HRESULT SHGetMalloc(LPMALLOC* malloc) { return CoGetMalloc(MEMCTX_TASK, malloc); }
