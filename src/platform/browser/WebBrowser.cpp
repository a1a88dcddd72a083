#include "platform/browser/WebBrowser.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "platform/browser/HtmlDispatch.h"
#include "platform/browser/Url.h"
#include "platform/com/Ole.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/kernel/Shell.h"
#include "platform/os/kernel/Version.h"
#include "platform/os/user/HtmlHelp.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/MessageBox.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

// Asks an object whether it is one of our controls.
// {6A1F0C35-2E7B-4C58-9E0D-51B4A7C3D902}
inline constexpr IID IID_QvWebBrowserSelf = {0x6A1F0C35, 0x2E7B, 0x4C58, {0x9E, 0x0D, 0x51, 0xB4, 0xA7, 0xC3, 0xD9, 0x02}};

namespace qv::browser {

using qv::com::ComPtr;
using qv::com::Variant;

namespace {

constexpr char kWindowClass[] = "QvBrowserView";
constexpr UINT kNavigateMessage = WM_APP + 0x3B1;
constexpr char kMessageCaption[] = "Message from webpage";
// What the browser opens for F1 when its host shows no help of its own.
constexpr char kOwnHelpFile[] = "iexplore.chm";

LRESULT viewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* wb = reinterpret_cast<WebBrowser*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (wb) return wb->handleMessage(msg, wParam, lParam);
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void registerViewClass() {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = viewProc;
  wc.lpszClassName = kWindowClass;
  RegisterClass(&wc);  // fails harmlessly when it is registered already
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Whether `bytes` hold a whole item id list: items of at least their own
// size field, up to the empty item that ends the list.
bool holdsItemList(const std::string& bytes) {
  std::size_t pos = 0;
  while (pos + sizeof(USHORT) <= bytes.size()) {
    USHORT cb;
    std::memcpy(&cb, bytes.data() + pos, sizeof cb);
    if (cb == 0) return true;
    if (cb < sizeof(USHORT)) return false;
    pos += cb;
  }
  return false;
}

// The text of an automation argument: a string, or a byte array holding an
// item id list (a host's NavigateToPidl) or else a path (NUL-terminated, ANSI).
std::string urlOfVariant(const Variant& v) {
  const VARIANT& raw = v.raw();
  if (raw.vt == VT_BSTR) return bstrToUtf8(raw.bstrVal);
  if (raw.vt == (VT_ARRAY | VT_UI1) && raw.parray) {
    void* data = nullptr;
    std::string bytes;
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(raw.parray, 1, &lo);
    SafeArrayGetUBound(raw.parray, 1, &hi);
    if (SUCCEEDED(SafeArrayAccessData(raw.parray, &data))) {
      bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(hi - lo + 1));
      SafeArrayUnaccessData(raw.parray);
    }
    char path[MAX_PATH];
    if (holdsItemList(bytes) && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(bytes.data()), path))
      return qv::os::ansiToUtf8(path);
    bytes = bytes.substr(0, bytes.find('\0'));
    return qv::os::ansiToUtf8(bytes);
  }
  if (raw.vt == VT_EMPTY || raw.vt == VT_NULL || raw.vt == VT_ERROR) return {};
  return qv::os::ansiToUtf8(v.toString().value_or(""));
}

std::string bytesOfVariant(const Variant& v) {
  const VARIANT& raw = v.raw();
  if (raw.vt == (VT_ARRAY | VT_UI1) && raw.parray) {
    void* data = nullptr;
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(raw.parray, 1, &lo);
    SafeArrayGetUBound(raw.parray, 1, &hi);
    std::string bytes;
    if (SUCCEEDED(SafeArrayAccessData(raw.parray, &data))) {
      bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(hi - lo + 1));
      SafeArrayUnaccessData(raw.parray);
    }
    return bytes;
  }
  if (raw.vt == VT_BSTR) return qv::com::bstrToAnsi(raw.bstrVal);
  return {};
}

std::string textOfVariant(const Variant& v) {
  const VARIANT& raw = v.raw();
  if (raw.vt == VT_EMPTY || raw.vt == VT_NULL || raw.vt == VT_ERROR) return {};
  if (raw.vt == VT_BSTR) return bstrToUtf8(raw.bstrVal);
  return qv::os::ansiToUtf8(v.toString().value_or(""));
}

Variant deref(VARIANT* p) {
  Variant out;
  if (p) VariantCopyInd(out.put(), p);
  return out;
}

// The header and footer of a print request: a string, or a safe array of
// variants (header, footer), directly or by reference.
std::pair<std::string, std::string> printTexts(VARIANT* in) {
  if (!in) return {};
  SAFEARRAY* sa = nullptr;
  if (in->vt == (VT_ARRAY | VT_BYREF | VT_VARIANT) || in->vt == (VT_ARRAY | VT_BYREF)) {
    sa = in->pparray ? *in->pparray : nullptr;
  } else if ((in->vt & VT_ARRAY) && !(in->vt & VT_BYREF)) {
    sa = in->parray;
  } else {
    const Variant v = deref(in);
    return {textOfVariant(v), {}};
  }
  std::pair<std::string, std::string> out;
  if (!sa) return out;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(sa, 1, &lo);
  SafeArrayGetUBound(sa, 1, &hi);
  VARTYPE vt = VT_EMPTY;
  SafeArrayGetVartype(sa, &vt);
  for (LONG i = lo; i <= hi && i < lo + 2; ++i) {
    std::string text;
    if (vt == VT_VARIANT) {
      Variant item;
      SafeArrayGetElement(sa, &i, item.put());
      text = textOfVariant(item);
    } else if (vt == VT_BSTR) {
      BSTR b = nullptr;
      SafeArrayGetElement(sa, &i, &b);
      text = bstrToUtf8(b);
      SysFreeString(b);
    }
    (i == lo ? out.first : out.second) = text;
  }
  return out;
}

// window.open features: "width=300,height=200,left=10,top=20,resizable=no".
std::map<std::string, std::string> parseFeatures(const std::string& features) {
  std::map<std::string, std::string> out;
  std::size_t pos = 0;
  while (pos <= features.size()) {
    std::size_t end = features.find(',', pos);
    if (end == std::string::npos) end = features.size();
    std::string item = features.substr(pos, end - pos);
    const std::size_t eq = item.find('=');
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(" \t"));
      s.erase(s.find_last_not_of(" \t") + 1);
      return lower(s);
    };
    const std::string key = trim(item.substr(0, eq));
    if (!key.empty()) out[key] = eq == std::string::npos ? "yes" : trim(item.substr(eq + 1));
    pos = end + 1;
  }
  return out;
}

bool featureOn(const std::string& v) { return v == "yes" || v == "1" || v == "true"; }

// The frame element (FRAME or IFRAME) of `top`, at any depth, that shows `doc`.
bool frameChain(Document& top, const Document* doc, std::vector<std::pair<Document*, Element*>>& chain) {
  for (const Frame& f : top.frames()) {
    if (!f.document) continue;
    chain.emplace_back(&top, f.element);
    if (f.document.get() == doc || frameChain(*f.document, doc, chain)) return true;
    chain.pop_back();
  }
  return false;
}

void collectFrames(const std::shared_ptr<Document>& doc, std::vector<std::shared_ptr<Document>>& out) {
  for (const Frame& f : doc->frames()) {
    if (!f.document) continue;
    collectFrames(f.document, out);  // a frame's own frames complete before it
    out.push_back(f.document);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The DWebBrowserEvents2 connection point.

class EventPoint final : public qv::com::ComObject<IConnectionPoint> {
 public:
  explicit EventPoint(WebBrowser* owner) : owner_(owner) {}
  void ownerGone() { owner_ = nullptr; }
  std::vector<ComPtr<IDispatch>> sinks() const {
    std::vector<ComPtr<IDispatch>> out;
    for (const auto& s : sinks_) out.push_back(s.second);
    return out;
  }

  HRESULT GetConnectionInterface(IID* pIID) override {
    if (!pIID) return E_POINTER;
    *pIID = DIID_DWebBrowserEvents2;
    return S_OK;
  }
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** pp) override {
    if (!pp) return E_POINTER;
    *pp = owner_;
    if (!owner_) return E_UNEXPECTED;
    owner_->AddRef();
    return S_OK;
  }
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> d;
    // A sink answers the event interface, which is a dispatch interface.
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, d.putVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, d.putVoid())))
      return CONNECT_E_CANNOTCONNECT;
    *cookie = ++next_;
    sinks_.emplace_back(*cookie, d);
    return S_OK;
  }
  HRESULT Unadvise(DWORD cookie) override {
    auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sinks_.erase(it);
    return S_OK;
  }
  HRESULT EnumConnections(IEnumConnections** pp) override {
    if (pp) *pp = nullptr;
    return E_NOTIMPL;
  }

 private:
  WebBrowser* owner_;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
  DWORD next_ = 0;
};

