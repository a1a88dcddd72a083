#include <gtest/gtest.h>

#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"

namespace {

using qv::com::Variant;

// An object whose value property is a string, to see references and the
// conversion through DISPID_VALUE.
class Valued : public qv::com::DispatchObject<> {
 public:
  explicit Valued(std::string value) {
    members().property("Value", DISPID_VALUE, [value](VARIANT* r) {
      *r = Variant(value).detach();
      return S_OK;
    });
  }
};

TEST(Variant, ClearReleasesWhatItHoldsAndCopyIsDeep) {
  auto obj = qv::com::makeObject<Valued>("x");
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = obj.get();
  obj->AddRef();
  EXPECT_EQ(obj->refCount(), 2u);

  VARIANT c;
  VariantInit(&c);
  ASSERT_EQ(VariantCopy(&c, &v), S_OK);
  EXPECT_EQ(obj->refCount(), 3u);
  ASSERT_EQ(VariantClear(&c), S_OK);
  EXPECT_EQ(c.vt, VT_EMPTY);
  ASSERT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(obj->refCount(), 1u);

  // A string copy is a new string; the destination's old value is freed.
  Variant s("Start");
  Variant t(LONG{5});
  ASSERT_EQ(VariantCopy(t.get(), s.get()), S_OK);
  EXPECT_NE(t.raw().bstrVal, s.raw().bstrVal);
  EXPECT_EQ(t.toString(), "Start");

  // A by-reference variant owns nothing: clearing it leaves the target.
  BSTR owned = SysAllocString(u"kept");
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_BSTR;
  ref.pbstrVal = &owned;
  ASSERT_EQ(VariantClear(&ref), S_OK);
  EXPECT_EQ(std::u16string(owned), u"kept");
  SysFreeString(owned);

  VARIANT bad;
  VariantInit(&bad);
  bad.vt = 0x7F;
  EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantCopy(&c, &bad), DISP_E_BADVARTYPE);
}

TEST(Variant, CopyIndFollowsReferencesAlsoInPlace) {
  LONG n = 42;
  VARIANT inner;
  VariantInit(&inner);
  inner.vt = VT_BYREF | VT_I4;
  inner.plVal = &n;
  VARIANT outer;
  VariantInit(&outer);
  outer.vt = VT_BYREF | VT_VARIANT;
  outer.pvarVal = &inner;

  Variant got;
  ASSERT_EQ(VariantCopyInd(got.get(), &outer), S_OK);
  EXPECT_EQ(got.vt(), VT_I4);
  EXPECT_EQ(got.raw().lVal, 42);

  BSTR text = SysAllocString(u"page.htm");
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_BSTR;
  v.pbstrVal = &text;
  ASSERT_EQ(VariantCopyInd(&v, &v), S_OK);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_NE(v.bstrVal, text);
  EXPECT_EQ(std::u16string(v.bstrVal), u"page.htm");
  VariantClear(&v);
  SysFreeString(text);
}

struct Change {
  Variant from;
  VARTYPE to;
  HRESULT hr;
  std::string text;  // the result as text when hr is S_OK
};

TEST(Variant, ChangeTypeTable) {
  qv::desktop::profile().decimal = ",";
  const Change cases[] = {
      {Variant(LONG{-17}), VT_BSTR, S_OK, "-17"},
      {Variant(2.5), VT_BSTR, S_OK, "2,5"},
      {Variant(true), VT_BSTR, S_OK, "-1"},
      {Variant(), VT_BSTR, S_OK, ""},
      {Variant::null(), VT_BSTR, DISP_E_TYPEMISMATCH, ""},
      {Variant(" 123 "), VT_I4, S_OK, "123"},
      {Variant("2,5"), VT_I4, S_OK, "2"},  // half to even
      {Variant("3,5"), VT_I4, S_OK, "4"},
      {Variant("&H1F"), VT_I4, S_OK, "31"},
      {Variant("12abc"), VT_I4, DISP_E_TYPEMISMATCH, ""},
      {Variant(""), VT_I4, DISP_E_TYPEMISMATCH, ""},
      {Variant("3000000000"), VT_I4, DISP_E_OVERFLOW, ""},
      {Variant(1e10), VT_I4, DISP_E_OVERFLOW, ""},
      {Variant(LONG{300}), VT_UI1, DISP_E_OVERFLOW, ""},
      {Variant(true), VT_I4, S_OK, "-1"},
      {Variant(LONG{0}), VT_BOOL, S_OK, "0"},
      {Variant(LONG{7}), VT_BOOL, S_OK, "-1"},
      {Variant("true"), VT_BOOL, S_OK, "-1"},
      {Variant("False"), VT_BOOL, S_OK, "0"},
      {Variant("0"), VT_BOOL, S_OK, "0"},
      {Variant("ja"), VT_BOOL, DISP_E_TYPEMISMATCH, ""},
      {Variant("1,25"), VT_R8, S_OK, "1,25"},
  };
  for (const Change& c : cases) {
    SCOPED_TRACE(c.from.toString().value_or("(no text)") + " -> " + std::to_string(c.to));
    Variant out(LONG{99});
    HRESULT hr = VariantChangeType(out.get(), c.from.get(), 0, c.to);
    EXPECT_EQ(hr, c.hr);
    if (hr == S_OK) {
      EXPECT_EQ(out.vt(), c.to);
      EXPECT_EQ(out.toString(), c.text);
    } else {
      EXPECT_EQ(out.vt(), VT_I4) << "a failed conversion leaves the destination";
      EXPECT_EQ(out.raw().lVal, 99);
    }
  }
}

TEST(Variant, ChangeTypeInPlaceAlphaBoolAndObjects) {
  Variant v("  -8 ");
  ASSERT_EQ(VariantChangeType(v.get(), v.get(), 0, VT_I2), S_OK);
  EXPECT_EQ(v.vt(), VT_I2);
  EXPECT_EQ(v.raw().iVal, -8);

  Variant b(true), s;
  ASSERT_EQ(VariantChangeType(s.get(), b.get(), VARIANT_ALPHABOOL, VT_BSTR), S_OK);
  EXPECT_EQ(s.toString(), "True");

  // An object converts through its value property, unless told not to.
  auto obj = qv::com::makeObject<Valued>("17");
  Variant d(static_cast<IDispatch*>(obj.get()));
  EXPECT_EQ(d.toInt(), 17);
  Variant out;
  EXPECT_EQ(VariantChangeType(out.get(), d.get(), VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(VariantChangeType(out.get(), d.get(), 0, VT_UNKNOWN), S_OK);
  EXPECT_EQ(out.vt(), VT_UNKNOWN);
  out = Variant();
  d = Variant();
  EXPECT_EQ(obj->refCount(), 1u);
}

}  // namespace
