#include <gtest/gtest.h>

#include "platform/com/Dispatch.h"

namespace {

using qv::com::DispatchArgs;
using qv::com::Variant;

// A small automation object: a read-write property, a read-only one and two
// methods, the way the browser's objects are declared.
class Window : public qv::com::DispatchObject<> {
 public:
  std::string status = "ready";
  std::vector<std::string> calls;

  Window() {
    members()
        .property(
            "status", 10,
            [this](VARIANT* r) {
              *r = Variant(status).detach();
              return S_OK;
            },
            [this](const DispatchArgs& a) {
              status = a.string(0);
              return S_OK;
            })
        .property("length", 11,
                  [](VARIANT* r) {
                    *r = Variant(LONG{3}).detach();
                    return S_OK;
                  })
        .method(
            "moveTo", 20,
            [this](const DispatchArgs& a, VARIANT*) {
              calls.push_back("moveTo " + std::to_string(a.int32(0)) + "," + std::to_string(a.int32(1)));
              return S_OK;
            },
            2, 2)
        .method("close", 21, [](const DispatchArgs&, VARIANT*) -> HRESULT {
          throw qv::com::DispatchException{"Access is denied.", "Window", E_ACCESSDENIED};
        });
  }
};

DISPID idOf(IDispatch* d, const char16_t* name, HRESULT* hr = nullptr) {
  std::u16string n = name;
  LPOLESTR names[1] = {n.data()};
  DISPID id = 12345;
  HRESULT r = d->GetIDsOfNames(IID_NULL, names, 1, 0x800, &id);
  if (hr) *hr = r;
  return id;
}

TEST(Dispatch, NamesAreFoundWithoutRegardToCase) {
  auto w = qv::com::makeObject<Window>();
  EXPECT_EQ(idOf(w.get(), u"MOVETO"), 20);
  EXPECT_EQ(idOf(w.get(), u"Status"), 10);
  HRESULT hr;
  EXPECT_EQ(idOf(w.get(), u"resizeTo", &hr), DISPID_UNKNOWN);
  EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);

  // A parameter name after the member: the member is found, the name is not.
  std::u16string a = u"moveTo", b = u"x";
  LPOLESTR names[2] = {a.data(), b.data()};
  DISPID ids[2];
  EXPECT_EQ(w->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 20);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  EXPECT_EQ(w->GetIDsOfNames(IID_IDispatch, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);

  UINT count = 9;
  EXPECT_EQ(w->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
}

TEST(Dispatch, InvokeTakesArgumentsLastFirst) {
  auto w = qv::com::makeObject<Window>();
  // moveTo(5, "7"): rgvarg[0] is the last argument.
  Variant args[2] = {Variant("7"), Variant(LONG{5})};
  VARIANT raw[2] = {args[0].raw(), args[1].raw()};
  DISPPARAMS dp{raw, nullptr, 2, 0};
  ASSERT_EQ(w->Invoke(20, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  ASSERT_EQ(w->calls.size(), 1u);
  EXPECT_EQ(w->calls[0], "moveTo 5,7");

  // The same through the caller's helper, which reverses for us.
  VARIANT result;
  ASSERT_EQ(qv::com::invokeByName(w.get(), "moveto", DISPATCH_METHOD, {Variant(LONG{1}), Variant(LONG{2})}, &result),
            S_OK);
  EXPECT_EQ(w->calls.back(), "moveTo 1,2");
  EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST(Dispatch, PropertiesGetAndPut) {
  auto w = qv::com::makeObject<Window>();
  Variant v;
  ASSERT_EQ(qv::com::getProperty(w.get(), "status", v), S_OK);
  EXPECT_EQ(v.toString(), "ready");
  ASSERT_EQ(qv::com::setProperty(w.get(), "STATUS", Variant(LONG{12})), S_OK);
  EXPECT_EQ(w->status, "12");
  // Scripts read properties with METHOD | PROPERTYGET.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(w->Invoke(11, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, v.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(v.toInt(), 3);
}

TEST(Dispatch, InvokeErrors) {
  auto w = qv::com::makeObject<Window>();
  Variant one("x");
  VARIANT arg = one.raw();
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  DISPPARAMS oneArg{&arg, nullptr, 1, 0};
  DISPPARAMS putArg{&arg, &put, 1, 1};
  DISPPARAMS putNoArg{nullptr, &put, 0, 1};
  struct Case {
    DISPID id;
    WORD flags;
    DISPPARAMS* params;
    HRESULT hr;
  } cases[] = {
      {99, DISPATCH_METHOD, &none, DISP_E_MEMBERNOTFOUND},
      {11, DISPATCH_PROPERTYPUT, &putArg, DISP_E_MEMBERNOTFOUND},  // read-only
      {10, DISPATCH_PROPERTYPUT, &oneArg, DISP_E_PARAMNOTFOUND},   // no named DISPID_PROPERTYPUT
      {10, DISPATCH_PROPERTYPUT, &putNoArg, DISP_E_BADPARAMCOUNT},
      {10, DISPATCH_PROPERTYGET, &oneArg, DISP_E_BADPARAMCOUNT},
      {20, DISPATCH_METHOD, &oneArg, DISP_E_BADPARAMCOUNT},
      {20, DISPATCH_PROPERTYGET, &none, DISP_E_MEMBERNOTFOUND},  // a method is no property
      {20, DISPATCH_METHOD, &putArg, DISP_E_NONAMEDARGS},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(w->Invoke(c.id, IID_NULL, 0, c.flags, c.params, nullptr, nullptr, nullptr), c.hr)
        << "id " << c.id << " flags " << c.flags;
  }
  EXPECT_EQ(w->Invoke(10, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);

  // moveTo("x", 1): the first argument does not convert; puArgErr counts in
  // rgvarg, where the first argument is last.
  Variant n(LONG{1});
  VARIANT two[2] = {n.raw(), one.raw()};
  DISPPARAMS dp{two, nullptr, 2, 0};
  UINT argErr = 77;
  EXPECT_EQ(w->Invoke(20, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, &argErr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argErr, 1u);

  EXCEPINFO ex;
  EXPECT_EQ(w->Invoke(21, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &ex, nullptr), DISP_E_EXCEPTION);
  EXPECT_EQ(qv::com::bstrToAnsi(ex.bstrDescription), "Access is denied.");
  EXPECT_EQ(qv::com::bstrToAnsi(ex.bstrSource), "Window");
  EXPECT_EQ(ex.scode, E_ACCESSDENIED);
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrSource);
  EXPECT_EQ(w->Invoke(21, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_EXCEPTION);

  EXPECT_EQ(qv::com::invokeByName(w.get(), "nope", DISPATCH_METHOD, {}, nullptr), DISP_E_UNKNOWNNAME);
}

}  // namespace
