#include "platform/classlib/SHDocVw.h"

#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Forms.h"
#include "platform/com/Bstr.h"

namespace qv::classlib {

// Receives DWebBrowserEvents2 from the browser and calls the control's OnX
// fields. The browser keeps the sink alive while it calls it, and the
// control clears the pointer back when it dies, also from inside a handler.
class WebBrowserEventSink final : public qv::com::ComObject<IDispatch> {
 public:
  explicit WebBrowserEventSink(TWebBrowser* owner) : FOwner(owner) {}
  void ownerGone() { FOwner = nullptr; }

  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (!FOwner || !params) return S_OK;
    qv::com::ComPtr<IDispatch> keep(this);
    try {
      dispatch(id, *params);
    } catch (...) {
      // As for a window procedure: the exception must not unwind through the
      // browser; the application shows it.
      if (Application) Application->HandleException(FOwner);
    }
    return S_OK;
  }

 protected:
  void* queryOther(REFIID riid) override {
    return riid == DIID_DWebBrowserEvents2 ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  // The event's arguments first first, references to variants followed.
  struct Args {
    const DISPPARAMS& p;
    UINT count() const { return p.cArgs; }
    const VARIANT& operator[](UINT i) const {
      const VARIANT* v = &p.rgvarg[p.cArgs - 1 - i];
      while (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
      return *v;
    }
    IDispatch* dispatch(UINT i) const {
      const VARIANT& v = (*this)[i];
      if (v.vt == VT_DISPATCH) return v.pdispVal;
      if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal) return *v.ppdispVal;
      return nullptr;
    }
    LONG integer(UINT i) const {
      qv::com::Variant c;
      VariantCopyInd(c.put(), &(*this)[i]);
      return c.toInt().value_or(0);
    }
    bool boolean(UINT i) const {
      qv::com::Variant c;
      VariantCopyInd(c.put(), &(*this)[i]);
      return c.toBool().value_or(false);
    }
    std::string text(UINT i) const {
      qv::com::Variant c;
      VariantCopyInd(c.put(), &(*this)[i]);
      if (c.vt() == VT_BSTR) return qv::com::bstrToAnsi(c.raw().bstrVal);
      return c.toString().value_or("");
    }
    // A by-reference Boolean out parameter, or nullptr.
    VARIANT_BOOL* boolRef(UINT i) const {
      const VARIANT& v = (*this)[i];
      return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
    }
    LONG* longRef(UINT i) const {
      const VARIANT& v = (*this)[i];
      return v.vt == (VT_BYREF | VT_I4) ? v.plVal : nullptr;
    }
  };

  // Runs a handler with a Cancel flag and writes the flag back.
  template <class F>
  static void withCancel(VARIANT_BOOL* ref, F&& call) {
    bool cancel = ref && *ref != VARIANT_FALSE;
    call(cancel);
    if (ref) *ref = cancel ? VARIANT_TRUE : VARIANT_FALSE;
  }

  void dispatch(DISPID id, const DISPPARAMS& params) {
    TWebBrowser* c = FOwner;
    const Args a{params};
    const UINT n = a.count();
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        if (c->OnBeforeNavigate2 && n >= 7) {
          auto handler = c->OnBeforeNavigate2;
          withCancel(a.boolRef(6),
                     [&](bool& cancel) { handler(c, a.dispatch(0), a[1], a[2], a[3], a[4], a[5], cancel); });
        }
        break;
      case DISPID_NAVIGATECOMPLETE2:
        if (c->OnNavigateComplete2 && n >= 2) {
          auto handler = c->OnNavigateComplete2;
          handler(c, a.dispatch(0), a[1]);
        }
        break;
      case DISPID_DOCUMENTCOMPLETE:
        if (c->OnDocumentComplete && n >= 2) {
          auto handler = c->OnDocumentComplete;
          handler(c, a.dispatch(0), a[1]);
        }
        break;
      case DISPID_NEWWINDOW2:
        if (c->OnNewWindow2 && n >= 2) {
          const VARIANT& out = params.rgvarg[params.cArgs - 1];
          if (out.vt != (VT_BYREF | VT_DISPATCH) || !out.ppdispVal) break;
          auto handler = c->OnNewWindow2;
          qv::com::ComPtr<IDispatch> target(*out.ppdispVal);
          withCancel(a.boolRef(1), [&](bool& cancel) { handler(c, target, cancel); });
          // The browser takes over the reference it finds there.
          if (*out.ppdispVal) (*out.ppdispVal)->Release();
          *out.ppdispVal = target.detach();
        }
        break;
      case DISPID_COMMANDSTATECHANGE:
        if (c->OnCommandStateChange && n >= 2) {
          auto handler = c->OnCommandStateChange;
          handler(c, static_cast<int>(a.integer(0)), a.boolean(1));
        }
        break;
      case DISPID_STATUSTEXTCHANGE:
        if (c->OnStatusTextChange && n >= 1) {
          auto handler = c->OnStatusTextChange;
          handler(c, a.text(0));
        }
        break;
      case DISPID_TITLECHANGE:
        if (c->OnTitleChange && n >= 1) {
          auto handler = c->OnTitleChange;
          handler(c, a.text(0));
        }
        break;
      case DISPID_WINDOWCLOSING:
        if (c->OnWindowClosing && n >= 2) {
          auto handler = c->OnWindowClosing;
          withCancel(a.boolRef(1), [&](bool& cancel) { handler(c, a.boolean(0), cancel); });
        }
        break;
      case DISPID_WINDOWSETLEFT:
        if (c->OnWindowSetLeft && n >= 1) {
          auto handler = c->OnWindowSetLeft;
          handler(c, static_cast<int>(a.integer(0)));
        }
        break;
      case DISPID_WINDOWSETTOP:
        if (c->OnWindowSetTop && n >= 1) {
          auto handler = c->OnWindowSetTop;
          handler(c, static_cast<int>(a.integer(0)));
        }
        break;
      case DISPID_WINDOWSETWIDTH:
        if (c->OnWindowSetWidth && n >= 1) {
          auto handler = c->OnWindowSetWidth;
          handler(c, static_cast<int>(a.integer(0)));
        }
        break;
      case DISPID_WINDOWSETHEIGHT:
        if (c->OnWindowSetHeight && n >= 1) {
          auto handler = c->OnWindowSetHeight;
          handler(c, static_cast<int>(a.integer(0)));
        }
        break;
      case DISPID_WINDOWSETRESIZABLE:
        if (c->OnWindowSetResizable && n >= 1) {
          auto handler = c->OnWindowSetResizable;
          handler(c, a.boolean(0));
        }
        break;
      case DISPID_CLIENTTOHOSTWINDOW:
        if (c->OnClientToHostWindow && n >= 2) {
          LONG* cx = a.longRef(0);
          LONG* cy = a.longRef(1);
          int width = cx ? static_cast<int>(*cx) : static_cast<int>(a.integer(0));
          int height = cy ? static_cast<int>(*cy) : static_cast<int>(a.integer(1));
          auto handler = c->OnClientToHostWindow;
          handler(c, width, height);
          if (cx) *cx = width;
          if (cy) *cy = height;
        }
        break;
      case DISPID_ONFULLSCREEN:
        if (c->OnFullScreen && n >= 1) {
          auto handler = c->OnFullScreen;
          handler(c, a.boolean(0));
        }
        break;
      case DISPID_NAVIGATEERROR:
        if (c->OnNavigateError && n >= 5) {
          auto handler = c->OnNavigateError;
          withCancel(a.boolRef(4), [&](bool& cancel) { handler(c, a[1], a[2], a[3], cancel); });
        }
        break;
      default:
        break;
    }
  }

