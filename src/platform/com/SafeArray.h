// Safe arrays: self-describing arrays of automation values with bounds per
// dimension and a lock count. Post data for a browser navigation is a
// one-dimensional VT_UI1 array; command arguments are arrays of VARIANT.
#pragma once

#include "platform/com/HResult.h"

using VARTYPE = USHORT;

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};
using LPSAFEARRAYBOUND = SAFEARRAYBOUND*;

// As on the platform, rgsabound holds the dimensions in reverse order: the
// last dimension given to SafeArrayCreate is rgsabound[0].
struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
};
using LPSAFEARRAY = SAFEARRAY*;

#define FADF_AUTO 0x0001
#define FADF_STATIC 0x0002
#define FADF_EMBEDDED 0x0004
#define FADF_FIXEDSIZE 0x0010
#define FADF_RECORD 0x0020
#define FADF_HAVEIID 0x0040
#define FADF_HAVEVARTYPE 0x0080
#define FADF_BSTR 0x0100
#define FADF_UNKNOWN 0x0200
#define FADF_DISPATCH 0x0400
#define FADF_VARIANT 0x0800

// Element types: the numeric types, VT_BOOL, VT_ERROR, VT_CY, VT_DATE,
// VT_BSTR, VT_DISPATCH, VT_UNKNOWN and VT_VARIANT. Others give nullptr.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
// Frees the elements (strings, interfaces, variants) and the array;
// DISP_E_ARRAYISLOCKED while it is locked or its data accessed.
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
HRESULT SafeArrayDestroyData(SAFEARRAY* psa);
HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut);
HRESULT SafeArrayLock(SAFEARRAY* psa);
HRESULT SafeArrayUnlock(SAFEARRAY* psa);
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
UINT SafeArrayGetDim(SAFEARRAY* psa);
UINT SafeArrayGetElemsize(SAFEARRAY* psa);
HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt);
// nDim counts from 1, the first dimension given at creation.
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
// rgIndices holds one index per dimension in the order the dimensions were
// given at creation; the first dimension varies fastest in memory.
// GetElement hands out a copy (a new BSTR, an added reference, a copied
// VARIANT); PutElement stores a copy of *pv (for BSTR and interfaces pv is
// the BSTR or the interface pointer itself) and frees what it replaces.
HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData);
