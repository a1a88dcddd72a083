// Navigation of the web-browser control over the small local site: events
// and their order, history, clicks, forms, new windows, errors, a page from
// the loopback server.
#include "BrowserHarness.h"
#include "LoopbackServer.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/Paint.h"

namespace qvtest {
namespace {

using qv::com::ComPtr;
using qv::com::Variant;

class NavigationTest : public BrowserTest {
 protected:
  std::string index() const { return siteUrl("site/index.html"); }
  // As the start page's link names it; the file itself is upper case.
  std::string page2() const { return siteUrl("site/page2.html"); }
};

TEST_F(NavigationTest, PageWithFrameRaisesEventsInOrderFromTheMessageLoop) {
  Variant url(qv::os::utf8ToUtf16(windowsPath("site/index.html")));
  ASSERT_EQ(wb->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr), S_OK);
  // Only BeforeNavigate2 comes at once; the rest follows from the message loop.
  EXPECT_EQ(sink->lines, std::vector<std::string>{"BeforeNavigate2 " + index()});
  VARIANT_BOOL busy = VARIANT_FALSE;
  wb->get_Busy(&busy);
  EXPECT_EQ(busy, VARIANT_TRUE);
  qv::os::pumpMessages();
  EXPECT_EQ(sink->lines, (std::vector<std::string>{
                             "BeforeNavigate2 " + index(),
                             "NavigateComplete2 " + index(),
                             "TitleChange Start Page",
                             "DocumentComplete frame " + siteUrl("site/frame/side.htm"),
                             "DocumentComplete top " + index(),
                         }));
  READYSTATE rs{};
  wb->get_ReadyState(&rs);
  EXPECT_EQ(rs, READYSTATE_COMPLETE);
  qv::com::Bstr location;
  wb->get_LocationURL(location.put());
  EXPECT_EQ(location.toAnsi(), index());
  EXPECT_EQ(navigateLog(), std::vector<std::string>{index()});
}

TEST_F(NavigationTest, BackAndForwardFollowHistoryWithCommandStates) {
  EXPECT_EQ(wb->GoBack(), E_FAIL);  // nothing to go back to
  go(windowsPath("site/index.html"));
  ASSERT_TRUE(control->clickLinkText("page2"));
  qv::os::pumpMessages();
  EXPECT_EQ(wb->GoForward(), E_FAIL);
  ASSERT_EQ(wb->GoBack(), S_OK);
  qv::os::pumpMessages();
  ASSERT_EQ(wb->GoForward(), S_OK);
  qv::os::pumpMessages();
  EXPECT_EQ(sink->only({"CommandStateChange", "NavigateComplete2"}),
            (std::vector<std::string>{
                "NavigateComplete2 " + index(),
                "NavigateComplete2 " + page2(),
                "CommandStateChange 2 true",
                "NavigateComplete2 " + index(),
                "CommandStateChange 1 true",
                "CommandStateChange 2 false",
                "NavigateComplete2 " + page2(),
                "CommandStateChange 1 false",
                "CommandStateChange 2 true",
            }));
  EXPECT_EQ(navigateLog(), (std::vector<std::string>{index(), page2(), index(), page2()}));
  EXPECT_EQ(control->history().size(), 2u);
}

TEST_F(NavigationTest, CancelInBeforeNavigate2StopsTheNavigation) {
  go(windowsPath("site/index.html"));
  sink->cancelNavigation = [](const std::string& url, const std::string&) {
    return url.find("page2") != std::string::npos;
  };
  sink->lines.clear();
  control->clickLinkText("Second page");
  qv::os::pumpMessages();
  EXPECT_EQ(sink->lines, std::vector<std::string>{"BeforeNavigate2 " + page2()});
  EXPECT_EQ(control->document()->title(), "Start Page");
  EXPECT_EQ(navigateLog().size(), 1u);
}

TEST_F(NavigationTest, ScriptAndAboutAddressesReachBeforeNavigate2AsTheyStand) {
  for (const std::string url : {"javascript:window.close()", "about:close"}) {
    SCOPED_TRACE(url);
    sink->lines.clear();
    sink->cancelNavigation = [](const std::string& u, const std::string&) { return u == "about:close"; };
    go(url);
    ASSERT_FALSE(sink->lines.empty());
    EXPECT_EQ(sink->lines.front(), "BeforeNavigate2 " + url);
    EXPECT_EQ(sink->lines.size(), 1u);  // never loaded
  }
  EXPECT_TRUE(navigateLog().empty());
}

TEST_F(NavigationTest, TargetLinkRaisesNewWindow2WithTheLinkActive) {
  go(windowsPath("site/index.html"));
  std::string href, target;
  sink->cancelNewWindow = [&] {
    // What the host reads in its handler: the document's active element.
    ComPtr<IDispatch> d;
    wb->get_Document(d.put());
    Variant active, value;
    qv::com::getProperty(d.get(), "activeElement", active);
    qv::com::invokeByName(active.raw().pdispVal, "getAttribute", DISPATCH_METHOD, {Variant("href"), Variant(LONG(0))},
                          value.put());
    href = value.toString().value_or("");
    qv::com::invokeByName(active.raw().pdispVal, "getAttribute", DISPATCH_METHOD, {Variant("target"), Variant(LONG(0))},
                          value.put());
    target = value.toString().value_or("");
    return true;
  };
  sink->lines.clear();
  ASSERT_TRUE(control->clickLinkText("External"));
  EXPECT_EQ(sink->lines, std::vector<std::string>{"NewWindow2"});
  EXPECT_EQ(href, "http://example.test/ext");
  EXPECT_EQ(target, "_blank");
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("newwindow").empty());  // cancelled