// ---------------------------------------------------------------------------

void registerBrowserModule() {
  qv::os::VersionInfo info;
  const std::string text = qv::desktop::profile().browserVersion;
  WORD parts[4] = {0, 0, 0, 0};
  std::size_t pos = 0;
  for (int i = 0; i < 4 && pos <= text.size(); ++i) {
    parts[i] = static_cast<WORD>(std::strtoul(text.c_str() + pos, nullptr, 10));
    const std::size_t dot = text.find('.', pos);
    if (dot == std::string::npos) break;
    pos = dot + 1;
  }
  std::memcpy(info.fileVersion, parts, sizeof parts);
  std::memcpy(info.productVersion, parts, sizeof parts);
  info.fileType = VFT_DLL;
  info.tables = {{"040904B0",
                  {{"FileDescription", "Web browser control library"},
                   {"FileVersion", text},
                   {"InternalName", "SHDOCVW"},
                   {"OriginalFilename", "SHDOCVW.DLL"},
                   {"ProductVersion", text}}}};
  info.translations = {{0x0409, 0x04B0}};
  qv::os::StandInModule m;
  m.fileName = "shdocvw.dll";
  m.resources = qv::os::writeResContainer({qv::os::ResEntry{qv::os::ResId::id(16), qv::os::ResId::id(VS_VERSION_INFO),
                                                            0x0409, 0x0030, 0, 0, 0,
                                                            qv::os::buildVersionResource(info), {}}});
  qv::os::registerStandInModule(std::move(m));
}

namespace {
// Programs ask for the library's version before they create a control, so
// it is there from start-up in every program that links the control.
const bool kModuleRegistered = (registerBrowserModule(), true);
}  // namespace

ComPtr<IWebBrowser2> createWebBrowser() {
  (void)kModuleRegistered;
  registerBrowserModule();
  ComPtr<WebBrowser> wb = qv::com::makeObject<WebBrowser>();
  return ComPtr<IWebBrowser2>(wb.get());
}

namespace {
std::vector<WebBrowser*>& live() {
  static std::vector<WebBrowser*> list;
  return list;
}
}  // namespace

std::vector<WebBrowser*> liveBrowsers() { return live(); }

WebBrowser* frontBrowser() {
  WebBrowser* visible = nullptr;
  const HWND foreground = GetForegroundWindow();
  for (auto it = live().rbegin(); it != live().rend(); ++it) {
    HWND w = (*it)->window();
    if (!w || !IsWindow(w) || !IsWindowVisible(w)) continue;
    if (foreground && GetAncestor(w, GA_ROOT) == foreground) return *it;
    if (!visible) visible = *it;
  }
  return visible;
}

WebBrowser* webBrowserOf(IUnknown* object) {
  if (!object) return nullptr;
  IWebBrowser2* p = nullptr;
  if (FAILED(object->QueryInterface(IID_QvWebBrowserSelf, reinterpret_cast<void**>(&p))) || !p) return nullptr;
  auto* wb = static_cast<WebBrowser*>(p);
  p->Release();
  return wb;
}

WebBrowser::WebBrowser() {
  live().push_back(this);
  events_ = ComPtr<EventPoint>(new EventPoint(this));
  registerViewClass();
  hwnd_ = CreateWindowEx(0, kWindowClass, "", WS_POPUP | WS_CLIPCHILDREN, rect_.left, rect_.top,
                         rect_.right - rect_.left, rect_.bottom - rect_.top, nullptr, nullptr, nullptr, nullptr);
  if (hwnd_) SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  buildMembers();
}

