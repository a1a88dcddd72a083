// Test doubles around the web-browser control: an event sink that writes
// each DWebBrowserEvents2 call as one line and can answer Cancel and
// ppDisp, and a host site that records the host-side calls the control makes
// and gives scripted answers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "SiteFixture.h"
#include "platform/browser/HtmlDispatch.h"
#include "platform/browser/WebBrowser.h"
#include "platform/com/Ole.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace qvtest {

inline std::string argText(const VARIANT& v) {
  const VARIANT* p = &v;
  while (p->vt == (VT_BYREF | VT_VARIANT)) p = p->pvarVal;
  qv::com::Variant c;
  VariantCopyInd(c.put(), p);
  if (c.vt() == VT_BSTR) return qv::browser::bstrToUtf8(c.raw().bstrVal);
  if (c.vt() == VT_BOOL) return c.raw().boolVal ? "true" : "false";
  return c.toString().value_or("");
}

class EventSink final : public qv::com::ComObject<IDispatch> {
 public:
  std::vector<std::string> lines;
  IUnknown* top = nullptr;  // the control, to tell its DocumentComplete from a frame's
  std::function<bool(const std::string& url, const std::string& frame)> cancelNavigation;
  std::function<bool()> cancelNewWindow;
  std::function<IDispatch*()> newWindowTarget;  // returned in ppDisp (a new reference)
  std::function<void(const std::string& url)> onBeforeNavigate;
  bool cancelClosing = false;

  HRESULT GetTypeInfoCount(UINT* p) override { return *p = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
    auto arg = [&](UINT i) -> VARIANT& { return p->rgvarg[p->cArgs - 1 - i]; };
    switch (id) {
      case DISPID_BEFORENAVIGATE2: {
        const std::string url = argText(arg(1)), frame = argText(arg(3));
        lines.push_back("BeforeNavigate2 " + url + (frame.empty() ? "" : " frame=" + frame));
        if (onBeforeNavigate) onBeforeNavigate(url);
        if (cancelNavigation && cancelNavigation(url, frame)) *arg(6).pboolVal = VARIANT_TRUE;
        break;
      }
      case DISPID_NAVIGATECOMPLETE2:
        lines.push_back("NavigateComplete2 " + argText(arg(1)));
        break;
      case DISPID_DOCUMENTCOMPLETE:
        lines.push_back(std::string("DocumentComplete ") + (isTop(arg(0).pdispVal) ? "top " : "frame ") +
                        argText(arg(1)));
        break;
      case DISPID_NAVIGATEERROR:
        lines.push_back("NavigateError " + argText(arg(1)) + " " + argText(arg(3)));
        break;
      case DISPID_COMMANDSTATECHANGE:
        lines.push_back("CommandStateChange " + argText(arg(0)) + " " + argText(arg(1)));
        break;
      case DISPID_TITLECHANGE:
        lines.push_back("TitleChange " + argText(arg(0)));
        break;
      case DISPID_STATUSTEXTCHANGE:
        lines.push_back("StatusTextChange " + argText(arg(0)));
        break;
      case DISPID_NEWWINDOW2:
        lines.push_back("NewWindow2");
        if (newWindowTarget) *arg(0).ppdispVal = newWindowTarget();
        if (cancelNewWindow && cancelNewWindow()) *arg(1).pboolVal = VARIANT_TRUE;
        break;
      case DISPID_WINDOWCLOSING:
        lines.push_back("WindowClosing " + argText(arg(0)));
        if (cancelClosing) *arg(1).pboolVal = VARIANT_TRUE;
        break;
      case DISPID_WINDOWSETRESIZABLE:
        lines.push_back("WindowSetResizable " + argText(arg(0)));
        break;
      case DISPID_WINDOWSETLEFT:
        lines.push_back("WindowSetLeft " + argText(arg(0)));
        break;
      case DISPID_WINDOWSETTOP:
        lines.push_back("WindowSetTop " + argText(arg(0)));
        break;
      case DISPID_WINDOWSETWIDTH:
        lines.push_back("WindowSetWidth " + argText(arg(0)));
        break;
      case DISPID_WINDOWSETHEIGHT:
        lines.push_back("WindowSetHeight " + argText(arg(0)));
        break;
      case DISPID_CLIENTTOHOSTWINDOW:
        lines.push_back("ClientToHostWindow " + std::to_string(*arg(0).plVal) + " " + std::to_string(*arg(1).plVal));
        break;
      case DISPID_ONFULLSCREEN:
        lines.push_back("FullScreen " + argText(arg(0)));
        break;
      default:
        lines.push_back("event " + std::to_string(id));
    }
    return S_OK;
  }
  bool isTop(IDispatch* d) const {
    qv::com::ComPtr<IUnknown> a;
    if (d) d->QueryInterface(IID_IUnknown, a.putVoid());
    return a.get() == top;
  }
  // The lines of the events named, in order.
  std::vector<std::string> only(const std::vector<std::string>& names) const {
    std::vector<std::string> out;
    for (const auto& l : lines)
      for (const auto& n : names)
        if (l.rfind(n + " ", 0) == 0 || l == n) out.push_back(l);
    return out;
  }
};

