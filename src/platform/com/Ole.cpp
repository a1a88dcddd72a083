#include "platform/com/Ole.h"

#include <cstdlib>

namespace {

thread_local int comCount = 0;
thread_local DWORD comModel = 0;
thread_local int oleCount = 0;

}  // namespace

HRESULT CoInitializeEx(LPVOID, DWORD coInit) {
  DWORD model = coInit & COINIT_APARTMENTTHREADED;
  if (comCount > 0) {
    if (model != comModel) return RPC_E_CHANGED_MODE;
    ++comCount;
    return S_FALSE;
  }
  comModel = model;
  comCount = 1;
  return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
  if (comCount > 0) --comCount;
}

HRESULT OleInitialize(LPVOID reserved) {
  HRESULT hr = CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) return hr;
  return ++oleCount == 1 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  if (oleCount == 0) return;
  --oleCount;
  CoUninitialize();
}

LPVOID CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) {
  if (!pv) return CoTaskMemAlloc(cb);
  if (cb == 0) {
    std::free(pv);
    return nullptr;
  }
  return std::realloc(pv, cb);
}

void CoTaskMemFree(LPVOID pv) { std::free(pv); }

namespace qv::com {

int comInitCount() { return comCount; }
int oleInitCount() { return oleCount; }

}  // namespace qv::com
