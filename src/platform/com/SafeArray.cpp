#include "platform/com/SafeArray.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/com/Variant.h"

namespace {

// The element type sits just before the descriptor, where FADF_HAVEVARTYPE
// says the platform keeps it.
struct Prefix {
  DWORD reserved[3];
  DWORD vt;
};
static_assert(sizeof(Prefix) == 16);

Prefix* prefixOf(SAFEARRAY* psa) { return reinterpret_cast<Prefix*>(psa) - 1; }

ULONG elementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_R8:
    case VT_I8:
    case VT_UI8:
    case VT_CY:
    case VT_DATE:
      return 8;
    case VT_BSTR:
      return sizeof(BSTR);
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(IUnknown*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

USHORT featureOf(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR:
      return FADF_BSTR;
    case VT_DISPATCH:
      return FADF_DISPATCH;
    case VT_UNKNOWN:
      return FADF_UNKNOWN;
    case VT_VARIANT:
      return FADF_VARIANT;
    default:
      return 0;
  }
}

// All elements, or 0 when the count does not fit in memory.
std::size_t elementCount(const SAFEARRAY* psa) {
  std::size_t n = 1;
  for (USHORT i = 0; i < psa->cDims; ++i) {
    std::size_t c = psa->rgsabound[i].cElements;
    if (c != 0 && n > std::numeric_limits<std::size_t>::max() / c) return 0;
    n *= c;
  }
  return n;
}

VARTYPE typeOf(SAFEARRAY* psa) { return static_cast<VARTYPE>(prefixOf(psa)->vt); }

void freeElements(SAFEARRAY* psa) {
  if (!psa->pvData) return;
  std::size_t n = elementCount(psa);
  char* p = static_cast<char*>(psa->pvData);
  if (psa->fFeatures & FADF_BSTR) {
    for (std::size_t i = 0; i < n; ++i) SysFreeString(reinterpret_cast<BSTR*>(p)[i]);
  } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    for (std::size_t i = 0; i < n; ++i)
      if (IUnknown* u = reinterpret_cast<IUnknown**>(p)[i]) u->Release();
  } else if (psa->fFeatures & FADF_VARIANT) {
    for (std::size_t i = 0; i < n; ++i) VariantClear(reinterpret_cast<VARIANT*>(p) + i);
  }
}

HRESULT offsetOf(SAFEARRAY* psa, const LONG* idx, std::size_t& offset) {
  std::size_t stride = 1, pos = 0;
  for (USHORT i = 0; i < psa->cDims; ++i) {
    const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - 1 - i];
    long long rel = static_cast<long long>(idx[i]) - b.lLbound;
    if (rel < 0 || rel >= static_cast<long long>(b.cElements)) return DISP_E_BADINDEX;
    pos += static_cast<std::size_t>(rel) * stride;
    stride *= b.cElements;
  }
  offset = pos * psa->cbElements;
  return S_OK;
}

// Copies one element into raw storage that holds no value yet.
HRESULT copyElement(SAFEARRAY* psa, const void* from, void* to) {
  if (psa->fFeatures & FADF_BSTR) {
    BSTR s = *static_cast<const BSTR*>(from);
    BSTR c = nullptr;
    if (s && !(c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s)))) return E_OUTOFMEMORY;
    *static_cast<BSTR*>(to) = c;
  } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    IUnknown* u = *static_cast<IUnknown* const*>(from);
    if (u) u->AddRef();
    *static_cast<IUnknown**>(to) = u;
  } else if (psa->fFeatures & FADF_VARIANT) {
    auto* v = static_cast<VARIANT*>(to);
    VariantInit(v);
    return VariantCopy(v, static_cast<const VARIANT*>(from));
  } else {
    std::memcpy(to, from, psa->cbElements);
  }
  return S_OK;
}

SAFEARRAY* allocDescriptor(VARTYPE vt, UINT cDims) {
  std::size_t bytes = sizeof(Prefix) + sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
  auto* prefix = static_cast<Prefix*>(std::calloc(1, bytes));
  if (!prefix) return nullptr;
  prefix->vt = vt;
  auto* psa = reinterpret_cast<SAFEARRAY*>(prefix + 1);
  psa->cDims = static_cast<USHORT>(cDims);
  psa->fFeatures = static_cast<USHORT>(FADF_HAVEVARTYPE | featureOf(vt));
  psa->cbElements = elementSize(vt);
  return psa;
}