WebBrowser::~WebBrowser() {
  live().erase(std::remove(live().begin(), live().end(), this), live().end());
  events_->ownerGone();
  if (doc_) doc_->commandHandler = nullptr;  // the document may outlive the control
  watch(doc_.get(), false);
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void* WebBrowser::queryOther(REFIID riid) {
  if (riid == IID_QvWebBrowserSelf) return static_cast<IWebBrowser2*>(this);
  return nullptr;
}

// ---------------------------------------------------------------------------
// Members by name, for late-bound callers.

void WebBrowser::buildMembers() {
  using qv::com::DispatchArgs;
  auto arg = [](const DispatchArgs& a, UINT i) { return i < a.count() ? a.value(i) : Variant(); };
  auto boolProp = [this](DISPID id, const char* name, HRESULT (WebBrowser::*get)(VARIANT_BOOL*),
                         HRESULT (WebBrowser::*put)(VARIANT_BOOL)) {
    members().property(
        name, id,
        [this, get](VARIANT* r) {
          VARIANT_BOOL b = VARIANT_FALSE;
          const HRESULT hr = (this->*get)(&b);
          if (r) *r = Variant(b != VARIANT_FALSE).detach();
          return hr;
        },
        put ? qv::com::DispatchSetter([this, put](const DispatchArgs& a) {
          return (this->*put)(a.boolean(0) ? VARIANT_TRUE : VARIANT_FALSE);
        })
            : qv::com::DispatchSetter());
  };
  auto longProp = [this](DISPID id, const char* name, HRESULT (WebBrowser::*get)(LONG*),
                         HRESULT (WebBrowser::*put)(LONG)) {
    members().property(
        name, id,
        [this, get](VARIANT* r) {
          LONG v = 0;
          const HRESULT hr = (this->*get)(&v);
          if (r) *r = Variant(v).detach();
          return hr;
        },
        [this, put](const DispatchArgs& a) { return (this->*put)(a.int32(0)); });
  };
  auto bstrProp = [this](DISPID id, const char* name, HRESULT (WebBrowser::*get)(BSTR*)) {
    members().property(name, id, [this, get](VARIANT* r) {
      BSTR b = nullptr;
      const HRESULT hr = (this->*get)(&b);
      if (r) {
        VariantInit(r);
        r->vt = VT_BSTR;
        r->bstrVal = b;
      } else {
        SysFreeString(b);
      }
      return hr;
    });
  };
  auto dispProp = [this](DISPID id, const char* name, HRESULT (WebBrowser::*get)(IDispatch**)) {
    members().property(name, id, [this, get](VARIANT* r) {
      IDispatch* d = nullptr;
      const HRESULT hr = (this->*get)(&d);
      if (r) {
        VariantInit(r);
        r->vt = VT_DISPATCH;
        r->pdispVal = d;
      } else if (d) {
        d->Release();
      }
      return hr;
    });
  };

  members()
      .method("GoBack", DISPID_WB_GOBACK, [this](const DispatchArgs&, VARIANT*) { return GoBack(); })
      .method("GoForward", DISPID_WB_GOFORWARD, [this](const DispatchArgs&, VARIANT*) { return GoForward(); })
      .method("Navigate", DISPID_WB_NAVIGATE,
              [this, arg](const DispatchArgs& a, VARIANT*) {
                return navigateFromVariants(arg(a, 0), arg(a, 1), arg(a, 2), arg(a, 3), arg(a, 4));
              },
              1, 5)
      .method("Navigate2", DISPID_WB_NAVIGATE2,
              [this, arg](const DispatchArgs& a, VARIANT*) {
                return navigateFromVariants(arg(a, 0), arg(a, 1), arg(a, 2), arg(a, 3), arg(a, 4));
              },
              1, 5)
      .method("Refresh", DISPID_WB_REFRESH, [this](const DispatchArgs&, VARIANT*) { return Refresh(); }, 0, 0)
      .method("Refresh2", DISPID_WB_REFRESH2,
              [this, arg](const DispatchArgs& a, VARIANT*) {
                Variant level = arg(a, 0);
                return Refresh2(level.get());
              },
              0, 1)
      .method("Stop", DISPID_WB_STOP, [this](const DispatchArgs&, VARIANT*) { return Stop(); }, 0, 0)
      .method("ExecWB", DISPID_WB_EXECWB,
              [this](const DispatchArgs& a, VARIANT* r) {
                Variant in = a.count() > 2 ? Variant(a[2]) : Variant();
                return ExecWB(static_cast<OLECMDID>(a.int32(0)), static_cast<OLECMDEXECOPT>(a.int32(1)), in.get(), r);
              },
              2, 4)
      .method("QueryStatusWB", DISPID_WB_QUERYSTATUSWB,
              [this](const DispatchArgs& a, VARIANT* r) {
                OLECMDF f{};
                const HRESULT hr = QueryStatusWB(static_cast<OLECMDID>(a.int32(0)), &f);
                if (r) *r = Variant(static_cast<LONG>(f)).detach();
                return hr;
              },
              1, 1);
  dispProp(DISPID_WB_APPLICATION, "Application", &WebBrowser::get_Application);
  dispProp(DISPID_WB_PARENT, "Parent", &WebBrowser::get_Parent);
  dispProp(DISPID_WB_CONTAINER, "Container", &WebBrowser::get_Container);
  dispProp(DISPID_WB_DOCUMENT, "Document", &WebBrowser::get_Document);
  bstrProp(DISPID_WB_TYPE, "Type", &WebBrowser::get_Type);
  bstrProp(DISPID_WB_LOCATIONNAME, "LocationName", &WebBrowser::get_LocationName);
  bstrProp(DISPID_WB_LOCATIONURL, "LocationURL", &WebBrowser::get_LocationURL);
  bstrProp(DISPID_VALUE, "Name", &WebBrowser::get_Name);
  longProp(DISPID_WB_LEFT, "Left", &WebBrowser::get_Left, &WebBrowser::put_Left);
  longProp(DISPID_WB_TOP, "Top", &WebBrowser::get_Top, &WebBrowser::put_Top);
  longProp(DISPID_WB_WIDTH, "Width", &WebBrowser::get_Width, &WebBrowser::put_Width);
  longProp(DISPID_WB_HEIGHT, "Height", &WebBrowser::get_Height, &WebBrowser::put_Height);
  boolProp(DISPID_WB_BUSY, "Busy", &WebBrowser::get_Busy, nullptr);
  boolProp(DISPID_WB_TOPLEVELCONTAINER, "TopLevelContainer", &WebBrowser::get_TopLevelContainer, nullptr);
  boolProp(DISPID_WB_VISIBLE, "Visible", &WebBrowser::get_Visible, &WebBrowser::put_Visible);
  boolProp(DISPID_WB_STATUSBAR, "StatusBar", &WebBrowser::get_StatusBar, &WebBrowser::put_StatusBar);
  boolProp(DISPID_WB_MENUBAR, "MenuBar", &WebBrowser::get_MenuBar, &WebBrowser::put_MenuBar);
  boolProp(DISPID_WB_FULLSCREEN, "FullScreen", &WebBrowser::get_FullScreen, &WebBrowser::put_FullScreen);
  boolProp(DISPID_WB_OFFLINE, "Offline", &WebBrowser::get_Offline, &WebBrowser::put_Offline);
  boolProp(DISPID_WB_SILENT, "Silent", &WebBrowser::get_Silent, &WebBrowser::put_Silent);
  boolProp(DISPID_WB_REGISTERASBROWSER, "RegisterAsBrowser", &WebBrowser::get_RegisterAsBrowser,
           &WebBrowser::put_RegisterAsBrowser);
  boolProp(DISPID_WB_REGISTERASDROPTARGET, "RegisterAsDropTarget", &WebBrowser::get_RegisterAsDropTarget,
           &WebBrowser::put_RegisterAsDropTarget);
  boolProp(DISPID_WB_ADDRESSBAR, "AddressBar", &WebBrowser::get_AddressBar, &WebBrowser::put_AddressBar);
  boolProp(DISPID_WB_RESIZABLE, "Resizable", &WebBrowser::get_Resizable, &WebBrowser::put_Resizable);
  members().property(
      "ToolBar", DISPID_WB_TOOLBAR,
      [this](VARIANT* r) {
        if (r) *r = Variant(static_cast<LONG>(toolBar_)).detach();
        return S_OK;
      },
      [this](const DispatchArgs& a) { return put_ToolBar(a.int32(0)); });
  members().property("ReadyState", DISPID_WB_READYSTATE, [this](VARIANT* r) {
    if (r) *r = Variant(static_cast<LONG>(readyState_)).detach();
    return S_OK;
  });
  members().property(
      "StatusText", DISPID_WB_STATUSTEXT,
      [this](VARIANT* r) {
        if (r) *r = Variant(qv::os::utf8ToUtf16(statusText_)).detach();
        return S_OK;
      },
      [this](const DispatchArgs& a) {
        statusText_ = textOfVariant(a.value(0));
        return S_OK;
      });
  members().property("HWND", DISPID_WB_HWND, [this](VARIANT* r) {
    if (r) *r = Variant(static_cast<LONG>(reinterpret_cast<LONG_PTR>(hwnd_))).detach();
    return S_OK;
  });
}

// ---------------------------------------------------------------------------
// Events.

void WebBrowser::fire(DISPID id, std::vector<VARIANT>& args) {
  if (frozen_ > 0) return;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  ComPtr<IDispatch> keep(self());
  for (const ComPtr<IDispatch>& sink : events_->sinks()) {
    Variant result;
    sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.put(), nullptr, nullptr);
  }
}

namespace {
VARIANT dispArg(IDispatch* d) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = d;
  return v;
}
VARIANT refArg(VARIANT* inner) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = inner;
  return v;
}
VARIANT boolRefArg(VARIANT_BOOL* b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_BOOL;
  v.pboolVal = b;
  return v;
}
VARIANT longArg(LONG l) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = l;
  return v;
}
VARIANT boolArg(bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
Variant bstrVariant(const std::string& utf8) { return Variant(qv::os::utf8ToUtf16(utf8)); }
Variant bytesVariant(const std::string& bytes) {
  if (bytes.empty()) return Variant();
  SAFEARRAY* sa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  if (sa && SUCCEEDED(SafeArrayAccessData(sa, &data))) {
    std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(sa);
  }
  return Variant::fromArray(sa, VT_UI1);
}
}  // namespace

bool WebBrowser::fireBeforeNavigate2(IDispatch* disp, const std::string& url, LONG flags, const std::string& frame,
                                     const std::string& postData, const std::string& headers) {
  Variant vUrl = bstrVariant(url), vFlags(flags), vFrame = bstrVariant(frame), vPost = bytesVariant(postData),
          vHeaders = bstrVariant(headers);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::vector<VARIANT> args{dispArg(disp),           refArg(vUrl.get()),  refArg(vFlags.get()), refArg(vFrame.get()),
                            refArg(vPost.get()),     refArg(vHeaders.get()), boolRefArg(&cancel)};
  fire(DISPID_BEFORENAVIGATE2, args);
  return cancel != VARIANT_FALSE;
}

bool WebBrowser::fireNewWindow2(ComPtr<IDispatch>& target) {
  IDispatch* out = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT pp;
  VariantInit(&pp);
  pp.vt = VT_BYREF | VT_DISPATCH;
  pp.ppdispVal = &out;
  std::vector<VARIANT> args{pp, boolRefArg(&cancel)};
  fire(DISPID_NEWWINDOW2, args);
  target.attach(out);  // the sink's reference
  return cancel != VARIANT_FALSE;
}