  // Neither cancelled nor given a control: nothing opens here; it is recorded.
  sink->cancelNewWindow = nullptr;
  control->clickLinkText("External");
  ASSERT_EQ(qv::desktop::Recorder::eventsOf("newwindow").size(), 1u);
  EXPECT_EQ(qv::desktop::Recorder::eventsOf("newwindow")[0].fields, std::vector<std::string>{"http://example.test/ext"});
}

TEST_F(NavigationTest, ReturnedControlContinuesWithTheWindowName) {
  writeFile("site/pop.html", "<html><head><title>Pop</title></head><body>"
                             "<a href=\"page2.html\" target=\"copyfile\">Copy</a></body></html>");
  go(windowsPath("site/pop.html"));
  ComPtr<IWebBrowser2> popup = qv::browser::createWebBrowser();
  extra.push_back(popup);
  auto popupSink = qv::com::makeObject<EventSink>();
  advise(popup, popupSink.get());
  sink->newWindowTarget = [&] {
    IDispatch* app = nullptr;
    popup->get_Application(&app);
    return app;
  };
  control->clickLinkText("Copy");
  qv::os::pumpMessages();
  ASSERT_FALSE(popupSink->lines.empty());
  EXPECT_EQ(popupSink->lines.front(), "BeforeNavigate2 " + page2() + " frame=copyfile");
  auto* other = qv::browser::webBrowserOf(popup.get());
  ASSERT_TRUE(other->document());
  EXPECT_EQ(other->document()->windowName(), "copyfile");
  EXPECT_EQ(control->document()->title(), "Pop");  // the opener stays
}

TEST_F(NavigationTest, WindowOpenPassesFeaturesToTheNewControl) {
  go(windowsPath("site/index.html"));
  ComPtr<IWebBrowser2> popup = qv::browser::createWebBrowser();
  extra.push_back(popup);
  auto popupSink = qv::com::makeObject<EventSink>();
  advise(popup, popupSink.get());
  sink->newWindowTarget = [&] {
    IDispatch* app = nullptr;
    popup->get_Application(&app);
    return app;
  };
  control->windowOpen("page2.html", "info", "width=320, height=240,left=10,top=20");
  qv::os::pumpMessages();
  EXPECT_EQ(popupSink->only({"WindowSetResizable", "WindowSetLeft", "WindowSetTop", "WindowSetWidth",
                             "WindowSetHeight", "ClientToHostWindow", "BeforeNavigate2"}),
            (std::vector<std::string>{"WindowSetResizable false", "WindowSetLeft 10", "WindowSetTop 20",
                                      "WindowSetWidth 320", "WindowSetHeight 240", "ClientToHostWindow 320 240",
                                      "BeforeNavigate2 " + page2() + " frame=info"}));
}

TEST_F(NavigationTest, WindowCloseAsksTheHost) {
  go(windowsPath("site/index.html"));
  sink->lines.clear();
  control->windowClose();
  EXPECT_EQ(sink->lines, std::vector<std::string>{"WindowClosing false"});
}

