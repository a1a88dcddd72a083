// The control as an object: its automation members by vtable and by
// IDispatch, in-place activation, commands, the page view and the stand-in
// library's version block.
#include "BrowserHarness.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Version.h"
#include "platform/os/user/WindowDc.h"

#include <algorithm>
#include <cstring>

namespace qvtest {
namespace {

using qv::com::ComPtr;
using qv::com::Variant;

class WebBrowserTest : public BrowserTest {
 protected:
  Variant invokeGet(DISPID id) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant r;
    EXPECT_EQ(wb->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, r.put(), nullptr, nullptr), S_OK);
    return r;
  }
};

TEST_F(WebBrowserTest, ApplicationDocumentAndVisibleByTheirDispids) {
  // Before the first load there is no document.
  Variant doc = invokeGet(DISPID_WB_DOCUMENT);
  EXPECT_EQ(doc.vt(), VT_DISPATCH);
  EXPECT_EQ(doc.raw().pdispVal, nullptr);

  Variant app = invokeGet(DISPID_WB_APPLICATION);
  ComPtr<IUnknown> a, self;
  app.raw().pdispVal->QueryInterface(IID_IUnknown, a.putVoid());
  wb->QueryInterface(IID_IUnknown, self.putVoid());
  EXPECT_EQ(a.get(), self.get());

  ASSERT_EQ(qv::com::setProperty(wb.get(), "Visible", Variant(false)), S_OK);
  EXPECT_EQ(invokeGet(DISPID_WB_VISIBLE).toBool(), false);
  EXPECT_FALSE(IsWindowVisible(control->window()));

  // Navigation by name, as late-bound hosts call it.
  Variant result;
  ASSERT_EQ(qv::com::invokeByName(wb.get(), "Navigate2", DISPATCH_METHOD, {Variant(windowsPath("site/index.html"))},
                                  result.put()),
            S_OK);
  EXPECT_EQ(invokeGet(DISPID_WB_BUSY).toBool(), true);
  qv::os::pumpMessages();
  doc = invokeGet(DISPID_WB_DOCUMENT);
  ASSERT_TRUE(doc.raw().pdispVal);
  ComPtr<IHTMLDocument2> html;
  EXPECT_EQ(doc.raw().pdispVal->QueryInterface(IID_IHTMLDocument2, html.putVoid()), S_OK);
  Variant title;
  qv::com::getProperty(doc.raw().pdispVal, "title", title);
  EXPECT_EQ(title.toString(), "Start Page");
  EXPECT_EQ(invokeGet(DISPID_WB_LOCATIONNAME).toString(), "Start Page");
  EXPECT_EQ(invokeGet(DISPID_WB_LOCATIONURL).toString(), siteUrl("site/index.html"));
  EXPECT_EQ(invokeGet(DISPID_WB_READYSTATE).toInt(), READYSTATE_COMPLETE);
  EXPECT_EQ(invokeGet(DISPID_WB_BUSY).toBool(), false);
}

TEST_F(WebBrowserTest, FrontBrowserIsTheVisibleControl) {
  ComPtr<IWebBrowser2> hidden = qv::browser::createWebBrowser();  // never put in place
  extra.push_back(hidden);
  EXPECT_EQ(qv::browser::liveBrowsers().size(), 2u);
  EXPECT_EQ(qv::browser::frontBrowser(), control);
}

TEST_F(WebBrowserTest, InPlaceActivationMakesAChildOfTheHostWindow) {
  EXPECT_EQ(GetParent(control->window()), host);
  EXPECT_TRUE(GetWindowLong(control->window(), GWL_STYLE) & WS_CHILD);
  ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(wb->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid()), S_OK);
  HWND hwnd = nullptr;
  inPlace->GetWindow(&hwnd);
  EXPECT_EQ(hwnd, control->window());
  const RECT r{10, 20, 210, 120};
  ASSERT_EQ(inPlace->SetObjectRects(&r, &r), S_OK);
  RECT client{};
  GetClientRect(control->window(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  LONG left = 0;
  wb->get_Left(&left);
  EXPECT_EQ(left, 10);

  ComPtr<IOleObject> ole;
  wb->QueryInterface(IID_IOleObject, ole.putVoid());
  EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, &r), E_INVALIDARG);
}

