// TWebBrowser: the browser's events through the wrapper with Sender, their
// parameters and written-back answers (Cancel, ppDisp, sizes), ANSI text,
// and the automation members forwarded, failures raising EOleException.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/browser/Url.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/SHDocVw.h"
#include "platform/com/Bstr.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/Message.h"

namespace {

using qv::com::ComPtr;
using qv::com::Variant;

std::string text(const VARIANT& v) {
  if (v.vt == VT_BSTR) return qv::com::bstrToAnsi(v.bstrVal);
  return Variant(v).toString().value_or("?");
}

class WebBrowserWrapperTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("site/index.html",
              "<html><head><title>Start</title></head><body>"
              "<a id=\"two\" href=\"page2.html\">two</a>"
              "<a id=\"pop\" href=\"page3.html\" target=\"popup\">pop</a></body></html>");
    // The title is UTF-8 in the page and reaches the handler as ANSI.
    writeFile("site/page2.html",
              "<html><head><meta charset=\"utf-8\"><title>Zwei \xC3\xBC</title></head><body>2</body></html>");
    writeFile("site/page3.html", "<html><head><title>Drei</title></head><body>3</body></html>");
    form = newBareForm(400, 300);
    wb = new TWebBrowser(form);
    wb->SetParent(form);
    wb->SetAlign(alClient);
    form->Show();
    wb->OnBeforeNavigate2 = [this](TObject* s, IDispatch*, const VARIANT& url, const VARIANT&, const VARIANT&,
                                   const VARIANT&, const VARIANT&, bool& cancel) {
      log("BeforeNavigate2 " + name(text(url)), s);
      cancel = text(url).find(cancelUrl.empty() ? std::string("\x01") : cancelUrl) != std::string::npos;
    };
    wb->OnNavigateComplete2 = [this](TObject* s, IDispatch*, const VARIANT& url) {
      log("NavigateComplete2 " + name(text(url)), s);
    };
    wb->OnDocumentComplete = [this](TObject* s, IDispatch* d, const VARIANT& url) {
      log("DocumentComplete " + name(text(url)) + (d == wb->Application().get() ? " top" : " other"), s);
    };
    wb->OnTitleChange = [this](TObject* s, const std::string& t) { log("TitleChange " + t, s); };
    wb->OnCommandStateChange = [this](TObject* s, int cmd, bool on) {
      log("CommandStateChange " + std::to_string(cmd) + (on ? " on" : " off"), s);
    };
  }
  void TearDown() override {
    delete form;
    qv::os::pumpMessages();
    DesktopTest::TearDown();
  }
  std::string path(const std::string& page) const { return qv::os::toWindowsPath(hostPath("site/" + page)); }
  // The page's file name, the part of a URL the tests compare.
  static std::string name(const std::string& url) { return url.substr(url.find_last_of("/\\") + 1); }
  void log(const std::string& line, TObject* sender) {
    lines.push_back(sender == wb ? line : line + " (wrong sender)");
  }
  void go(const std::string& page) {
    wb->Navigate(path(page));
    qv::os::pumpMessages();
  }
  qv::browser::WebBrowser* control() const { return qv::browser::webBrowserOf(wb->OleObject()); }

  TForm* form = nullptr;
  TWebBrowser* wb = nullptr;
  std::vector<std::string> lines;
  std::string cancelUrl;
};

TEST_F(WebBrowserWrapperTest, EventsArriveInOrderWithTheControlAsSender) {
  go("index.html");
  go("page2.html");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "BeforeNavigate2 index.html", "NavigateComplete2 index.html", "TitleChange Start",
                       "DocumentComplete index.html top", "BeforeNavigate2 page2.html", "NavigateComplete2 page2.html",
                       "CommandStateChange 2 on", "TitleChange Zwei \xFC", "DocumentComplete page2.html top"}));
  EXPECT_EQ(wb->LocationName(), "Zwei \xFC");

  lines.clear();
  wb->GoBack();
  qv::os::pumpMessages();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CommandStateChange 2 off"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CommandStateChange 1 on"), lines.end());
  EXPECT_EQ(name(wb->LocationURL()), "index.html");

  lines.clear();
  wb->GoForward();
  qv::os::pumpMessages();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CommandStateChange 1 off"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CommandStateChange 2 on"), lines.end());
  EXPECT_EQ(name(wb->LocationURL()), "page2.html");
}

TEST_F(WebBrowserWrapperTest, CancelInBeforeNavigate2StopsTheNavigation) {
  go("index.html");
  lines.clear();
  cancelUrl = "page3";
  go("page3.html");
  EXPECT_EQ(lines, std::vector<std::string>{"BeforeNavigate2 page3.html"});
  EXPECT_EQ(name(wb->LocationURL()), "index.html");
  EXPECT_FALSE(wb->Busy());
}