TEST_F(NavigationTest, SearchFormReachesBeforeNavigate2WithTheTypedValue) {
  writeFile("site/search.html",
            "<html><body><iframe name=\"main\" src=\"page2.html\"></iframe>"
            "<form name=\"searchform\" action=\"searchform.htm\" target=\"main\">"
            "<input name=\"searchterm\" value=\"\"></form></body></html>");
  go(windowsPath("site/search.html"));
  std::string typed, seenUrl;
  sink->onBeforeNavigate = [&](const std::string& url) {
    seenUrl = url;
    auto doc = control->document();
    typed = doc->elementsByName("searchterm").at(0)->value();
  };
  sink->cancelNavigation = [](const std::string& url, const std::string&) {
    return url.find("searchform") != std::string::npos;
  };
  sink->lines.clear();
  ASSERT_TRUE(control->setField("searchterm", "cd rom"));
  ASSERT_TRUE(control->submitForm("searchform"));
  EXPECT_EQ(sink->lines, std::vector<std::string>{"BeforeNavigate2 " + siteUrl("site/searchform.htm") +
                                                  "?searchterm=cd+rom frame=main"});
  EXPECT_EQ(typed, "cd rom");
}

TEST_F(NavigationTest, NavigationTargetingAFrameReplacesOnlyThatFrame) {
  go(windowsPath("site/index.html"));
  sink->lines.clear();
  // A link inside the frame without a target loads into that frame.
  ASSERT_TRUE(control->clickLinkText("Back to two"));
  qv::os::pumpMessages();
  EXPECT_EQ(sink->lines, (std::vector<std::string>{"BeforeNavigate2 " + page2() + " frame=side",
                                                   "NavigateComplete2 " + page2(),
                                                   "DocumentComplete frame " + page2()}));
  EXPECT_EQ(control->document()->title(), "Start Page");
  EXPECT_EQ(control->document()->frameDocument("side")->title(), "Second");
  EXPECT_EQ(control->document()->frameDocument("side")->windowName(), "side");
  EXPECT_EQ(navigateLog().back(), page2());

  // Navigate2 with the frame's name, as hosts show results in a frame.
  sink->lines.clear();
  Variant url(qv::os::utf8ToUtf16(windowsPath("site/index.html"))), frame("SIDE");
  ASSERT_EQ(wb->Navigate2(url.get(), nullptr, frame.get(), nullptr, nullptr), S_OK);
  qv::os::pumpMessages();
  ASSERT_FALSE(sink->lines.empty());
  EXPECT_EQ(sink->lines.front(), "BeforeNavigate2 " + index() + " frame=SIDE");
  EXPECT_EQ(control->document()->frameDocument("side")->title(), "Start Page");
  EXPECT_EQ(control->history().size(), 1u);  // frames keep no history of their own here
}

TEST_F(NavigationTest, LinkInFrameMakesTheFrameTheTopActiveElement) {
  go(windowsPath("site/index.html"));
  sink->cancelNavigation = [](const std::string&, const std::string&) { return true; };
  ASSERT_TRUE(control->clickLinkText("Back to two"));
  auto top = control->document();
  EXPECT_EQ(top->activeElement()->tagName(), "IFRAME");
  auto frameDoc = top->frames().at(0).document;
  EXPECT_EQ(frameDoc->activeElement()->tagName(), "A");
  EXPECT_EQ(frameDoc->activeElement()->innerText(), "Back to two");
}

TEST_F(NavigationTest, HoverRaisesStatusTextAndLeavingClearsIt) {
  go(windowsPath("site/index.html"));
  sink->lines.clear();
  qv::browser::Element* link = control->document()->findLink("page2");
  control->hover(link);
  control->hover(link);  // no change, no event
  control->hover(nullptr);
  EXPECT_EQ(sink->lines, (std::vector<std::string>{"StatusTextChange " + page2(), "StatusTextChange "}));
}

TEST_F(NavigationTest, MissingFileGivesNavigateErrorAndTheErrorPage) {
  const std::string missing = siteUrl("site/nothere.html");
  go(windowsPath("site/nothere.html"));
  EXPECT_EQ(sink->lines, (std::vector<std::string>{
                             "BeforeNavigate2 " + missing,
                             "NavigateError " + missing + " " + std::to_string(INET_E_RESOURCE_NOT_FOUND),
                             "NavigateComplete2 " + missing,
                             "TitleChange " + std::string(qv::browser::kErrorPageTitle),
                             "DocumentComplete top " + missing,
                         }));
  EXPECT_TRUE(control->document()->isErrorPage());
}