TEST_F(WebBrowserTest, NavigateAcceptsAPathInAByteArray) {
  const std::string path = windowsPath("site/index.html");
  SAFEARRAY* sa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(path.size() + 1));
  void* data = nullptr;
  SafeArrayAccessData(sa, &data);
  std::memcpy(data, path.c_str(), path.size() + 1);
  SafeArrayUnaccessData(sa);
  Variant url = Variant::fromArray(sa, VT_UI1);
  ASSERT_EQ(wb->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr), S_OK);
  qv::os::pumpMessages();
  EXPECT_EQ(control->document()->title(), "Start Page");
  Variant empty;
  EXPECT_EQ(wb->Navigate2(empty.get(), nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
}

TEST_F(WebBrowserTest, CommandsNeedADocumentAndAreRecorded) {
  OLECMDF f{};
  ASSERT_EQ(wb->QueryStatusWB(OLECMDID_PRINT, &f), S_OK);
  EXPECT_EQ(f, OLECMDF_SUPPORTED);
  EXPECT_EQ(wb->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), OLECMDERR_E_DISABLED);
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("print").empty());

  go(windowsPath("site/index.html"));
  // Print with header and footer as a safe array of two variants by reference.
  SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  for (LONG i = 0; i < 2; ++i) {
    Variant blank(" ");
    SafeArrayPutElement(sa, &i, blank.get());
  }
  VARIANT in;
  VariantInit(&in);
  in.vt = VT_ARRAY | VT_BYREF | VT_VARIANT;
  in.pparray = &sa;
  ASSERT_EQ(wb->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, &in, nullptr), S_OK);
  SafeArrayDestroy(sa);
  Variant header("Seite &p");
  ASSERT_EQ(wb->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, header.get(), nullptr), S_OK);
  const auto prints = qv::desktop::Recorder::eventsOf("print");
  ASSERT_EQ(prints.size(), 2u);
  EXPECT_EQ(prints[0].fields, (std::vector<std::string>{" ", " "}));
  EXPECT_EQ(prints[1].fields, (std::vector<std::string>{"Seite &p", ""}));

  // Copy is enabled by a selection and copies its text.
  wb->QueryStatusWB(OLECMDID_COPY, &f);
  EXPECT_EQ(f, OLECMDF_SUPPORTED);
  control->document()->setSelectionText("Welcome");
  wb->QueryStatusWB(OLECMDID_COPY, &f);
  EXPECT_EQ(f, OLECMDF_SUPPORTED | OLECMDF_ENABLED);
  ASSERT_EQ(wb->ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
  ASSERT_EQ(qv::desktop::Recorder::eventsOf("clipboard").size(), 1u);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("clipboard")[0].fields, std::vector<std::string>{"Welcome"});
  ASSERT_EQ(wb->ExecWB(OLECMDID_FIND, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("finddialog").size(), 1u);
  EXPECT_EQ(wb->ExecWB(static_cast<OLECMDID>(999), OLECMDEXECOPT_DODEFAULT, nullptr, nullptr),
            OLECMDERR_E_NOTSUPPORTED);
}