TEST_F(WebBrowserWrapperTest, NewWindow2ContinuesInTheReturnedBrowser) {
  go("index.html");
  auto* popup = new TWebBrowser(form);
  popup->SetParent(form);
  std::vector<std::string> popupLines;
  popup->OnDocumentComplete = [&](TObject* s, IDispatch*, const VARIANT& url) {
    popupLines.push_back("DocumentComplete " + name(text(url)) + (s == popup ? "" : " (wrong sender)"));
  };
  int asked = 0;
  wb->OnNewWindow2 = [&](TObject* s, ComPtr<IDispatch>& ppDisp, bool& cancel) {
    ++asked;
    EXPECT_EQ(s, wb);
    EXPECT_FALSE(ppDisp);
    EXPECT_FALSE(cancel);
    ppDisp = popup->Application();
  };
  auto* doc = control()->document().get();
  ASSERT_TRUE(control()->clickLink(doc->elementById("pop")));
  qv::os::pumpMessages();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(popupLines, std::vector<std::string>{"DocumentComplete page3.html"});
  EXPECT_EQ(popup->LocationName(), "Drei");
  EXPECT_EQ(name(wb->LocationURL()), "index.html");

  // Cancel: nothing opens anywhere.
  wb->OnNewWindow2 = [&](TObject*, ComPtr<IDispatch>&, bool& cancel) { cancel = true; };
  popupLines.clear();
  ASSERT_TRUE(control()->clickLink(control()->document()->elementById("pop")));
  qv::os::pumpMessages();
  EXPECT_TRUE(popupLines.empty());
}

TEST_F(WebBrowserWrapperTest, WindowEventsAndTheirAnswers) {
  go("index.html");
  auto* popup = new TWebBrowser(form);
  popup->SetParent(form);
  std::vector<std::string> got;
  popup->OnWindowSetResizable = [&](TObject*, bool r) { got.push_back(std::string("resizable ") + (r ? "1" : "0")); };
  popup->OnWindowSetLeft = [&](TObject*, int v) { got.push_back("left " + std::to_string(v)); };
  popup->OnWindowSetTop = [&](TObject*, int v) { got.push_back("top " + std::to_string(v)); };
  popup->OnWindowSetWidth = [&](TObject*, int v) { got.push_back("width " + std::to_string(v)); };
  popup->OnWindowSetHeight = [&](TObject*, int v) { got.push_back("height " + std::to_string(v)); };
  popup->OnClientToHostWindow = [&](TObject*, int& w, int& h) {
    got.push_back("client " + std::to_string(w) + "x" + std::to_string(h));
    w += 8;
    h += 30;
  };
  popup->OnFullScreen = [&](TObject*, bool f) { got.push_back(std::string("fullscreen ") + (f ? "1" : "0")); };
  wb->OnNewWindow2 = [&](TObject*, ComPtr<IDispatch>& ppDisp, bool&) { ppDisp = popup->Application(); };
  control()->windowOpen(path("page3.html"), "pop", "left=10,top=20,width=300,height=200,fullscreen=yes");
  qv::os::pumpMessages();
  EXPECT_EQ(got, (std::vector<std::string>{"resizable 0", "left 10", "top 20", "width 300", "height 200",
                                           "fullscreen 1", "client 300x200"}));
  EXPECT_TRUE(popup->FullScreen());

  // WindowClosing: the answer reaches the browser, which only asks.
  int closing = 0;
  wb->OnWindowClosing = [&](TObject* s, bool child, bool& cancel) {
    ++closing;
    EXPECT_EQ(s, wb);
    EXPECT_FALSE(child);
    cancel = true;
  };
  control()->windowClose();
  EXPECT_EQ(closing, 1);
}

TEST_F(WebBrowserWrapperTest, StatusTextOfTheLinkUnderThePointer) {
  go("index.html");
  std::vector<std::string> status;
  wb->OnStatusTextChange = [&](TObject*, const std::string& t) { status.push_back(name(t)); };
  control()->hover(control()->document()->elementById("two"));
  control()->hover(nullptr);
  EXPECT_EQ(status, (std::vector<std::string>{"page2.html", ""}));
}

