#include "platform/com/Dispatch.h"

#include <exception>

#include "platform/os/kernel/CodePage.h"

namespace qv::com {

namespace {

// A handler's argument did not fit: the call ends with `hr`, and with the
// argument's position when it names one.
struct ArgumentError {
  HRESULT hr;
  UINT index;
  bool hasIndex;
};

void fillException(EXCEPINFO* excep, const std::string& source, const std::string& description, HRESULT scode) {
  if (!excep) return;
  *excep = EXCEPINFO{};
  excep->bstrSource = source.empty() ? nullptr : ansiToNewBstr(source);
  excep->bstrDescription = description.empty() ? nullptr : ansiToNewBstr(description);
  excep->scode = scode;
}

std::string nameOf(LPCOLESTR s) {
  std::u16string_view v;
  if (s) {
    std::size_t n = 0;
    while (s[n]) ++n;
    v = std::u16string_view(s, n);
  }
  return qv::os::utf16ToAnsi(v);
}

}  // namespace

const VARIANT& DispatchArgs::operator[](UINT i) const {
  if (i >= params_.cArgs) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0, false};
  const VARIANT& v = params_.rgvarg[params_.cArgs - 1 - i];
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) return *v.pvarVal;
  return v;
}

Variant DispatchArgs::value(UINT i) const {
  Variant r;
  HRESULT hr = VariantCopyInd(r.get(), &(*this)[i]);
  if (FAILED(hr)) throw ArgumentError{hr, i, true};
  return r;
}

namespace {

Variant converted(const DispatchArgs& args, UINT i, VARTYPE vt) {
  Variant r;
  HRESULT hr = VariantChangeType(r.get(), &args[i], 0, vt);
  if (FAILED(hr)) throw ArgumentError{hr == DISP_E_BADVARTYPE ? DISP_E_TYPEMISMATCH : hr, i, true};
  return r;
}

}  // namespace

std::string DispatchArgs::string(UINT i) const { return bstrToAnsi(converted(*this, i, VT_BSTR).raw().bstrVal); }
LONG DispatchArgs::int32(UINT i) const { return converted(*this, i, VT_I4).raw().lVal; }
bool DispatchArgs::boolean(UINT i) const { return converted(*this, i, VT_BOOL).raw().boolVal != VARIANT_FALSE; }

DispatchTable::Member& DispatchTable::entry(std::string name, DISPID id) {
  for (Member& m : members_)
    if (m.id == id) return m;
  members_.push_back(Member{std::move(name), id, nullptr, 0, -1, nullptr, nullptr});
  return members_.back();
}

DispatchTable& DispatchTable::method(std::string name, DISPID id, DispatchMethod fn, int minArgs, int maxArgs) {
  Member& m = entry(std::move(name), id);
  m.method = std::move(fn);
  m.minArgs = minArgs;
  m.maxArgs = maxArgs;
  return *this;
}

DispatchTable& DispatchTable::property(std::string name, DISPID id, DispatchGetter get, DispatchSetter put) {
  Member& m = entry(std::move(name), id);
  m.get = std::move(get);
  m.put = std::move(put);
  return *this;
}

HRESULT DispatchTable::getIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) const {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_INVALIDARG;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  std::string wanted = nameOf(names[0]);
  for (const Member& m : members_) {
    if (qv::os::ansiCompareText(m.name, wanted) == 0) {
      ids[0] = m.id;
      // Further names are parameter names, which our members do not have.
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchTable::invoke(DISPID id, REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                              UINT* argErr) const {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params || (params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs))
    return E_INVALIDARG;
  const Member* m = nullptr;
  for (const Member& e : members_)
    if (e.id == id) m = &e;
  if (!m) return DISP_E_MEMBERNOTFOUND;

  VARIANT scratch;
  VariantInit(&scratch);
  if (result) VariantInit(result);
  DispatchArgs args(*params);
  HRESULT hr;
  try {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!m->put) return DISP_E_MEMBERNOTFOUND;
      if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTFOUND;
      if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      hr = m->put(args);
    } else if (m->get && (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) {
      if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
      if (params->cArgs) return DISP_E_BADPARAMCOUNT;
      hr = m->get(&scratch);
    } else if (m->method && (flags & DISPATCH_METHOD)) {
      if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
      if (params->cArgs < static_cast<UINT>(m->minArgs) ||
          (m->maxArgs >= 0 && params->cArgs > static_cast<UINT>(m->maxArgs)))
        return DISP_E_BADPARAMCOUNT;
      hr = m->method(args, &scratch);
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
  } catch (const ArgumentError& e) {
    VariantClear(&scratch);
    if (e.hasIndex && argErr) *argErr = params->cArgs - 1 - e.index;
    return e.hr;
  } catch (const DispatchException& e) {
    VariantClear(&scratch);
    fillException(excep, e.source, e.description, e.scode);
    return DISP_E_EXCEPTION;
  } catch (const std::exception& e) {
    VariantClear(&scratch);
    fillException(excep, "", e.what(), E_FAIL);
    return DISP_E_EXCEPTION;
  } catch (...) {
    // Nothing may unwind through an interface call.
    VariantClear(&scratch);
    fillException(excep, "", "", E_FAIL);
    return DISP_E_EXCEPTION;
  }
  if (SUCCEEDED(hr) && result)
    *result = scratch;
  else
    VariantClear(&scratch);
  return hr;
}

HRESULT invokeByName(IDispatch* object, const std::string& name, WORD flags, const std::vector<Variant>& args,
                     VARIANT* result, EXCEPINFO* excep) {
  if (!object) return E_POINTER;
  constexpr LCID kSystemDefault = 0x0800;
  std::u16string wide = qv::os::ansiToUtf16(name);
  LPOLESTR names[1] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, kSystemDefault, &id);
  if (FAILED(hr)) return hr;
  // The callee reads the arguments only, so shallow copies serve.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->raw());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS dp{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    dp.rgdispidNamedArgs = &putId;
    dp.cNamedArgs = 1;
  }
  UINT argErr = 0;
  return object->Invoke(id, IID_NULL, kSystemDefault, flags, &dp, result, excep, &argErr);
}

HRESULT getProperty(IDispatch* object, const std::string& name, Variant& result) {
  return invokeByName(object, name, DISPATCH_PROPERTYGET, {}, result.put());
}

HRESULT setProperty(IDispatch* object, const std::string& name, const Variant& value) {
  return invokeByName(object, name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

}  // namespace qv::com