  TWebBrowser* FOwner;
};

}  // namespace qv::classlib

namespace {
// Form resources name the class.
const bool registered = (RegisterClass(TWebBrowser::StaticClass()), true);
}  // namespace

TWebBrowser::TWebBrowser(TComponent* AOwner) : TOleControl(AOwner) {
  SetBounds(Left(), Top(), 300, 150);
  FSink = qv::com::makeObject<qv::classlib::WebBrowserEventSink>(this);
  OleObjectNeeded();
  connectEvents();
}

TWebBrowser::~TWebBrowser() {
  // Events stop first: closing the browser must not reach a half-destroyed
  // control.
  FSink->ownerGone();
  disconnectEvents();
  CloseOleObject();
  FBrowser = nullptr;
}

qv::com::ComPtr<IUnknown> TWebBrowser::CreateOleObject() {
  FBrowser = qv::browser::createWebBrowser();
  if (!FBrowser) return nullptr;
  qv::com::ComPtr<IUnknown> unknown;
  FBrowser->QueryInterface(IID_IUnknown, unknown.putVoid());
  return unknown;
}

void TWebBrowser::connectEvents() {
  qv::com::ComPtr<IConnectionPointContainer> container;
  if (!FOleObject || FAILED(FOleObject->QueryInterface(IID_IConnectionPointContainer, container.putVoid())))
    throw EOleError("The web browser offers no events");
  check(container->FindConnectionPoint(DIID_DWebBrowserEvents2, FEventPoint.put()), "FindConnectionPoint");
  check(FEventPoint->Advise(static_cast<IDispatch*>(FSink.get()), &FEventCookie), "Advise");
}