// Pages that would crash a careless parser or page view are shown like any
// other: the events of a page, a laid-out view and a paint.
TEST_F(NavigationTest, MalformedPagesLoadLayOutAndPaintInTheControl) {
  std::string big = "<html><head><title>Big</title></head><body>";
  while (big.size() < (5u << 20)) big += "<p>Paragraph <a href='p.htm'>link</a> text text text</p>\n";
  std::string junk;
  for (unsigned i = 0; i < (1u << 16); ++i) junk += static_cast<char>((i * 2654435761u) >> 24);
  const std::pair<const char*, std::string> cases[] = {
      {"unclosed.htm", "<html><body><div><p><b><table><tr><td>cell<a href='x.htm'>open link<form name=f>"
                       "<select name=s><option>1<textarea name=t>x<input name=a value='v"},
      {"big.htm", big},
      {"junk.bin", junk},
      {"wrong-charset.htm", "<meta charset=shift_jis><title>\x82</title>" + junk},
  };
  for (const auto& [name, bytes] : cases) {
    writeFile(std::string("site/") + name, bytes);
    sink->lines.clear();
    go(windowsPath(std::string("site/") + name));
    const std::string url = siteUrl(std::string("site/") + name);
    EXPECT_EQ(sink->only({"NavigateComplete2", "DocumentComplete"}),
              (std::vector<std::string>{"NavigateComplete2 " + url, "DocumentComplete top " + url}))
        << name;
    ASSERT_TRUE(control->document()) << name;
    EXPECT_FALSE(control->document()->isErrorPage()) << name;
    ASSERT_TRUE(control->view()) << name;
    EXPECT_GT(control->view()->contentHeight(), 0) << name;
    UpdateWindow(control->window());
  }
}

TEST_F(NavigationTest, CancelledNavigateErrorKeepsThePageShown) {
  go(windowsPath("site/index.html"));
  auto before = control->document();
  sink->lines.clear();
  // The sink cancels nothing in BeforeNavigate2 but NavigateError's Cancel is
  // the fifth argument; reuse the closing flag path through a dedicated sink.
  class ErrorCanceller final : public qv::com::ComObject<IDispatch> {
   public:
    HRESULT GetTypeInfoCount(UINT* p) override { return *p = 0, S_OK; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
      if (id == DISPID_NAVIGATEERROR) *p->rgvarg[0].pboolVal = VARIANT_TRUE;
      return S_OK;
    }
  };
  advise(wb, qv::com::makeObject<ErrorCanceller>().get());
  go(windowsPath("site/nothere.html"));
  EXPECT_EQ(control->document(), before);
  EXPECT_EQ(sink->only({"NavigateComplete2", "DocumentComplete"}), std::vector<std::string>{});
}

TEST_F(NavigationTest, PageFromLoopbackServer) {
  LoopbackServer server;
  server.serve("/menu.html", {200, "Content-Type: text/html; charset=utf-8\r\n",
                              "<html><head><title>Served</title></head><body><a href=\"/b.html\">B</a></body></html>"});
  go(server.url("/menu.html"));
  EXPECT_EQ(sink->only({"TitleChange"}), std::vector<std::string>{"TitleChange Served"});
  EXPECT_EQ(navigateLog(), std::vector<std::string>{server.url("/menu.html")});
  EXPECT_NE(server.lastRequest().find("GET /menu.html"), std::string::npos);
}

TEST_F(NavigationTest, StopDropsThePendingNavigation) {
  Variant url(qv::os::utf8ToUtf16(windowsPath("site/index.html")));
  wb->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(wb->Stop(), S_OK);
  qv::os::pumpMessages();
  EXPECT_EQ(sink->lines.size(), 1u);
  ComPtr<IDispatch> d;
  wb->get_Document(d.put());
  EXPECT_FALSE(d);
}

TEST_F(NavigationTest, AltArrowKeysOnThePageGoBackAndForward) {
  go(windowsPath("site/index.html"));
  go(windowsPath("site/PAGE2.HTML"));
  SendMessage(control->window(), WM_SYSKEYDOWN, VK_LEFT, 0);
  qv::os::pumpMessages();
  EXPECT_EQ(control->document()->title(), "Start Page");
  SendMessage(control->window(), WM_SYSKEYDOWN, VK_RIGHT, 0);
  qv::os::pumpMessages();
  EXPECT_EQ(control->document()->title(), "Second");
  // The host's accelerator hook saw the keys first.
  EXPECT_EQ(site->callsStarting("TranslateAccelerator").size(), 2u);
}

}  // namespace
}  // namespace qvtest