bool WebBrowser::fireNavigateError(const std::string& url, const std::string& frame, LONG status) {
  Variant vUrl = bstrVariant(url), vFrame = bstrVariant(frame), vStatus(status);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::vector<VARIANT> args{dispArg(self()), refArg(vUrl.get()), refArg(vFrame.get()), refArg(vStatus.get()),
                            boolRefArg(&cancel)};
  fire(DISPID_NAVIGATEERROR, args);
  return cancel != VARIANT_FALSE;
}

void WebBrowser::fireUrlEvent(DISPID id, IDispatch* disp, const std::string& url) {
  Variant vUrl = bstrVariant(url);
  std::vector<VARIANT> args{dispArg(disp), refArg(vUrl.get())};
  fire(id, args);
}

void WebBrowser::fireStringEvent(DISPID id, const std::string& text) {
  Variant v = bstrVariant(text);
  std::vector<VARIANT> args{*v.get()};
  fire(id, args);
}

void WebBrowser::fireLongEvent(DISPID id, LONG v) {
  std::vector<VARIANT> args{longArg(v)};
  fire(id, args);
}

void WebBrowser::fireBoolEvent(DISPID id, bool v) {
  std::vector<VARIANT> args{boolArg(v)};
  fire(id, args);
}

void WebBrowser::fireCommandState(LONG command, bool enabled) {
  std::vector<VARIANT> args{longArg(command), boolArg(enabled)};
  fire(DISPID_COMMANDSTATECHANGE, args);
}

bool WebBrowser::fireWindowClosing(bool childWindow) {
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::vector<VARIANT> args{boolArg(childWindow), boolRefArg(&cancel)};
  fire(DISPID_WINDOWCLOSING, args);
  return cancel != VARIANT_FALSE;
}

void WebBrowser::fireClientToHostWindow(LONG& cx, LONG& cy) {
  VARIANT a, b;
  VariantInit(&a);
  VariantInit(&b);
  a.vt = b.vt = VT_BYREF | VT_I4;
  a.plVal = &cx;
  b.plVal = &cy;
  std::vector<VARIANT> args{a, b};
  fire(DISPID_CLIENTTOHOSTWINDOW, args);
}

// ---------------------------------------------------------------------------
// Navigation.

void WebBrowser::readAmbient() {
  if (auto v = host_.ambientDownloadControl()) dlControl_ = *v;
}

bool WebBrowser::isSelf(const std::string& name) const {
  const std::string n = lower(name);
  return n.empty() || n == "_self" || n == "_top" || n == "_parent" || (!frameName_.empty() && lower(frameName_) == n);
}

namespace {
std::shared_ptr<Document> ownerOfFrame(const std::shared_ptr<Document>& doc, const std::string& name) {
  if (!doc) return nullptr;
  if (doc->frameDocument(name)) return doc;
  for (const Frame& f : doc->frames())
    if (auto owner = ownerOfFrame(f.document, name)) return owner;
  return nullptr;
}
}  // namespace

std::shared_ptr<Document> WebBrowser::frameOwner(const std::string& name) const {
  return name.empty() ? nullptr : ownerOfFrame(doc_, name);
}

ComPtr<IDispatch> WebBrowser::frameWindow(const std::string& name) const {
  ComPtr<IDispatch> out;
  if (auto owner = frameOwner(name)) {
    Document* d = owner->frameDocument(name);
    ComPtr<IHTMLWindow2> w = windowObject(d->shared_from_this());
    if (w) w->QueryInterface(IID_IDispatch, out.putVoid());
  }
  return out;
}

HRESULT WebBrowser::navigateFromVariants(const Variant& url, const Variant& flags, const Variant& frame,
                                         const Variant& postData, const Variant& headers) {
  const std::string u = urlOfVariant(url);
  if (u.empty()) return E_INVALIDARG;
  const LONG f = (flags.vt() == VT_EMPTY || flags.vt() == VT_ERROR) ? 0 : flags.toInt().value_or(0);
  const std::string target = textOfVariant(frame);
  const bool self = isSelf(target);
  if ((f & navOpenInNewWindow) || (!self && !frameOwner(target))) {
    openNewWindow(u, target, nullptr);
    return S_OK;
  }
  return navigate(u, f, target, bytesOfVariant(postData), textOfVariant(headers), -1, !self);
}

HRESULT WebBrowser::navigate(std::string url, LONG flags, const std::string& frame, const std::string& postData,
                             const std::string& headers, long historyIndex, bool inFrame) {
  ComPtr<IDispatch> keep(self());
  if (auto translated = host_.translateUrl(url)) url = *translated;
  const std::string scheme = urlScheme(url);
  // Addresses with a scheme reach the host as they stand (javascript: and
  // about: too); plain paths as the file URLs the page will have.
  if (scheme.empty() || scheme == "file") url = normalizeUrl(url);
  ComPtr<IDispatch> target = inFrame ? frameWindow(frame) : ComPtr<IDispatch>(self());
  if (!target) return S_OK;  // the frame went away meanwhile
  if (fireBeforeNavigate2(target.get(), url, flags, frame, postData, headers)) return S_OK;
  // Script addresses are never loaded: there is no script engine to run them.
  if (scheme == "javascript" || scheme == "vbscript") return S_OK;
  pending_ = Pending{++serial_, HistoryEntry{url, postData, headers}, frame, historyIndex, inFrame};
  busy_ = true;
  readyState_ = READYSTATE_LOADING;
  if (hwnd_ && IsWindow(hwnd_)) PostMessage(hwnd_, kNavigateMessage, pending_.serial, 0);
  return S_OK;
}

void WebBrowser::show(std::shared_ptr<Document> doc) {
  if (doc_) doc_->commandHandler = nullptr;
  if (!frameName_.empty()) doc->setWindowName(frameName_);
  // Commands sent to the document object (a host's find and copy) are the
  // control's to carry out while it shows the document.
  doc->commandHandler = [this](const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT*) -> HRESULT {
    if (group && *group == CGID_IWebBrowser) {
      if (id != CWBCMD_FIND) return OLECMDERR_E_NOTSUPPORTED;
      findDialog();
      return S_OK;
    }
    if (group) return OLECMDERR_E_UNKNOWNGROUP;
    switch (id) {
      case OLECMDID_COPY:
        copySelection();
        return S_OK;
      case OLECMDID_FIND:
        findDialog();
        return S_OK;
      case OLECMDID_PRINT: {
        const auto [header, footer] = printTexts(in);
        print(header, footer);
        return S_OK;
      }
      default:
        return OLECMDERR_E_NOTSUPPORTED;
    }
  };
  watch(doc_.get(), false);
  doc_ = std::move(doc);
  watch(doc_.get(), true);
  hovered_ = nullptr;
  if (!view_) {
    view_ = std::make_unique<PageView>(doc_, viewOptions());
    PageView::Actions actions;
    actions.follow = [this](Element* link) { clickLink(link); };
    actions.submit = [this](Element* form, Element* submitter, POINT at) { submitForm(form, submitter, at); };
    actions.hover = [this](Element* link) { hover(link); };
    actions.invalidate = [this] { invalidateView(); };
    view_->setActions(std::move(actions));
  } else {
    view_->setOptions(viewOptions());
    view_->setDocument(doc_);
  }
}

ViewOptions WebBrowser::viewOptions() const {
  ViewOptions o;
  o.scrollBars = !(hostInfo_.dwFlags & DOCHOSTUIFLAG_SCROLL_NO);
  o.border3d = !(hostInfo_.dwFlags & DOCHOSTUIFLAG_NO3DBORDER);
  o.flatScrollBar = (hostInfo_.dwFlags & DOCHOSTUIFLAG_FLAT_SCROLLBAR) != 0;
  o.images = (dlControl_ & DLCTL_DLIMAGES) != 0;
  o.scripts = !(dlControl_ & DLCTL_NO_SCRIPTS);
  return o;
}

