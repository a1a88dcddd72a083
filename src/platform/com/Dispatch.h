// Late-bound automation: IDispatch, its call frame (DISPPARAMS, EXCEPINFO)
// and a base that implements IDispatch from a table of members, on which the
// browser's automation objects are built.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/Variant.h"

using DISPID = LONG;
using MEMBERID = DISPID;

#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define DISPID_NEWENUM (-4)
#define DISPID_EVALUATE (-5)
#define DISPID_CONSTRUCTOR (-6)
#define DISPID_DESTRUCTOR (-7)
#define DISPID_COLLECT (-8)

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

// Arguments are stored last first: rgvarg[0] is the last argument.
struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};
using LPEXCEPINFO = EXCEPINFO*;

// Type information is not offered by our objects (GetTypeInfoCount gives 0);
// the interface is only named.
struct ITypeInfo;

// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IDispatch : IUnknown {
  static constexpr const IID& Iid = IID_IDispatch;
  using Base = IUnknown;

  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
  virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                         VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;

 protected:
  ~IDispatch() = default;
};
using LPDISPATCH = IDispatch*;

namespace qv::com {

// Thrown by a member's handler to report a failure to the caller: Invoke
// answers DISP_E_EXCEPTION and fills EXCEPINFO with these texts and scode.
struct DispatchException {
  std::string description;
  std::string source;
  HRESULT scode = E_FAIL;
};

// A member's view of its arguments, first argument first, references
// followed. The typed getters convert as VariantChangeType does; a value
// that does not convert ends the call with DISP_E_TYPEMISMATCH and the
// argument's position in puArgErr.
class DispatchArgs {
 public:
  explicit DispatchArgs(const DISPPARAMS& params) : params_(params) {}
  UINT count() const { return params_.cArgs; }
  const VARIANT& operator[](UINT i) const;  // i < count()
  std::string string(UINT i) const;
  LONG int32(UINT i) const;
  bool boolean(UINT i) const;
  Variant value(UINT i) const;  // a copy with references followed

 private:
  const DISPPARAMS& params_;
};

using DispatchMethod = std::function<HRESULT(const DispatchArgs& args, VARIANT* result)>;
using DispatchGetter = std::function<HRESULT(VARIANT* result)>;
using DispatchSetter = std::function<HRESULT(const DispatchArgs& args)>;  // the value is args[0]

// Names, DISPIDs and handlers of an object's members. Names match without
// regard to case, as automation names do.
class DispatchTable {
 public:
  // A method taking minArgs to maxArgs arguments (maxArgs -1: any number).
  DispatchTable& method(std::string name, DISPID id, DispatchMethod fn, int minArgs = 0, int maxArgs = -1);
  // A property; without a setter it is read-only. A getter may also be
  // called as a method, as scripts do with DISPATCH_METHOD | PROPERTYGET.
  DispatchTable& property(std::string name, DISPID id, DispatchGetter get, DispatchSetter put = nullptr);

  HRESULT getIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) const;
  HRESULT invoke(DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                 UINT* argErr) const;

 private:
  struct Member {
    std::string name;
    DISPID id;
    DispatchMethod method;
    int minArgs = 0, maxArgs = -1;
    DispatchGetter get;
    DispatchSetter put;
  };
  Member& entry(std::string name, DISPID id);
  std::vector<Member> members_;
};

// An object whose IDispatch answers from its table. Primary is IDispatch or
// an interface that extends it; More are further interfaces of the object.
template <class Primary = IDispatch, class... More>
class DispatchObject : public ComObject<Primary, More...> {
 public:
  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) override {
    return table_.getIDsOfNames(riid, rgszNames, cNames, rgDispId);
  }
  HRESULT Invoke(DISPID id, REFIID riid, LCID, WORD wFlags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* excep,
                 UINT* argErr) override {
    return table_.invoke(id, riid, wFlags, p, result, excep, argErr);
  }

 protected:
  DispatchTable& members() { return table_; }

 private:
  DispatchTable table_;
};

// The caller's side: looks the name up with GetIDsOfNames and invokes it.
// Arguments are given first first; they are passed last first as the
// platform wants, a property put with its named DISPID_PROPERTYPUT.
HRESULT invokeByName(IDispatch* object, const std::string& name, WORD flags, const std::vector<Variant>& args,
                     VARIANT* result, EXCEPINFO* excep = nullptr);
HRESULT getProperty(IDispatch* object, const std::string& name, Variant& result);
HRESULT setProperty(IDispatch* object, const std::string& name, const Variant& value);

}  // namespace qv::com
