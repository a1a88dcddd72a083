// TOleControl with the browser as its object: in place in the control's
// window at the client area, shown and hidden with it, its site's ambient
// properties, a descendant's host interfaces reaching the browser, and
// lifetimes (destroyed with navigations pending, freed inside a handler,
// detached from its parent and attached again).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/SHDocVw.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/Message.h"

namespace {

using qv::com::ComPtr;
using qv::com::Variant;

class OleControlTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("site/index.html", "<html><head><title>Start</title></head><body><p>one</p></body></html>");
    writeFile("site/page2.html", "<html><head><title>Second</title></head><body><p>two</p></body></html>");
    form = newBareForm(400, 300);
  }
  void TearDown() override {
    delete form;
    qv::os::pumpMessages();
    DesktopTest::TearDown();
  }
  std::string path(const std::string& page) const { return qv::os::toWindowsPath(hostPath("site/" + page)); }
  template <class T = TWebBrowser>
  T* addBrowser(int left, int top, int width, int height) {
    auto* b = new T(form);
    b->SetBounds(left, top, width, height);
    b->SetParent(form);
    form->Show();
    return b;
  }
  static qv::browser::WebBrowser* control(TOleControl* c) { return qv::browser::webBrowserOf(c->OleObject()); }
  // The client size as "WxH".
  static std::string clientOf(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
  }
  static ComPtr<IOleClientSite> siteOf(TOleControl* c) {
    ComPtr<IOleObject> ole;
    c->OleObject()->QueryInterface(IID_IOleObject, ole.putVoid());
    ComPtr<IOleClientSite> site;
    ole->GetClientSite(site.put());
    return site;
  }
  static Variant ambient(IOleClientSite* site, DISPID id, HRESULT expected) {
    ComPtr<IDispatch> d;
    EXPECT_EQ(site->QueryInterface(IID_IDispatch, d.putVoid()), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant result;
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr, nullptr), expected) << id;
    return result;
  }

  TForm* form = nullptr;
};

TEST_F(OleControlTest, ObjectIsInPlaceInTheControlsWindowAtItsClientArea) {
  TWebBrowser* wb = addBrowser(10, 20, 200, 100);
  HWND inner = control(wb)->window();
  EXPECT_EQ(GetParent(inner), wb->Handle());
  EXPECT_EQ(clientOf(inner), "200x100");
  POINT origin{0, 0};
  MapWindowPoints(inner, wb->Handle(), &origin, 1);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);

  wb->SetBounds(10, 20, 250, 120);
  EXPECT_EQ(clientOf(inner), "250x120");
  // Aligned, it follows its parent's size.
  wb->SetAlign(alClient);
  form->SetBounds(0, 0, 500, 350);
  EXPECT_EQ(clientOf(inner), "500x350");

  wb->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(inner));
  wb->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(inner));
}

TEST_F(OleControlTest, SiteAnswersItsOwnInterfacesAndTheAmbientProperties) {
  TWebBrowser* wb = addBrowser(0, 0, 200, 100);
  ComPtr<IOleClientSite> site = siteOf(wb);
  ASSERT_TRUE(site);
  ComPtr<IOleInPlaceSite> inPlace;
  ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSite, inPlace.putVoid()), S_OK);
  HWND hwnd = nullptr;
  EXPECT_EQ(inPlace->GetWindow(&hwnd), S_OK);
  EXPECT_EQ(hwnd, wb->Handle());
  ComPtr<IDocHostUIHandler> ui;
  EXPECT_EQ(site->QueryInterface(IID_IDocHostUIHandler, ui.putVoid()), E_NOINTERFACE);

  Variant userMode = ambient(site.get(), DISPID_AMBIENT_USERMODE, S_OK);
  EXPECT_EQ(userMode.vt(), VT_BOOL);
  EXPECT_EQ(userMode.toBool(), true);
  // The download options are a descendant's to answer.
  ambient(site.get(), DISPID_AMBIENT_DLCONTROL, DISP_E_MEMBERNOTFOUND);
}

// A host-side object a descendant answers through QueryHostInterface; its
// Invoke answers DLCONTROL and leaves the rest to the control's ambients.
class HostUI final : public qv::com::ComObject<IDocHostUIHandler, IDispatch> {
 public:
  std::vector<std::string> calls;
  std::function<HRESULT(DISPID, WORD, VARIANT*)> fallback;
  HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return note("ShowContextMenu", S_OK); }
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
    info->dwFlags = 0x240004;
    return note("GetHostInfo", S_OK);
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
  HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
  HRESULT GetDropTarget(IDropTarget*, IDropTarget** pp) override { return *pp = nullptr, S_OK; }
  HRESULT GetExternal(IDispatch** pp) override { return *pp = nullptr, S_FALSE; }
  HRESULT TranslateUrl(DWORD, LPOLESTR, LPOLESTR* out) override { return *out = nullptr, S_FALSE; }
  HRESULT FilterDataObject(IDataObject*, IDataObject** pp) override { return *pp = nullptr, S_FALSE; }
  HRESULT GetTypeInfoCount(UINT* p) override { return *p = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id == DISPID_AMBIENT_DLCONTROL && (flags & DISPATCH_PROPERTYGET) && result) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS;
      return note("DLCONTROL", S_OK);
    }
    return fallback(id, flags, result);
  }

 private:
  HRESULT note(const char* call, HRESULT answer) {
    calls.push_back(call);
    return answer;
  }
};