void freeDescriptor(SAFEARRAY* psa) { std::free(prefixOf(psa)); }

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  if (cDims == 0 || cDims > 0xFFFF || !rgsabound || elementSize(vt) == 0) return nullptr;
  SAFEARRAY* psa = allocDescriptor(vt, cDims);
  if (!psa) return nullptr;
  for (UINT i = 0; i < cDims; ++i) psa->rgsabound[i] = rgsabound[cDims - 1 - i];
  std::size_t n = elementCount(psa);
  bool empty = false;
  for (UINT i = 0; i < cDims; ++i) empty = empty || psa->rgsabound[i].cElements == 0;
  if (!empty) {
    if (n == 0 || n > std::numeric_limits<std::size_t>::max() / psa->cbElements ||
        !(psa->pvData = std::calloc(n, psa->cbElements))) {
      freeDescriptor(psa);
      return nullptr;
    }
  }
  return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND b{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &b);
}

HRESULT SafeArrayDestroyData(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  freeElements(psa);
  std::free(psa->pvData);
  psa->pvData = nullptr;
  return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  HRESULT hr = SafeArrayDestroyData(psa);
  if (FAILED(hr)) return hr;
  freeDescriptor(psa);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (!ppsaOut) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (!psa) return S_OK;
  std::vector<SAFEARRAYBOUND> bounds(psa->cDims);
  for (USHORT i = 0; i < psa->cDims; ++i) bounds[i] = psa->rgsabound[psa->cDims - 1 - i];
  SAFEARRAY* out = SafeArrayCreate(typeOf(psa), psa->cDims, bounds.data());
  if (!out) return E_OUTOFMEMORY;
  if (psa->pvData) {
    std::size_t n = elementCount(psa);
    auto* from = static_cast<const char*>(psa->pvData);
    auto* to = static_cast<char*>(out->pvData);
    for (std::size_t i = 0; i < n; ++i) {
      HRESULT hr = copyElement(psa, from + i * psa->cbElements, to + i * psa->cbElements);
      if (FAILED(hr)) {
        SafeArrayDestroy(out);
        return hr;
      }
    }
  }
  *ppsaOut = out;
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == 0xFFFF) return E_UNEXPECTED;
  ++psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == 0) return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (!psa || !ppvData) return E_INVALIDARG;
  HRESULT hr = SafeArrayLock(psa);
  *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
  return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (!psa || !pvt) return E_INVALIDARG;
  *pvt = typeOf(psa);
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (!psa || !plLbound) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (!psa || !plUbound) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
  *plUbound = static_cast<LONG>(static_cast<long long>(b.lLbound) + b.cElements - 1);
  return S_OK;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) {
  if (!psa || !rgIndices || !ppvData) return E_INVALIDARG;
  std::size_t off = 0;
  HRESULT hr = offsetOf(psa, rgIndices, off);
  if (FAILED(hr)) return hr;
  *ppvData = static_cast<char*>(psa->pvData) + off;
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices || !pv) return E_INVALIDARG;
  void* at = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &at);
  if (FAILED(hr)) return hr;
  return copyElement(psa, at, pv);
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices) return E_INVALIDARG;
  void* at = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(psa, rgIndices, &at);
  if (FAILED(hr)) return hr;
  if (psa->fFeatures & FADF_BSTR) {
    BSTR s = static_cast<BSTR>(pv);
    BSTR c = nullptr;
    if (s && !(c = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s)))) return E_OUTOFMEMORY;
    SysFreeString(*static_cast<BSTR*>(at));
    *static_cast<BSTR*>(at) = c;
  } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    auto* u = static_cast<IUnknown*>(pv);
    if (u) u->AddRef();
    IUnknown*& slot = *static_cast<IUnknown**>(at);
    if (slot) slot->Release();
    slot = u;
  } else {
    if (!pv) return E_INVALIDARG;
    if (psa->fFeatures & FADF_VARIANT) return VariantCopy(static_cast<VARIANT*>(at), static_cast<const VARIANT*>(pv));
    std::memcpy(at, pv, psa->cbElements);
  }
  return S_OK;
}