void WebBrowser::watch(Document* doc, bool on) {
  if (!doc) return;
  if (on)
    doc->changed = [this] { invalidateView(); };
  else
    doc->changed = nullptr;
  for (const Frame& f : doc->frames()) watch(f.document.get(), on);
}

void WebBrowser::completeNavigation(unsigned serial) {
  if (serial != pending_.serial || !busy_) return;
  ComPtr<IDispatch> keep(self());
  const Pending p = pending_;
  if (p.inFrame) {
    completeFrameNavigation(p);
    return;
  }
  readAmbient();
  // The document is being created: the host tells how it wants it shown.
  host_.getHostInfo(hostInfo_);
  LoadRequest request{p.entry.url, p.entry.postData, p.entry.headers};
  std::shared_ptr<Document> doc = Document::load(request);
  if (serial != pending_.serial) return;  // a newer navigation or Stop came in meanwhile
  if (doc->isErrorPage() && fireNavigateError(p.entry.url, p.frame, doc->loadResult().errorCode)) {
    busy_ = false;
    readyState_ = doc_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
    return;
  }
  if (doc_) host_.exec(&CGID_Explorer, SBCMDID_ONUNLOAD, 0, nullptr, nullptr);
  show(doc);
  if (p.historyIndex >= 0) {
    history_.moveTo(static_cast<std::size_t>(p.historyIndex));
  } else {
    history_.push(p.entry);
  }
  qv::desktop::Recorder::record("navigate", {qv::os::utf8ToAnsi(p.entry.url)});
  readyState_ = READYSTATE_INTERACTIVE;
  fireUrlEvent(DISPID_NAVIGATECOMPLETE2, self(), p.entry.url);
  updateCommandStates();
  const std::string title = doc->title();
  fireStringEvent(DISPID_TITLECHANGE, title.empty() ? p.entry.url : title);
  invalidateView();
  if (const size_t hash = p.entry.url.find('#'); hash != std::string::npos && view_) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    view_->setBounds(rc);
    view_->scrollToFragment(p.entry.url.substr(hash + 1));
  }
  if (serial != pending_.serial) return;  // a handler navigated elsewhere
  std::vector<std::shared_ptr<Document>> frames;
  collectFrames(doc, frames);
  busy_ = false;
  readyState_ = READYSTATE_COMPLETE;
  for (const auto& f : frames) {
    ComPtr<IHTMLWindow2> w = windowObject(f);
    fireUrlEvent(DISPID_DOCUMENTCOMPLETE, w.get(), f->url());
  }
  fireUrlEvent(DISPID_DOCUMENTCOMPLETE, self(), p.entry.url);
}

void WebBrowser::completeFrameNavigation(const Pending& p) {
  readAmbient();
  host_.getHostInfo(hostInfo_);
  std::shared_ptr<Document> doc = Document::load(LoadRequest{p.entry.url, p.entry.postData, p.entry.headers});
  if (p.serial != pending_.serial) return;
  busy_ = false;
  readyState_ = READYSTATE_COMPLETE;
  std::shared_ptr<Document> owner = frameOwner(p.frame);
  if (!owner) return;  // the page with the frame is gone
  if (doc->isErrorPage() && fireNavigateError(p.entry.url, p.frame, doc->loadResult().errorCode)) return;
  doc->setWindowName(p.frame);
  if (Document* old = owner->frameDocument(p.frame)) watch(old, false);
  owner->setFrameDocument(p.frame, doc);
  watch(doc.get(), true);
  qv::desktop::Recorder::record("navigate", {qv::os::utf8ToAnsi(p.entry.url)});
  ComPtr<IHTMLWindow2> w = windowObject(doc);
  ComPtr<IDispatch> win;
  if (w) w->QueryInterface(IID_IDispatch, win.putVoid());
  fireUrlEvent(DISPID_NAVIGATECOMPLETE2, win.get(), p.entry.url);
  invalidateView();
  std::vector<std::shared_ptr<Document>> frames;
  collectFrames(doc, frames);
  for (const auto& f : frames) {
    ComPtr<IHTMLWindow2> fw = windowObject(f);
    fireUrlEvent(DISPID_DOCUMENTCOMPLETE, fw.get(), f->url());
  }
  fireUrlEvent(DISPID_DOCUMENTCOMPLETE, win.get(), p.entry.url);
}

void WebBrowser::updateCommandStates() {
  const bool fwd = history_.canGoForward(), back = history_.canGoBack();
  if (fwd != canForward_) {
    canForward_ = fwd;
    fireCommandState(CSC_NAVIGATEFORWARD, fwd);
  }
  if (back != canBack_) {
    canBack_ = back;
    fireCommandState(CSC_NAVIGATEBACK, back);
  }
}

void WebBrowser::openNewWindow(const std::string& url, const std::string& name, const std::string* features) {
  ComPtr<IDispatch> keep(self());
  ComPtr<IDispatch> target;
  if (fireNewWindow2(target)) return;
  if (!target) {
    // The platform would open a browser window of its own; nothing of that
    // runs in this process, so it is only recorded.
    qv::desktop::Recorder::record("newwindow", {qv::os::utf8ToAnsi(url)});
    return;
  }
  if (WebBrowser* other = webBrowserOf(target.get())) {
    ComPtr<IDispatch> hold(other->self());
    other->frameName_ = name;
    if (features && !features->empty()) {
      const auto f = parseFeatures(*features);
      auto has = [&](const char* k) { return f.count(k) != 0; };
      auto num = [&](const char* k) { return static_cast<LONG>(std::strtol(f.at(k).c_str(), nullptr, 10)); };
      // A features list turns off what it does not name, as on the platform.
      other->fireBoolEvent(DISPID_WINDOWSETRESIZABLE, has("resizable") && featureOn(f.at("resizable")));
      if (has("left")) other->fireLongEvent(DISPID_WINDOWSETLEFT, num("left"));
      if (has("top")) other->fireLongEvent(DISPID_WINDOWSETTOP, num("top"));
      if (has("width")) other->fireLongEvent(DISPID_WINDOWSETWIDTH, num("width"));
      if (has("height")) other->fireLongEvent(DISPID_WINDOWSETHEIGHT, num("height"));
      if (has("fullscreen") && featureOn(f.at("fullscreen"))) other->put_FullScreen(VARIANT_TRUE);
      if (has("width") || has("height")) {
        LONG cx = has("width") ? num("width") : rect_.right - rect_.left;
        LONG cy = has("height") ? num("height") : rect_.bottom - rect_.top;
        other->fireClientToHostWindow(cx, cy);
      }
    }
    other->navigate(url, 0, name, {}, {});
    return;
  }
  ComPtr<IWebBrowser2> foreign;
  if (SUCCEEDED(target->QueryInterface(IID_IWebBrowser2, foreign.putVoid()))) {
    Variant u = bstrVariant(url), n = bstrVariant(name);
    foreign->Navigate2(u.get(), nullptr, n.get(), nullptr, nullptr);
  }
}

void WebBrowser::followTarget(const std::string& url, const std::string& target, const std::string& postData) {
  const bool self = isSelf(target);
  if (!self && !frameOwner(target)) {
    openNewWindow(url, target, nullptr);
    return;
  }
  const std::string headers = postData.empty() ? std::string() : "Content-Type: application/x-www-form-urlencoded\r\n";
  navigate(url, 0, self ? std::string() : target, postData, headers, -1, !self);
}

HRESULT WebBrowser::GoBack() {
  if (!history_.canGoBack()) return E_FAIL;
  const std::size_t i = history_.currentIndex() - 1;
  const HistoryEntry e = history_.at(i);
  return navigate(e.url, 0, {}, e.postData, e.headers, static_cast<long>(i));
}

HRESULT WebBrowser::GoForward() {
  if (!history_.canGoForward()) return E_FAIL;
  const std::size_t i = history_.currentIndex() + 1;
  const HistoryEntry e = history_.at(i);
  return navigate(e.url, 0, {}, e.postData, e.headers, static_cast<long>(i));
}