// A host site with the interfaces the control calls; every call is written
// to `calls` and answered from the fields.
class TestSite final : public qv::com::ComObject<IOleClientSite, IDocHostUIHandler2, IDocHostShowUI,
                                                 IOleCommandTarget, IDispatch> {
 public:
  std::vector<std::string> calls;
  DWORD dlControl = 0x70;
  DWORD uiFlags = 0x240004;
  HRESULT contextMenuAnswer = S_FALSE;
  HRESULT showMessageAnswer = S_FALSE;
  std::function<HRESULT(const GUID*, DWORD, VARIANT*, VARIANT*)> exec;
  std::function<std::string(const std::string&)> translate;  // "" leaves the URL
  POINT lastMenuPoint{};

  // IOleClientSite
  HRESULT SaveObject() override { return E_NOTIMPL; }
  HRESULT GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT GetContainer(IOleContainer** p) override { return *p = nullptr, E_NOINTERFACE; }
  HRESULT ShowObject() override { return S_OK; }
  HRESULT OnShowWindow(BOOL) override { return S_OK; }
  HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IDocHostUIHandler2
  HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown*, IDispatch* obj) override {
    lastMenuPoint = *pt;
    calls.push_back("ShowContextMenu " + std::to_string(id) + " " + std::to_string(pt->x) + " " +
                    std::to_string(pt->y) + (obj ? " object" : ""));
    return contextMenuAnswer;
  }
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
    calls.push_back("GetHostInfo " + std::to_string(info->cbSize));
    info->cbSize = 20;
    info->dwFlags = uiFlags;
    info->dwDoubleClick = 0;
    return S_OK;
  }
  HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                 IOleInPlaceUIWindow*) override {
    return S_FALSE;
  }
  HRESULT HideUI() override { return S_FALSE; }
  HRESULT UpdateUI() override { return S_FALSE; }
  HRESULT EnableModeless(BOOL) override { return S_FALSE; }
  HRESULT OnDocWindowActivate(BOOL) override { return S_FALSE; }
  HRESULT OnFrameWindowActivate(BOOL) override { return S_FALSE; }
  HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_FALSE; }
  HRESULT TranslateAccelerator(LPMSG m, const GUID*, DWORD) override {
    calls.push_back("TranslateAccelerator " + std::to_string(m->wParam));
    return S_FALSE;
  }
  HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
  HRESULT GetDropTarget(IDropTarget*, IDropTarget** pp) override { return *pp = nullptr, S_OK; }
  HRESULT GetExternal(IDispatch** pp) override { return *pp = nullptr, S_FALSE; }
  HRESULT TranslateUrl(DWORD, LPOLESTR in, LPOLESTR* out) override {
    const std::string url = qv::os::utf16ToUtf8(std::u16string_view(in));
    calls.push_back("TranslateUrl " + url);
    *out = nullptr;
    const std::string to = translate ? translate(url) : std::string();
    if (to.empty()) return S_FALSE;
    const std::u16string w = qv::os::utf8ToUtf16(to);
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc((w.size() + 1) * sizeof(OLECHAR)));
    std::copy(w.begin(), w.end(), *out);
    (*out)[w.size()] = 0;
    return S_OK;
  }
  HRESULT FilterDataObject(IDataObject*, IDataObject** pp) override { return *pp = nullptr, S_FALSE; }
  HRESULT GetOverrideKeyPath(LPOLESTR*, DWORD) override { return S_OK; }
  // IDocHostShowUI
  HRESULT ShowMessage(HWND, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) override {
    calls.push_back("ShowMessage " + qv::os::utf16ToUtf8(std::u16string_view(text)));
    return showMessageAnswer;
  }
  HRESULT ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return S_FALSE; }
  // IOleCommandTarget
  HRESULT QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return S_OK; }
  HRESULT Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out) override {
    calls.push_back("Exec " + (group ? qv::com::guidToString(*group) : std::string("none")) + " " +
                    std::to_string(id));
    return exec ? exec(group, id, in, out) : OLECMDERR_E_NOTSUPPORTED;
  }
  // IDispatch: the ambient properties.
  HRESULT GetTypeInfoCount(UINT* p) override { return *p = 0, E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    calls.push_back("Invoke " + std::to_string(id));
    if (id == DISPID_AMBIENT_DLCONTROL && (flags & DISPATCH_PROPERTYGET) && result) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(dlControl);
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  std::vector<std::string> callsStarting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};