void TWebBrowser::disconnectEvents() {
  if (FEventPoint && FEventCookie) FEventPoint->Unadvise(FEventCookie);
  FEventCookie = 0;
  FEventPoint = nullptr;
}

IWebBrowser2* TWebBrowser::browser() {
  if (!OleObject() || !FBrowser) throw EOleError("The web browser is not available");
  return FBrowser.get();
}

void TWebBrowser::check(HRESULT Result, const char* Member) {
  if (FAILED(Result)) throw EOleException("", Result, std::string("TWebBrowser.") + Member);
}

bool TWebBrowser::getBool(HRESULT (IWebBrowser2::*Get)(VARIANT_BOOL*), const char* Member) {
  VARIANT_BOOL value = VARIANT_FALSE;
  check((browser()->*Get)(&value), Member);
  return value != VARIANT_FALSE;
}

void TWebBrowser::putBool(HRESULT (IWebBrowser2::*Put)(VARIANT_BOOL), bool Value, const char* Member) {
  check((browser()->*Put)(Value ? VARIANT_TRUE : VARIANT_FALSE), Member);
}

// --- methods

void TWebBrowser::Navigate(const std::string& URL) {
  qv::com::Bstr url(URL);
  check(browser()->Navigate(url.get(), nullptr, nullptr, nullptr, nullptr), "Navigate");
}

void TWebBrowser::Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                            VARIANT* Headers) {
  check(browser()->Navigate2(URL, Flags, TargetFrameName, PostData, Headers), "Navigate2");
}

void TWebBrowser::GoBack() { check(browser()->GoBack(), "GoBack"); }
void TWebBrowser::GoForward() { check(browser()->GoForward(), "GoForward"); }
void TWebBrowser::GoHome() { check(browser()->GoHome(), "GoHome"); }
void TWebBrowser::Refresh() { check(browser()->Refresh(), "Refresh"); }
void TWebBrowser::Stop() { check(browser()->Stop(), "Stop"); }

void TWebBrowser::ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) {
  check(browser()->ExecWB(cmdID, cmdexecopt, pvaIn, pvaOut), "ExecWB");
}

OLECMDF TWebBrowser::QueryStatusWB(OLECMDID cmdID) {
  OLECMDF status{};
  check(browser()->QueryStatusWB(cmdID, &status), "QueryStatusWB");
  return status;
}

// --- properties