TEST_F(WebBrowserTest, DocumentCommandTargetRunsFindAndCopy) {
  go(windowsPath("site/index.html"));
  control->document()->setSelectionText("Intro");
  ComPtr<IDispatch> doc;
  wb->get_Document(doc.put());
  ComPtr<IOleCommandTarget> target;
  ASSERT_EQ(doc->QueryInterface(IID_IOleCommandTarget, target.putVoid()), S_OK);
  Variant in, out;
  EXPECT_EQ(target->Exec(&CGID_IWebBrowser, CWBCMD_FIND, 0, in.get(), out.get()), S_OK);
  EXPECT_EQ(target->Exec(nullptr, OLECMDID_COPY, 0, in.get(), out.get()), S_OK);
  EXPECT_EQ(target->Exec(&CGID_Explorer, 1, 0, in.get(), out.get()), OLECMDERR_E_UNKNOWNGROUP);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("finddialog").size(), 1u);
  ASSERT_EQ(qv::desktop::Recorder::eventsOf("clipboard").size(), 1u);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("clipboard")[0].fields, std::vector<std::string>{"Intro"});
}

TEST_F(WebBrowserTest, ThePointerOverALinkShowsItsAddressAndAClickOnItFollowsIt) {
  go(windowsPath("site/index.html"));
  const auto link = control->elementBox(control->document()->elementById("l2"));
  const auto heading = control->elementBox(control->document()->elementById("head"));
  ASSERT_TRUE(link && heading);
  EXPECT_LT(heading->bottom, link->top);  // blocks on lines of their own

  sink->lines.clear();
  const LPARAM at = MAKELPARAM((link->left + link->right) / 2, (link->top + link->bottom) / 2);
  SendMessage(control->window(), WM_MOUSEMOVE, 0, at);
  // The pointer there shows the hand.
  POINT screen{(link->left + link->right) / 2, (link->top + link->bottom) / 2};
  ClientToScreen(control->window(), &screen);
  SetCursorPos(screen.x, screen.y);
  SendMessage(control->window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control->window()),
              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  SendMessage(control->window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessage(control->window(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(sink->lines, (std::vector<std::string>{"StatusTextChange " + siteUrl("site/page2.html"),
                                                   "BeforeNavigate2 " + siteUrl("site/page2.html")}));
  // Off the link again: the status text goes.
  sink->lines.clear();
  SendMessage(control->window(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(sink->lines, std::vector<std::string>{"StatusTextChange "});
}

TEST_F(WebBrowserTest, AReleaseAwayFromThePressedLinkFollowsNothing) {
  go(windowsPath("site/index.html"));
  const auto link = control->elementBox(control->document()->elementById("l2"));
  ASSERT_TRUE(link);
  sink->lines.clear();
  SendMessage(control->window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(link->left + 2, link->top + 2));
  SendMessage(control->window(), WM_LBUTTONUP, 0, MAKELPARAM(link->right + 60, link->bottom + 60));
  EXPECT_TRUE(sink->only({"BeforeNavigate2"}).empty());
}

TEST_F(WebBrowserTest, DeepUnclosedPageLaysOut) {
  std::string html = "<html><body>";
  for (int i = 0; i < 20000; ++i) html += "<div><span>w";
  auto doc = qv::browser::Document::fromHtml(html, "file:///C:/deep.html");
  qv::browser::PageView view(doc, {});
  view.setBounds(RECT{0, 0, 600, 400});
  EXPECT_GT(view.contentHeight(), 0);
}

TEST_F(WebBrowserTest, BrowserLibraryVersionIsReadFromTheSystemFolder) {
  auto fileVersion = [] {
    const char* file = "C:\\WINDOWS\\system32\\shdocvw.dll";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSize(file, &handle);
    std::vector<BYTE> block(size);
    if (!size || !GetFileVersionInfo(file, 0, size, block.data())) return std::string();
    LPVOID p = nullptr;
    UINT len = 0;
    if (!VerQueryValue(block.data(), "\\StringFileInfo\\040904b0\\FileVersion", &p, &len)) return std::string();
    return std::string(static_cast<const char*>(p));
  };
  EXPECT_EQ(fileVersion(), "6.00.2900.2180");
  qv::desktop::profile().browserVersion = "5.50.4807.2300";
  qv::browser::registerBrowserModule();
  EXPECT_EQ(fileVersion(), "5.50.4807.2300");
}

}  // namespace
}  // namespace qvtest