TEST_F(WebBrowserWrapperTest, PropertiesForwardToTheBrowser) {
  IWebBrowser2* raw = wb->DefaultInterface();
  ASSERT_TRUE(raw);
  EXPECT_EQ(wb->Application().get(), static_cast<IDispatch*>(raw));
  EXPECT_FALSE(wb->Document());
  EXPECT_EQ(wb->ReadyState(), READYSTATE_UNINITIALIZED);

  // Set through the wrapper, read back through it and by name from the
  // browser itself.
  struct Case {
    const char* name;
    std::function<bool()> get;
    std::function<void(bool)> set;
  };
  const Case cases[] = {
      {"Offline", [&] { return wb->Offline(); }, [&](bool v) { wb->SetOffline(v); }},
      {"Silent", [&] { return wb->Silent(); }, [&](bool v) { wb->SetSilent(v); }},
      {"AddressBar", [&] { return wb->AddressBar(); }, [&](bool v) { wb->SetAddressBar(v); }},
      {"MenuBar", [&] { return wb->MenuBar(); }, [&](bool v) { wb->SetMenuBar(v); }},
      {"StatusBar", [&] { return wb->StatusBar(); }, [&](bool v) { wb->SetStatusBar(v); }},
      {"RegisterAsBrowser", [&] { return wb->RegisterAsBrowser(); }, [&](bool v) { wb->SetRegisterAsBrowser(v); }},
      {"RegisterAsDropTarget", [&] { return wb->RegisterAsDropTarget(); },
       [&](bool v) { wb->SetRegisterAsDropTarget(v); }},
      {"Resizable", [&] { return wb->Resizable(); }, [&](bool v) { wb->SetResizable(v); }},
      {"FullScreen", [&] { return wb->FullScreen(); }, [&](bool v) { wb->SetFullScreen(v); }},
  };
  for (const Case& c : cases) {
    for (bool value : {true, false}) {
      c.set(value);
      Variant seen;
      ASSERT_EQ(qv::com::getProperty(raw, c.name, seen), S_OK) << c.name;
      EXPECT_EQ(seen.toBool(), value) << c.name;
      EXPECT_EQ(c.get(), value) << c.name;
    }
  }
  wb->SetToolBar(1);
  int toolBar = 0;
  raw->get_ToolBar(&toolBar);
  EXPECT_EQ(toolBar, 1);
  EXPECT_EQ(wb->ToolBar(), 1);

  Variant url(path("index.html"));
  wb->Navigate2(url.get());
  EXPECT_TRUE(wb->Busy());
  qv::os::pumpMessages();
  EXPECT_EQ(wb->LocationName(), "Start");
  EXPECT_EQ(wb->LocationURL(), qv::browser::pathToFileUrl(path("index.html")));
  EXPECT_EQ(wb->ReadyState(), READYSTATE_COMPLETE);
  EXPECT_TRUE(wb->Document());
  EXPECT_TRUE(wb->QueryStatusWB(OLECMDID_COPY) & OLECMDF_SUPPORTED);
}

TEST_F(WebBrowserWrapperTest, RefusedCallsRaiseEOleExceptionWithTheResult) {
  auto result = [](const std::function<void()>& call) -> HRESULT {
    try {
      call();
    } catch (const EOleException& e) {
      EXPECT_FALSE(e.Message().empty());
      return e.ErrorCode();
    }
    return S_OK;
  };
  EXPECT_EQ(result([&] { wb->GoHome(); }), E_NOTIMPL);
  EXPECT_EQ(result([&] { wb->Navigate2(nullptr); }), E_INVALIDARG);
  EXPECT_EQ(result([&] { wb->ExecWB(static_cast<OLECMDID>(9999), OLECMDEXECOPT_DODEFAULT); }),
            OLECMDERR_E_NOTSUPPORTED);
}

TEST_F(WebBrowserWrapperTest, AHandlersExceptionGoesToTheApplicationNotThroughTheBrowser) {
  std::vector<std::string> shown;
  TExceptionEvent saved = Application->OnException;
  Application->OnException = [&](TObject* sender, Exception& e) {
    shown.push_back(e.Message() + (sender == wb ? "" : " (wrong sender)"));
  };
  wb->OnTitleChange = [](TObject*, const std::string&) { throw EConvertError("bad title"); };
  go("index.html");
  Application->OnException = saved;
  EXPECT_EQ(shown, std::vector<std::string>{"bad title"});
  // The browser went on with the page.
  EXPECT_EQ(lines.back(), "DocumentComplete index.html top");
}

TEST_F(WebBrowserWrapperTest, FormResourcesFindTheClass) {
  EXPECT_EQ(GetClass("TWebBrowser"), TWebBrowser::StaticClass());
  EXPECT_TRUE(GetPropInfo(TWebBrowser::StaticClass(), "OnBeforeNavigate2"));
}

}  // namespace