qv::com::ComPtr<IDispatch> TWebBrowser::Document() {
  qv::com::ComPtr<IDispatch> d;
  check(browser()->get_Document(d.put()), "Document");
  return d;
}

qv::com::ComPtr<IDispatch> TWebBrowser::Application() {
  qv::com::ComPtr<IDispatch> d;
  check(browser()->get_Application(d.put()), "Application");
  return d;
}

IWebBrowser2* TWebBrowser::DefaultInterface() { return browser(); }

std::string TWebBrowser::LocationURL() {
  qv::com::Bstr b;
  check(browser()->get_LocationURL(b.put()), "LocationURL");
  return b.toAnsi();
}

std::string TWebBrowser::LocationName() {
  qv::com::Bstr b;
  check(browser()->get_LocationName(b.put()), "LocationName");
  return b.toAnsi();
}

bool TWebBrowser::Busy() { return getBool(&IWebBrowser2::get_Busy, "Busy"); }

READYSTATE TWebBrowser::ReadyState() {
  READYSTATE state = READYSTATE_UNINITIALIZED;
  check(browser()->get_ReadyState(&state), "ReadyState");
  return state;
}

bool TWebBrowser::Offline() { return getBool(&IWebBrowser2::get_Offline, "Offline"); }
void TWebBrowser::SetOffline(bool Value) { putBool(&IWebBrowser2::put_Offline, Value, "Offline"); }
bool TWebBrowser::Silent() { return getBool(&IWebBrowser2::get_Silent, "Silent"); }
void TWebBrowser::SetSilent(bool Value) { putBool(&IWebBrowser2::put_Silent, Value, "Silent"); }
bool TWebBrowser::AddressBar() { return getBool(&IWebBrowser2::get_AddressBar, "AddressBar"); }
void TWebBrowser::SetAddressBar(bool Value) { putBool(&IWebBrowser2::put_AddressBar, Value, "AddressBar"); }
bool TWebBrowser::MenuBar() { return getBool(&IWebBrowser2::get_MenuBar, "MenuBar"); }
void TWebBrowser::SetMenuBar(bool Value) { putBool(&IWebBrowser2::put_MenuBar, Value, "MenuBar"); }
bool TWebBrowser::StatusBar() { return getBool(&IWebBrowser2::get_StatusBar, "StatusBar"); }
void TWebBrowser::SetStatusBar(bool Value) { putBool(&IWebBrowser2::put_StatusBar, Value, "StatusBar"); }

int TWebBrowser::ToolBar() {
  int value = 0;
  check(browser()->get_ToolBar(&value), "ToolBar");
  return value;
}
void TWebBrowser::SetToolBar(int Value) { check(browser()->put_ToolBar(Value), "ToolBar"); }

bool TWebBrowser::RegisterAsBrowser() { return getBool(&IWebBrowser2::get_RegisterAsBrowser, "RegisterAsBrowser"); }
void TWebBrowser::SetRegisterAsBrowser(bool Value) {
  putBool(&IWebBrowser2::put_RegisterAsBrowser, Value, "RegisterAsBrowser");
}
bool TWebBrowser::RegisterAsDropTarget() {
  return getBool(&IWebBrowser2::get_RegisterAsDropTarget, "RegisterAsDropTarget");
}
void TWebBrowser::SetRegisterAsDropTarget(bool Value) {
  putBool(&IWebBrowser2::put_RegisterAsDropTarget, Value, "RegisterAsDropTarget");
}
bool TWebBrowser::FullScreen() { return getBool(&IWebBrowser2::get_FullScreen, "FullScreen"); }
void TWebBrowser::SetFullScreen(bool Value) { putBool(&IWebBrowser2::put_FullScreen, Value, "FullScreen"); }
bool TWebBrowser::Resizable() { return getBool(&IWebBrowser2::get_Resizable, "Resizable"); }
void TWebBrowser::SetResizable(bool Value) { putBool(&IWebBrowser2::put_Resizable, Value, "Resizable"); }
