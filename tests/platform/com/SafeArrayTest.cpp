#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Dispatch.h"
#include "platform/com/SafeArray.h"
#include "platform/com/Variant.h"

namespace {

TEST(SafeArray, ByteVectorAsPostData) {
  const char body[] = "searchterm=disc";
  SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 0, sizeof body - 1);
  ASSERT_NE(psa, nullptr);
  EXPECT_EQ(SafeArrayGetDim(psa), 1u);
  EXPECT_EQ(SafeArrayGetElemsize(psa), 1u);
  VARTYPE vt = 0;
  ASSERT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
  EXPECT_EQ(vt, VT_UI1);

  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
  std::memcpy(data, body, sizeof body - 1);
  EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED) << "accessed data keeps the array alive";
  ASSERT_EQ(SafeArrayUnaccessData(psa), S_OK);
  EXPECT_EQ(SafeArrayUnaccessData(psa), E_UNEXPECTED);

  LONG lo = -1, hi = -1;
  ASSERT_EQ(SafeArrayGetLBound(psa, 1, &lo), S_OK);
  ASSERT_EQ(SafeArrayGetUBound(psa, 1, &hi), S_OK);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, static_cast<LONG>(sizeof body - 2));
  EXPECT_EQ(SafeArrayGetUBound(psa, 2, &hi), DISP_E_BADINDEX);

  LONG at = 11;
  BYTE c = 0;
  ASSERT_EQ(SafeArrayGetElement(psa, &at, &c), S_OK);
  EXPECT_EQ(c, 'd');
  at = hi + 1;
  EXPECT_EQ(SafeArrayGetElement(psa, &at, &c), DISP_E_BADINDEX);

  // A variant holding the array frees it when cleared.
  qv::com::Variant v = qv::com::Variant::fromArray(psa, VT_UI1);
  qv::com::Variant copy = v;
  EXPECT_NE(copy.raw().parray, psa);
  EXPECT_EQ(copy.vt(), VT_ARRAY | VT_UI1);
}

TEST(SafeArray, FirstDimensionVariesFastest) {
  // Two rows (1..2) of three columns (0..2).
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_I4, 2, bounds);
  ASSERT_NE(psa, nullptr);
  LONG lo;
  SafeArrayGetLBound(psa, 1, &lo);
  EXPECT_EQ(lo, 1);
  SafeArrayGetLBound(psa, 2, &lo);
  EXPECT_EQ(lo, 0);
  for (LONG row = 1; row <= 2; ++row)
    for (LONG col = 0; col < 3; ++col) {
      LONG idx[2] = {row, col};
      LONG value = row * 10 + col;
      ASSERT_EQ(SafeArrayPutElement(psa, idx, &value), S_OK);
    }
  LONG* data = nullptr;
  SafeArrayAccessData(psa, reinterpret_cast<void**>(&data));
  // The first dimension varies fastest in memory.
  EXPECT_EQ(data[0], 10);
  EXPECT_EQ(data[1], 20);
  EXPECT_EQ(data[2], 11);
  SafeArrayUnaccessData(psa);
  LONG bad[2] = {0, 0};
  LONG out;
  EXPECT_EQ(SafeArrayGetElement(psa, bad, &out), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
  EXPECT_EQ(SafeArrayCreate(static_cast<VARTYPE>(36), 1, bounds), nullptr);
}

TEST(SafeArray, VariantElementsAreCopiedInAndOut) {
  // The header and footer for printing: two variants, each one blank.
  SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  ASSERT_NE(psa, nullptr);
  for (LONG i = 0; i < 2; ++i) {
    qv::com::Variant blank(" ");
    ASSERT_EQ(SafeArrayPutElement(psa, &i, blank.get()), S_OK);
  }
  LONG one = 1;
  VARIANT got;  // not initialised: GetElement must not read it
  std::memset(&got, 0xAB, sizeof got);
  ASSERT_EQ(SafeArrayGetElement(psa, &one, &got), S_OK);
  EXPECT_EQ(got.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(got.bstrVal), u" ");
  VariantClear(&got);

  // Held interfaces are referenced by the array and released with it.
  class Probe : public qv::com::DispatchObject<> {};
  auto probe = qv::com::makeObject<Probe>();
  SAFEARRAY* objs = SafeArrayCreateVector(VT_DISPATCH, 0, 1);
  LONG zero = 0;
  ASSERT_EQ(SafeArrayPutElement(objs, &zero, static_cast<IDispatch*>(probe.get())), S_OK);
  EXPECT_EQ(probe->refCount(), 2u);
  SAFEARRAY* dup = nullptr;
  ASSERT_EQ(SafeArrayCopy(objs, &dup), S_OK);
  EXPECT_EQ(probe->refCount(), 3u);
  SafeArrayDestroy(objs);
  SafeArrayDestroy(dup);
  EXPECT_EQ(probe->refCount(), 1u);

  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_VARIANT;
  v.parray = psa;
  EXPECT_EQ(VariantClear(&v), S_OK);
}

}  // namespace