HRESULT WebBrowser::Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                             VARIANT* Headers) {
  if (!URL) return E_INVALIDARG;
  Variant u(std::u16string_view(URL, SysStringLen(URL)));
  return navigateFromVariants(u, deref(Flags), deref(TargetFrameName), deref(PostData), deref(Headers));
}

HRESULT WebBrowser::Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                              VARIANT* Headers) {
  if (!URL) return E_INVALIDARG;
  return navigateFromVariants(deref(URL), deref(Flags), deref(TargetFrameName), deref(PostData), deref(Headers));
}

HRESULT WebBrowser::Refresh() {
  VARIANT level = longArg(REFRESH_NORMAL);
  return Refresh2(&level);
}

HRESULT WebBrowser::Refresh2(VARIANT*) {
  // A refresh reloads the page in place: no navigation events, no history.
  if (!doc_) return S_OK;
  const HistoryEntry e = history_.empty() ? HistoryEntry{doc_->url(), {}, {}} : history_.at(history_.currentIndex());
  std::shared_ptr<Document> doc = Document::load(LoadRequest{e.url, e.postData, e.headers});
  show(doc);
  invalidateView();
  return S_OK;
}

HRESULT WebBrowser::Stop() {
  if (busy_) {
    ++pending_.serial;  // the posted completion finds nothing to do
    busy_ = false;
    readyState_ = doc_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED;
  }
  return S_OK;
}

// ---------------------------------------------------------------------------
// Properties.

HRESULT WebBrowser::get_Application(IDispatch** pp) {
  if (!pp) return E_POINTER;
  *pp = self();
  AddRef();
  return S_OK;
}

HRESULT WebBrowser::get_Parent(IDispatch** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  if (IOleClientSite* s = host_.site()) s->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(pp));
  return S_OK;
}

HRESULT WebBrowser::get_Container(IDispatch** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  return S_OK;
}

HRESULT WebBrowser::get_Document(IDispatch** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  if (!doc_) return S_OK;
  ComPtr<IHTMLDocument2> d = documentObject(doc_);
  return d ? d->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(pp)) : S_OK;
}

HRESULT WebBrowser::get_TopLevelContainer(VARIANT_BOOL* p) { return outBool(p, false); }

HRESULT WebBrowser::get_Type(BSTR* p) {
  if (!p) return E_POINTER;
  *p = utf8ToBstr(doc_ ? "HTML Document" : "");
  return S_OK;
}

HRESULT WebBrowser::get_Left(LONG* p) { return p ? (*p = rect_.left, S_OK) : E_POINTER; }
HRESULT WebBrowser::get_Top(LONG* p) { return p ? (*p = rect_.top, S_OK) : E_POINTER; }
HRESULT WebBrowser::get_Width(LONG* p) { return p ? (*p = rect_.right - rect_.left, S_OK) : E_POINTER; }
HRESULT WebBrowser::get_Height(LONG* p) { return p ? (*p = rect_.bottom - rect_.top, S_OK) : E_POINTER; }

HRESULT WebBrowser::put_Left(LONG v) {
  const LONG w = rect_.right - rect_.left;
  rect_.left = v;
  rect_.right = v + w;
  moveWindow();
  return S_OK;
}
HRESULT WebBrowser::put_Top(LONG v) {
  const LONG h = rect_.bottom - rect_.top;
  rect_.top = v;
  rect_.bottom = v + h;
  moveWindow();
  return S_OK;
}
HRESULT WebBrowser::put_Width(LONG v) {
  rect_.right = rect_.left + std::max<LONG>(v, 0);
  moveWindow();
  return S_OK;
}
HRESULT WebBrowser::put_Height(LONG v) {
  rect_.bottom = rect_.top + std::max<LONG>(v, 0);
  moveWindow();
  return S_OK;
}