class TUIHostBrowser : public TWebBrowser {
  QV_CLASS(TUIHostBrowser, TWebBrowser)
  explicit TUIHostBrowser(TComponent* AOwner) : TWebBrowser(AOwner), ui(qv::com::makeObject<HostUI>()) {
    ui->fallback = [this](DISPID id, WORD flags, VARIANT* result) {
      return InvokeAmbient(id, 0, flags, nullptr, result, nullptr, nullptr);
    };
  }
  ~TUIHostBrowser() override { CloseOleObject(); }
  HRESULT QueryHostInterface(REFIID iid, void** ppv) override {
    if (iid == IID_IDocHostUIHandler || iid == IID_IDispatch) return ui->QueryInterface(iid, ppv);
    return TWebBrowser::QueryHostInterface(iid, ppv);
  }
  ComPtr<HostUI> ui;
};

TEST_F(OleControlTest, DescendantsHostInterfacesReachTheBrowser) {
  auto* wb = addBrowser<TUIHostBrowser>(0, 0, 200, 100);
  wb->Navigate(path("index.html"));
  qv::os::pumpMessages();
  qv::browser::WebBrowser* inner = control(wb);
  // Asked when the document was made.
  EXPECT_NE(std::find(wb->ui->calls.begin(), wb->ui->calls.end(), "GetHostInfo"), wb->ui->calls.end());
  EXPECT_EQ(inner->hostInfo().dwFlags, 0x240004u);
  EXPECT_EQ(inner->downloadControl(), static_cast<DWORD>(DLCTL_DLIMAGES | DLCTL_NO_SCRIPTS));
  // The host took the right click: the browser shows no menu of its own.
  inner->rightClick(POINT{5, 5});
  EXPECT_EQ(wb->ui->calls.back(), "ShowContextMenu");
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("contextmenu").empty());
  // What the host's IDispatch leaves falls back to the control's ambients.
  EXPECT_EQ(ambient(siteOf(wb).get(), DISPID_AMBIENT_USERMODE, S_OK).toBool(), true);
}

TEST_F(OleControlTest, DestroyedWithANavigationPendingFreesTheBrowser) {
  const std::size_t before = qv::browser::liveBrowsers().size();
  TWebBrowser* wb = addBrowser(0, 0, 200, 100);
  int events = 0;
  wb->OnDocumentComplete = [&](TObject*, IDispatch*, const VARIANT&) { ++events; };
  wb->Navigate(path("index.html"));
  delete wb;
  qv::os::pumpMessages();
  EXPECT_EQ(events, 0);
  // Nothing keeps the browser: site and sink released it.
  EXPECT_EQ(qv::browser::liveBrowsers().size(), before);
}

TEST_F(OleControlTest, BrowserHeldElsewhereOutlivesTheControlWithoutReachingIt) {
  TWebBrowser* wb = addBrowser(0, 0, 200, 100);
  int events = 0;
  wb->OnDocumentComplete = [&](TObject*, IDispatch*, const VARIANT&) { ++events; };
  wb->OnTitleChange = [&](TObject*, const std::string&) { ++events; };
  ComPtr<IWebBrowser2> kept(wb->DefaultInterface());
  HWND inner = control(wb)->window();
  // The form takes the control's window with its own; the browser's window
  // is taken out before.
  delete form;
  form = nullptr;
  EXPECT_TRUE(IsWindow(inner));
  Variant url(path("index.html"));
  ASSERT_EQ(kept->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr), S_OK);
  qv::os::pumpMessages();
  EXPECT_EQ(events, 0);
  qv::com::Bstr name;
  kept->get_LocationName(name.put());
  EXPECT_EQ(name.toAnsi(), "Start");
  ComPtr<IOleObject> ole;
  kept->QueryInterface(IID_IOleObject, ole.putVoid());
  ComPtr<IOleClientSite> site;
  ole->GetClientSite(site.put());
  EXPECT_FALSE(site);
}

TEST_F(OleControlTest, FreedInsideItsOwnEventHandler) {
  TWebBrowser* wb = addBrowser(0, 0, 200, 100);
  std::vector<std::string> seen;
  wb->OnNavigateComplete2 = [&](TObject*, IDispatch*, const VARIANT&) {
    seen.push_back("NavigateComplete2");
    delete wb;
  };
  wb->OnTitleChange = [&](TObject*, const std::string&) { seen.push_back("TitleChange"); };
  wb->Navigate(path("index.html"));
  qv::os::pumpMessages();
  EXPECT_EQ(seen, std::vector<std::string>{"NavigateComplete2"});
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(OleControlTest, DetachedFromItsParentItKeepsWorking) {
  TWebBrowser* wb = addBrowser(0, 0, 200, 100);
  std::vector<std::string> titles;
  wb->OnTitleChange = [&](TObject*, const std::string& t) { titles.push_back(t); };
  wb->Navigate(path("index.html"));
  qv::os::pumpMessages();
  HWND inner = control(wb)->window();

  wb->SetParent(nullptr);
  EXPECT_FALSE(wb->HandleAllocated());
  EXPECT_TRUE(IsWindow(inner));
  wb->Navigate(path("page2.html"));
  qv::os::pumpMessages();
  EXPECT_EQ(titles, (std::vector<std::string>{"Start", "Second"}));
  EXPECT_EQ(wb->LocationName(), "Second");

  // Back in a form, it is in place in its new window.
  wb->SetParent(form);
  EXPECT_EQ(GetParent(inner), wb->Handle());
  EXPECT_TRUE(IsWindowVisible(inner));
  // And again when the form makes its window anew, the page kept.
  form->RecreateWnd();
  EXPECT_EQ(GetParent(inner), wb->Handle());
  EXPECT_TRUE(GetWindowLong(inner, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(wb->LocationName(), "Second");
}

}  // namespace
