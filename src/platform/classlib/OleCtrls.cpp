#include "platform/classlib/OleCtrls.h"

#include "platform/com/Bstr.h"
#include "platform/os/kernel/Locale.h"

namespace qv::classlib {

// The client site the control gives its object. The object may keep it
// (and call it) after the control is gone, so every call checks the pointer
// back, which the control clears when it closes the object.
class OleControlSite final : public qv::com::ComObject<IOleClientSite, IOleInPlaceSite, IDispatch> {
 public:
  explicit OleControlSite(TOleControl* owner) : FOwner(owner) {}
  void ownerGone() { FOwner = nullptr; }

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // A host's own IDispatch comes before the site's ambient one.
    if (riid == IID_IDispatch && askOwner(riid, ppv)) return S_OK;
    if (ComObject::QueryInterface(riid, ppv) == S_OK) return S_OK;
    if (riid != IID_IUnknown && askOwner(riid, ppv)) return S_OK;
    return E_NOINTERFACE;
  }

  // IOleClientSite
  HRESULT SaveObject() override { return S_OK; }
  HRESULT GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetContainer(IOleContainer** ppContainer) override {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT ShowObject() override { return S_OK; }
  HRESULT OnShowWindow(BOOL) override { return S_OK; }
  HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT GetWindow(HWND* phwnd) override {
    if (!phwnd) return E_POINTER;
    *phwnd = FOwner && FOwner->HandleAllocated() ? FOwner->FHandle : nullptr;
    return *phwnd ? S_OK : E_FAIL;
  }
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT CanInPlaceActivate() override { return FOwner && FOwner->HandleAllocated() ? S_OK : S_FALSE; }
  HRESULT OnInPlaceActivate() override { return S_OK; }
  HRESULT OnUIActivate() override { return S_OK; }
  HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                           LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
    if (ppFrame) *ppFrame = nullptr;
    if (ppDoc) *ppDoc = nullptr;
    if (!FOwner) return E_UNEXPECTED;
    const TRect r = FOwner->ObjectRect();
    if (lprcPosRect) *lprcPosRect = r;
    if (lprcClipRect) *lprcClipRect = r;
    if (lpFrameInfo) {
      lpFrameInfo->fMDIApp = FALSE;
      lpFrameInfo->hwndFrame = FOwner->HandleAllocated() ? GetAncestor(FOwner->FHandle, GA_ROOT) : nullptr;
      lpFrameInfo->haccel = nullptr;
      lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT Scroll(SIZE) override { return S_FALSE; }
  HRESULT OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT OnInPlaceDeactivate() override { return S_OK; }
  HRESULT DiscardUndoState() override { return S_OK; }
  HRESULT DeactivateAndUndo() override {
    if (FOwner && FOwner->FOleInPlaceObject) FOwner->FOleInPlaceObject->UIDeactivate();
    return S_OK;
  }
  HRESULT OnPosRectChange(LPCRECT lprcPosRect) override {
    if (!lprcPosRect) return E_INVALIDARG;
    // The control decides the object's place: it stays the client area.
    if (FOwner && FOwner->FInPlace && FOwner->FOleInPlaceObject) {
      const TRect r = FOwner->ObjectRect();
      FOwner->FOleInPlaceObject->SetObjectRects(&r, &r);
    }
    return S_OK;
  }

  // IDispatch: the ambient properties.
  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT cNames, LCID, DISPID* rgDispId) override {
    if (rgDispId)
      for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID dispIdMember, REFIID, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    if (!FOwner) return DISP_E_MEMBERNOTFOUND;
    return FOwner->InvokeAmbient(dispIdMember, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
  }

 private:
  bool askOwner(REFIID riid, void** ppv) {
    if (!FOwner) return false;
    *ppv = nullptr;
    if (SUCCEEDED(FOwner->QueryHostInterface(riid, ppv)) && *ppv) return true;
    *ppv = nullptr;
    return false;
  }

  TOleControl* FOwner;
};

}  // namespace qv::classlib

namespace {

HRESULT boolResult(VARIANT* result, bool value) {
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT longResult(VARIANT* result, LONG value) {
  result->vt = VT_I4;
  result->lVal = value;
  return S_OK;
}

}  // namespace

TOleControl::TOleControl(TComponent* AOwner) : TWinControl(AOwner) {
  FSite = qv::com::makeObject<qv::classlib::OleControlSite>(this);
}

TOleControl::~TOleControl() {
  CloseOleObject();
  FOleControl = nullptr;
  FOleInPlaceObject = nullptr;
  FOleObjectInterface = nullptr;
  FOleObject = nullptr;
  FSite = nullptr;
}

qv::com::ComPtr<IUnknown> TOleControl::CreateOleObject() { return nullptr; }

void TOleControl::OleObjectNeeded() {
  if (FOleObject) return;
  if (FClosed) throw EOleError("The OLE object of %s is closed", {Name()});
  qv::com::ComPtr<IUnknown> object = CreateOleObject();
  if (!object) throw EOleError("%s has no OLE object", {ClassName()});
  qv::com::ComPtr<IOleObject> ole;
  if (FAILED(object->QueryInterface(IID_IOleObject, ole.putVoid())) || !ole)
    throw EOleError("The OLE object of %s cannot be embedded", {ClassName()});
  FOleObject = object;
  FOleObjectInterface = ole;
  object->QueryInterface(IID_IOleInPlaceObject, FOleInPlaceObject.putVoid());
  object->QueryInterface(IID_IOleControl, FOleControl.putVoid());
}

IUnknown* TOleControl::OleObject() const {
  auto* self = const_cast<TOleControl*>(this);
  if (!FOleObject && !FClosed) {
    try {
      self->OleObjectNeeded();
    } catch (const EOleError&) {
      return nullptr;
    }
  }
  // Any use after construction gives the object its site, so that it sees
  // the interfaces of the class actually built.
  if (FOleObject && !FSiteAttached && !FClosed) self->AttachSite();
  return FOleObject.get();
}

HRESULT TOleControl::QueryHostInterface(REFIID, void** ppv) {
  if (ppv) *ppv = nullptr;
  return E_NOINTERFACE;
}

void TOleControl::AttachSite() {
  if (!FOleObjectInterface || FClosed) return;
  FSiteAttached = true;
  FOleObjectInterface->SetClientSite(FSite.get());
}

HRESULT TOleControl::InvokeAmbient(DISPID dispid, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (!result) return E_POINTER;
  VariantInit(result);
  const bool designing = ComponentState().Contains(csDesigning);
  switch (dispid) {
    case DISPID_AMBIENT_USERMODE:
      return boolResult(result, !designing);
    case DISPID_AMBIENT_UIDEAD:
      return boolResult(result, designing);
    case DISPID_AMBIENT_BACKCOLOR:
      return longResult(result, static_cast<LONG>(ColorToRGB(Color())));
    case DISPID_AMBIENT_FORECOLOR:
      return longResult(result, static_cast<LONG>(ColorToRGB(Font()->Color())));
    case DISPID_AMBIENT_DISPLAYNAME:
      result->vt = VT_BSTR;
      result->bstrVal = qv::com::ansiToNewBstr(Name());
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      return longResult(result, static_cast<LONG>(GetUserDefaultLCID()));
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
      return boolResult(result, false);
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_AUTOCLIP:
      return boolResult(result, true);
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

void TOleControl::AmbientPropertyChanged(DISPID dispid) {
  if (!OleObject() || !FOleControl) return;
  FOleControl->OnAmbientPropertyChange(dispid);
}

void TOleControl::CloseOleObject() {
  if (FClosed) return;
  FClosed = true;
  deactivateInPlace();
  if (FOleObjectInterface) {
    FOleObjectInterface->Close(OLECLOSE_NOSAVE);
    FOleObjectInterface->SetClientSite(nullptr);
  }
  if (FSite) FSite->ownerGone();
}

TRect TOleControl::ObjectRect() { return ClientRect(); }

void TOleControl::activateInPlace() {
  if (FInPlace || FClosed || !FHandle || !OleObject()) return;
  // Again each time: the window may be new, and the object asks the site for
  // the host's interfaces when it gets it.
  AttachSite();
  const TRect r = ObjectRect();
  OleCheck(FOleObjectInterface->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, FSite.get(), 0, FHandle, &r));
  FInPlace = true;
  if (!Visible()) FOleObjectInterface->DoVerb(OLEIVERB_HIDE, nullptr, FSite.get(), 0, FHandle, &r);
}

void TOleControl::deactivateInPlace() {
  if (!FInPlace) return;
  FInPlace = false;
  // The object's window goes back to the desktop, so that it outlives ours.
  if (FOleInPlaceObject) FOleInPlaceObject->InPlaceDeactivate();
}

void TOleControl::CreateWnd() {
  inherited::CreateWnd();
  activateInPlace();
}

void TOleControl::DestroyWnd() {
  deactivateInPlace();
  inherited::DestroyWnd();
}

void TOleControl::WndProc(TMessage& Message) {
  // Our window can also go with a parent's; the children are destroyed
  // after this message, so the object's window is taken out first.
  if (Message.Msg == WM_DESTROY) deactivateInPlace();
  inherited::WndProc(Message);
}

void TOleControl::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  if (FInPlace && FOleInPlaceObject) {
    const TRect r = ObjectRect();
    FOleInPlaceObject->SetObjectRects(&r, &r);
  }
}

void TOleControl::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  if (!FInPlace || !FOleObjectInterface || !FHandle) return;
  const TRect r = ObjectRect();
  FOleObjectInterface->DoVerb(Visible() ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, FSite.get(), 0, FHandle, &r);
}