void WebBrowser::moveWindow() {
  if (hwnd_ && IsWindow(hwnd_))
    SetWindowPos(hwnd_, nullptr, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HRESULT WebBrowser::get_LocationName(BSTR* p) {
  if (!p) return E_POINTER;
  std::string name;
  if (doc_) name = doc_->title().empty() ? doc_->url() : doc_->title();
  *p = utf8ToBstr(name);
  return S_OK;
}

HRESULT WebBrowser::get_LocationURL(BSTR* p) {
  if (!p) return E_POINTER;
  std::string url;
  if (doc_) url = history_.empty() ? doc_->url() : history_.at(history_.currentIndex()).url;
  *p = utf8ToBstr(url);
  return S_OK;
}

HRESULT WebBrowser::get_Busy(VARIANT_BOOL* p) { return outBool(p, busy_); }

HRESULT WebBrowser::get_Name(BSTR* p) {
  if (!p) return E_POINTER;
  *p = utf8ToBstr("Web Browser Control");
  return S_OK;
}

HRESULT WebBrowser::get_HWND(SHANDLE_PTR* p) {
  if (!p) return E_POINTER;
  *p = reinterpret_cast<SHANDLE_PTR>(hwnd_);
  return S_OK;
}

HRESULT WebBrowser::get_Path(BSTR* p) {
  if (!p) return E_POINTER;
  *p = utf8ToBstr("C:\\WINDOWS\\system32\\");
  return S_OK;
}

HRESULT WebBrowser::put_Visible(VARIANT_BOOL v) {
  visible_ = v != VARIANT_FALSE;
  if (hwnd_ && IsWindow(hwnd_) && GetParent(hwnd_)) ShowWindow(hwnd_, visible_ ? SW_SHOW : SW_HIDE);
  return S_OK;
}

HRESULT WebBrowser::get_StatusText(BSTR* p) {
  if (!p) return E_POINTER;
  *p = utf8ToBstr(statusText_);
  return S_OK;
}

HRESULT WebBrowser::put_StatusText(BSTR v) {
  statusText_ = bstrToUtf8(v);
  return S_OK;
}

HRESULT WebBrowser::get_ToolBar(int* v) { return v ? (*v = toolBar_, S_OK) : E_POINTER; }

HRESULT WebBrowser::put_FullScreen(VARIANT_BOOL v) {
  fullScreen_ = v != VARIANT_FALSE;
  fireBoolEvent(DISPID_ONFULLSCREEN, fullScreen_);
  return S_OK;
}

HRESULT WebBrowser::get_ReadyState(READYSTATE* p) { return p ? (*p = readyState_, S_OK) : E_POINTER; }

HRESULT WebBrowser::QueryStatusWB(OLECMDID cmd, OLECMDF* pcmdf) {
  if (!pcmdf) return E_POINTER;
  DWORD f = 0;
  switch (cmd) {
    case OLECMDID_PRINT:
    case OLECMDID_FIND:
    case OLECMDID_REFRESH:
    case OLECMDID_SELECTALL:
      f = OLECMDF_SUPPORTED | (doc_ ? DWORD(OLECMDF_ENABLED) : 0u);
      break;
    case OLECMDID_COPY:
      f = OLECMDF_SUPPORTED | (doc_ && !doc_->selectionText().empty() ? DWORD(OLECMDF_ENABLED) : 0u);
      break;
    case OLECMDID_STOP:
      f = OLECMDF_SUPPORTED | (busy_ ? DWORD(OLECMDF_ENABLED) : 0u);
      break;
    default:
      *pcmdf = static_cast<OLECMDF>(0);
      return OLECMDERR_E_NOTSUPPORTED;
  }
  *pcmdf = static_cast<OLECMDF>(f);
  return S_OK;
}

HRESULT WebBrowser::ExecWB(OLECMDID cmd, OLECMDEXECOPT, VARIANT* in, VARIANT*) {
  switch (cmd) {
    case OLECMDID_PRINT: {
      if (!doc_) return OLECMDERR_E_DISABLED;
      // A scripted "fail" stands for a machine that cannot print.
      if (auto answer = qv::desktop::Recorder::popAnswer("print"); answer && *answer == "fail") return E_FAIL;
      const auto [header, footer] = printTexts(in);
      print(header, footer);
      return S_OK;
    }
    case OLECMDID_COPY:
      if (!doc_) return OLECMDERR_E_DISABLED;
      copySelection();
      return S_OK;
    case OLECMDID_FIND:
      if (!doc_) return OLECMDERR_E_DISABLED;
      findDialog();
      return S_OK;
    case OLECMDID_REFRESH:
      return Refresh();
    case OLECMDID_STOP:
      return Stop();
    default:
      return OLECMDERR_E_NOTSUPPORTED;
  }
}

// ---------------------------------------------------------------------------
// OLE embedding.

HRESULT WebBrowser::SetClientSite(IOleClientSite* site) {
  host_.attach(site);
  if (site) readAmbient();
  return S_OK;
}

HRESULT WebBrowser::GetClientSite(IOleClientSite** pp) {
  if (!pp) return E_POINTER;
  *pp = host_.site();
  if (*pp) (*pp)->AddRef();
  return S_OK;
}

HRESULT WebBrowser::Close(DWORD) {
  Stop();
  InPlaceDeactivate();
  // Releasing the site breaks the cycle between host and control.
  host_.attach(nullptr);
  return S_OK;
}

HRESULT WebBrowser::GetMoniker(DWORD, DWORD, IMoniker** pp) {
  if (pp) *pp = nullptr;
  return E_NOTIMPL;
}

HRESULT WebBrowser::GetClipboardData(DWORD, IDataObject** pp) {
  if (pp) *pp = nullptr;
  return E_NOTIMPL;
}

HRESULT WebBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT pos) {
  if (activeSite && activeSite != host_.site()) SetClientSite(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      if (!parent || !IsWindow(parent)) return E_INVALIDARG;
      if (!hwnd_ || !IsWindow(hwnd_)) return E_UNEXPECTED;
      SetWindowLong(hwnd_, GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP);
      SetParent(hwnd_, parent);
      if (pos) rect_ = *pos;
      moveWindow();
      if (visible_) ShowWindow(hwnd_, SW_SHOW);
      return S_OK;
    case OLEIVERB_HIDE:
      if (hwnd_ && IsWindow(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
      return S_OK;
    default:
      return E_NOTIMPL;
  }
}

HRESULT WebBrowser::EnumVerbs(IEnumOLEVERB** pp) {
  if (pp) *pp = nullptr;
  return E_NOTIMPL;
}

HRESULT WebBrowser::GetUserClassID(CLSID* p) {
  if (!p) return E_POINTER;
  *p = CLSID_WebBrowser;
  return S_OK;
}

HRESULT WebBrowser::GetUserType(DWORD, LPOLESTR* p) {
  if (p) *p = nullptr;
  return OLE_S_USEREG;
}

HRESULT WebBrowser::SetExtent(DWORD, SIZEL* s) {
  if (!s) return E_INVALIDARG;
  extent_ = *s;
  return S_OK;
}

HRESULT WebBrowser::GetExtent(DWORD, SIZEL* s) {
  if (!s) return E_POINTER;
  *s = extent_;
  return S_OK;
}

HRESULT WebBrowser::Advise(IAdviseSink*, DWORD* pdw) {
  if (pdw) *pdw = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT WebBrowser::EnumAdvise(IEnumSTATDATA** pp) {
  if (pp) *pp = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT WebBrowser::GetMiscStatus(DWORD, DWORD* p) {
  if (!p) return E_POINTER;
  *p = 0;
  return S_OK;
}

HRESULT WebBrowser::GetWindow(HWND* p) {
  if (!p) return E_POINTER;
  *p = hwnd_;
  return hwnd_ ? S_OK : E_FAIL;
}

HRESULT WebBrowser::InPlaceDeactivate() {
  if (hwnd_ && IsWindow(hwnd_)) {
    ShowWindow(hwnd_, SW_HIDE);
    SetParent(hwnd_, nullptr);
  }
  return S_OK;
}

HRESULT WebBrowser::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_INVALIDARG;
  rect_ = *pos;
  moveWindow();
  return S_OK;
}

HRESULT WebBrowser::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_AMBIENT_DLCONTROL || id == DISPID_UNKNOWN) readAmbient();
  return S_OK;
}

HRESULT WebBrowser::FreezeEvents(BOOL freeze) {
  frozen_ = std::max(0, frozen_ + (freeze ? 1 : -1));
  return S_OK;
}

HRESULT WebBrowser::EnumConnectionPoints(IEnumConnectionPoints** pp) {
  if (pp) *pp = nullptr;
  return E_NOTIMPL;
}

HRESULT WebBrowser::FindConnectionPoint(REFIID riid, IConnectionPoint** pp) {
  if (!pp) return E_POINTER;
  *pp = nullptr;
  if (riid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
  *pp = events_.get();
  (*pp)->AddRef();
  return S_OK;
}

// ---------------------------------------------------------------------------
// User actions.

void WebBrowser::setActiveChain(Element* link) {
  Document& linkDoc = link->document();
  if (doc_) {
    std::vector<std::pair<Document*, Element*>> chain;
    if (frameChain(*doc_, &linkDoc, chain))
      for (auto& [d, frameElement] : chain) d->setActiveElement(frameElement);
  }
  linkDoc.setActiveElement(link);
}

bool WebBrowser::clickLink(Element* link) {
  if (!link || !doc_) return false;
  ComPtr<IDispatch> keep(self());
  std::shared_ptr<Document> hold = doc_;
  setActiveChain(link);
  const std::string href = link->getAttribute("href");
  if (href.empty()) return true;
  std::string target = link->target();
  if (target.empty() && &link->document() != doc_.get()) {
    // A link in a frame without a target navigates its own frame.
    std::vector<std::pair<Document*, Element*>> chain;
    if (frameChain(*doc_, &link->document(), chain))
      for (const Frame& f : chain.back().first->frames())
        if (f.element == chain.back().second) target = f.name;
  }
  followTarget(href, target, {});
  return true;
}

bool WebBrowser::clickLinkText(const std::string& text) {
  return doc_ ? clickLink(doc_->findLink(text)) : false;
}

bool WebBrowser::setField(const std::string& name, const std::string& value) {
  const bool ok = doc_ && doc_->setField(name, value);
  if (ok) invalidateView();
  return ok;
}

bool WebBrowser::submitForm(const std::string& formName) {
  if (!doc_) return false;
  std::vector<const Document*> todo{doc_.get()};
  while (!todo.empty()) {
    const Document* d = todo.back();
    todo.pop_back();
    if (Element* f = d->formByName(formName)) return submitForm(f);
    for (const Frame& fr : d->frames())
      if (fr.document) todo.push_back(fr.document.get());
  }
  return false;
}

bool WebBrowser::submitForm(Element* form) { return submitForm(form, nullptr); }

bool WebBrowser::submitForm(Element* form, Element* submitter, POINT at) {
  if (!form || form->tagName() != "FORM" || !doc_) return false;
  ComPtr<IDispatch> keep(self());
  std::shared_ptr<Document> hold = doc_;
  if (form->method() == "post") {
    followTarget(form->action(), form->target(), form->formQuery(submitter, at));
  } else {
    followTarget(form->submitUrl(submitter, at), form->target(), {});
  }
  return true;
}

void WebBrowser::rightClick(POINT clientPoint) {
  POINT screen = clientPoint;
  if (hwnd_ && IsWindow(hwnd_)) ClientToScreen(hwnd_, &screen);
  ComPtr<IDispatch> object;
  if (doc_) {
    ComPtr<IHTMLDocument2> d = documentObject(doc_);
    if (d) d->QueryInterface(IID_IDispatch, object.putVoid());
  }
  if (host_.showContextMenu(CONTEXT_MENU_DEFAULT, screen, object.get()) == S_OK) return;
  qv::desktop::Recorder::record("contextmenu", {std::to_string(screen.x), std::to_string(screen.y)});
}

void WebBrowser::hover(Element* link) {
  if (link == hovered_) return;
  hovered_ = link;
  fireStringEvent(DISPID_STATUSTEXTCHANGE, link ? link->getAttribute("href") : std::string());
}

HRESULT WebBrowser::TranslateAccelerator(LPMSG lpmsg) {
  if (!lpmsg) return E_INVALIDARG;
  offeredKey_ = {};
  if (lpmsg->message != WM_KEYDOWN && lpmsg->message != WM_SYSKEYDOWN) return S_FALSE;
  ComPtr<IDispatch> keep(self());
  MSG m = *lpmsg;
  if (host_.translateAccelerator(m) == S_OK) return S_OK;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = lpmsg->message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (lpmsg->wParam == VK_TAB && !ctrl && !alt && moveFocus(shift)) return S_OK;
  if (ctrl && !alt && (lpmsg->wParam == 'C' || lpmsg->wParam == VK_INSERT) && doc_) {
    copySelection();
    return S_OK;
  }
  offeredKey_ = {lpmsg->message, lpmsg->wParam, lpmsg->lParam, lpmsg->time};
  return S_FALSE;
}

bool WebBrowser::moveFocus(bool backwards) {
  if (!doc_) return false;
  // Links with an address and form controls that a user can reach, in
  // document order (tabindex orders are not modelled; -1 leaves one out).
  auto takesFocus = [](Element* e) {
    if (e->hasAttribute("tabindex") && e->attribute("tabindex").rfind('-', 0) == 0) return false;
    const std::string& tag = e->tagName();
    if (tag == "A" || tag == "AREA") return e->hasAttribute("href");
    if (!e->isFormControl() || e->hasAttribute("disabled")) return false;
    return !(tag == "INPUT" && e->type() == "hidden");
  };
  std::vector<Element*> order;
  for (Element* e : doc_->all())
    if (takesFocus(e)) order.push_back(e);
  if (order.empty()) return false;
  const auto at = std::find(order.begin(), order.end(), doc_->activeElement());
  Element* next = nullptr;
  if (at == order.end())
    next = backwards ? order.back() : order.front();
  else if (backwards)
    next = at == order.begin() ? order.back() : *(at - 1);
  else
    next = at + 1 == order.end() ? order.front() : *(at + 1);
  doc_->setActiveElement(next);
  invalidateView();  // the focus rectangle moves
  return true;
}

void WebBrowser::findDialog() {
  if (!doc_) return;
  qv::desktop::Recorder::record("finddialog", {});
}

void WebBrowser::copySelection() {
  if (!doc_) return;
  qv::desktop::Recorder::record("clipboard", {qv::os::utf8ToAnsi(doc_->selectionText())});
}

void WebBrowser::print(const std::string& header, const std::string& footer) {
  if (!doc_) return;
  qv::desktop::Recorder::record("print", {qv::os::utf8ToAnsi(header), qv::os::utf8ToAnsi(footer)});
}

void WebBrowser::windowOpen(const std::string& url, const std::string& name, const std::string& features) {
  const std::string absolute = doc_ ? resolveUrl(doc_->url(), url) : url;
  openNewWindow(absolute, name, &features);
}

void WebBrowser::windowClose() { fireWindowClosing(false); }

void WebBrowser::windowPrint() { print({}, {}); }

void WebBrowser::scriptError(LONG line, LONG character, LONG code, const std::string& message,
                             const std::string& url) {
  if (!doc_) return;
  ComPtr<IDispatch> keep(self());
  std::shared_ptr<Document> doc = doc_;
  doc->setEvent(makeEventObject("error", nullptr,
                                {{"errorLine", Variant(line)},
                                 {"errorCharacter", Variant(character)},
                                 {"errorCode", Variant(code)},
                                 {"errorMessage", bstrVariant(message)},
                                 {"errorUrl", bstrVariant(url)}}));
  ComPtr<IHTMLDocument2> d = documentObject(doc);
  Variant in(static_cast<IUnknown*>(d.get()));
  Variant out;
  const HRESULT hr =
      host_.exec(&CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, OLECMDEXECOPT_DODEFAULT, in.get(), out.get());
  // S_OK: the host has dealt with the error; otherwise the control's own
  // dialog appears, unless the control is silent.
  if (hr != S_OK && !silent_ && !(dlControl_ & DLCTL_SILENT))
    qv::desktop::Recorder::record("scripterror", {std::to_string(line), std::to_string(character),
                                                  std::to_string(code), qv::os::utf8ToAnsi(message),
                                                  qv::os::utf8ToAnsi(url)});
  doc->setEvent(nullptr);
}

void WebBrowser::alert(const std::string& text) {
  LRESULT result = 0;
  if (host_.showMessage(hwnd_, text, kMessageCaption, MB_OK | MB_ICONWARNING, &result) == S_OK) return;
  MessageBox(hwnd_, qv::os::utf8ToAnsi(text).c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

// ---------------------------------------------------------------------------
// The window.

std::optional<RECT> WebBrowser::elementBox(const Element* e) {
  if (!e || !view_ || !hwnd_ || !IsWindow(hwnd_)) return std::nullopt;
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  view_->setBounds(rc);
  return view_->boxOf(*e);
}

void WebBrowser::invalidateView() {
  if (hwnd_ && IsWindow(hwnd_)) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT WebBrowser::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  switch (msg) {
    case kNavigateMessage:
      completeNavigation(static_cast<unsigned>(wParam));
      return 0;
    case WM_SIZE:
      invalidateView();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      if (view_) {
        view_->setBounds(rc);
        view_->paint(dc, ps.rcPaint);
      } else {
        // Before the first page: the window's colour, as the platform's control.
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_WINDOW));
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && view_) {
        POINT at{0, 0};
        GetCursorPos(&at);
        ScreenToClient(hwnd_, &at);
        SetCursor(LoadCursor(nullptr, view_->cursorAt(at)));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (view_) view_->mouseMove(pt);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      if (view_) {
        SetCapture(hwnd_);
        view_->mouseDown(pt);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd_) ReleaseCapture();
      if (view_) {
        ComPtr<IDispatch> keep(self());
        view_->mouseUp(pt);
      }
      return 0;
    case WM_MOUSEWHEEL:
      if (view_) {
        POINT at = pt;
        ScreenToClient(hwnd_, &at);
        view_->wheel(at, static_cast<SHORT>(HIWORD(wParam)));
      }
      return 0;
    case WM_CHAR:
      if (view_ && view_->character(static_cast<char>(wParam))) return 0;
      break;
    case WM_RBUTTONUP:
      rightClick(pt);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // The host's accelerator hook sees keys first; the application's own
      // keyboard filter sits earlier still, in its message loop. A key that
      // came through TranslateAccelerator has been offered already.
      const OfferedKey offered = offeredKey_;
      offeredKey_ = {};
      const bool alreadyOffered = offered.message == msg && offered.wParam == wParam &&
                                  offered.lParam == lParam && offered.time == static_cast<DWORD>(GetMessageTime());
      MSG m{hwnd_, msg, wParam, lParam, 0, {0, 0}};
      if (!alreadyOffered && host_.translateAccelerator(m) == S_OK) return 0;
      const bool alt = msg == WM_SYSKEYDOWN || (GetKeyState(VK_MENU) & 0x8000) != 0;
      if (alt && wParam == VK_LEFT) {
        GoBack();
        return 0;
      }
      if (alt && wParam == VK_RIGHT) {
        GoForward();
        return 0;
      }
      if (wParam == VK_F1 && !alt) {
        POINT mouse{0, 0};
        GetCursorPos(&mouse);
        if (host_.showHelp(hwnd_, mouse) != S_OK) HtmlHelp(hwnd_, kOwnHelpFile, HH_DISPLAY_TOPIC, 0);
        return 0;
      }
      if (wParam == VK_F5 && !alt) {
        VARIANT in = longArg(REFRESH_NORMAL);
        if (host_.exec(&CGID_DocHostCommandHandler, IDM_REFRESH_TOP, 0, &in, nullptr) != S_OK) Refresh();
        return 0;
      }
      if (!alt && view_ && view_->key(static_cast<UINT>(wParam))) return 0;
      break;
    }
    default:
      break;
  }
  return DefWindowProc(hwnd_, msg, wParam, lParam);
}

}  // namespace qv::browser