// A control in place in a host window, with an event sink, on the site.
class BrowserTest : public SiteTest {
 protected:
  void SetUp() override {
    SiteTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "QvTestHost";
    RegisterClass(&wc);
    host = CreateWindowEx(0, "QvTestHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                          nullptr, nullptr, nullptr);
    wb = qv::browser::createWebBrowser();
    control = qv::browser::webBrowserOf(wb.get());
    site = qv::com::makeObject<TestSite>();
    sink = qv::com::makeObject<EventSink>();
    qv::com::ComPtr<IUnknown> top;
    wb->QueryInterface(IID_IUnknown, top.putVoid());
    sink->top = top.get();
    cookie = advise(wb, sink.get());
    qv::com::ComPtr<IOleObject> ole;
    wb->QueryInterface(IID_IOleObject, ole.putVoid());
    ole->SetClientSite(site.get());
    RECT r{0, 0, 600, 400};
    ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, host, &r);
  }
  void TearDown() override {
    for (auto& b : extra) close(b);
    close(wb);
    wb = nullptr;
    SiteTest::TearDown();
  }
  static DWORD advise(const qv::com::ComPtr<IWebBrowser2>& b, IDispatch* s) {
    qv::com::ComPtr<IConnectionPointContainer> cpc;
    b->QueryInterface(IID_IConnectionPointContainer, cpc.putVoid());
    qv::com::ComPtr<IConnectionPoint> cp;
    cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.put());
    DWORD c = 0;
    cp->Advise(s, &c);
    return c;
  }
  static void close(const qv::com::ComPtr<IWebBrowser2>& b) {
    if (!b) return;
    qv::com::ComPtr<IOleObject> ole;
    b->QueryInterface(IID_IOleObject, ole.putVoid());
    ole->Close(OLECLOSE_NOSAVE);
  }
  // Navigates and lets the posted completion run.
  void go(const std::string& urlOrPath) {
    qv::com::Variant url(qv::os::utf8ToUtf16(urlOrPath));
    ASSERT_EQ(wb->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr), S_OK);
    qv::os::pumpMessages();
  }
  std::vector<std::string> navigateLog() const {
    std::vector<std::string> out;
    for (const auto& e : qv::desktop::Recorder::eventsOf("navigate")) out.push_back(e.fields.at(0));
    return out;
  }

  HWND host = nullptr;
  qv::com::ComPtr<IWebBrowser2> wb;
  qv::browser::WebBrowser* control = nullptr;
  qv::com::ComPtr<TestSite> site;
  qv::com::ComPtr<EventSink> sink;
  DWORD cookie = 0;
  std::vector<qv::com::ComPtr<IWebBrowser2>> extra;
};

}  // namespace qvtest
