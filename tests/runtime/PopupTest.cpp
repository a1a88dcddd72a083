// The runtime's popup windows: pages that open a window (a link with a
// target, a script's window.open with its features) get a popup of the
// runtime's own, laid out by the page's requests once its first page has
// loaded; link commands, the close address and the search work from there
// too. The pages ask through the browser control as a person's clicks and a
// page's scripts would.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "runtime/Browser.h"
#include "runtime/Client.h"
#include "runtime/MessageTable.h"

namespace {

using qv::browser::WebBrowser;

class PopupTest : public qvtest::RuntimeTest {
 protected:
  static WebBrowser* browserOf(TWebHost* host) {
    return host == nullptr ? nullptr : qv::browser::webBrowserOf(host->DefaultInterface());
  }
  static WebBrowser* mainPage() { return BrowserWindow == nullptr ? nullptr : browserOf(BrowserWindow->WebBrowser); }
  // The live popups, oldest first.
  static std::vector<TClientWindow*> popups() {
    std::vector<TClientWindow*> out;
    for (int i = 0; Application != nullptr && i < Application->ComponentCount(); ++i)
      if (auto* popup = dynamic_cast<TClientWindow*>(Application->Components(i))) out.push_back(popup);
    return out;
  }
  static TClientWindow* onlyPopup() {
    auto all = popups();
    return all.size() == 1 ? all[0] : nullptr;
  }
  static WebBrowser* popupPage() { return onlyPopup() == nullptr ? nullptr : browserOf(onlyPopup()->WebBrowser); }

  // The start page with `body`, "popup.html" with `popupBody`; `steps` run a
  // second apart once the start page has loaded, then the main window is
  // closed unless the run ended before.
  void runPopup(const std::string& keys, const std::string& body, const std::string& popupBody,
                std::vector<std::function<void()>> steps, const std::string& sections = "") {
    writeSettings(("startpage=index.html\r\nhidesplashscreen=1\r\n" + keys).c_str(), sections);
    writePage("index.html", "Start", body);
    writePage("popup.html", "Popup", popupBody);
    std::uint64_t t = qv::desktop::Clock::now() + 1000;
    for (auto& s : steps) {
      at(t, std::move(s));
      t += 1000;
    }
    closeAt_ = t;
    at(t, [this] { closeMainWindow(); });
    launch();
  }
  bool endedByPage() const { return qv::desktop::Clock::now() < closeAt_; }

 private:
  std::uint64_t closeAt_ = 0;
};

// What the popup looks like once its first page has loaded.
struct Shown {
  bool visible = false;
  std::string caption;
  int clientWidth = 0, clientHeight = 0;
  int left = 0, top = 0;
  int browserWidth = 0, browserHeight = 0;
  TFormBorderStyle border = bsSizeable;
  TBorderIcons icons;
  TWindowState state = wsNormal;
};

Shown inspect(TClientWindow* popup) {
  Shown s;
  if (popup == nullptr) return s;
  s.visible = popup->Visible();
  s.caption = popup->Caption();
  s.clientWidth = popup->ClientWidth();
  s.clientHeight = popup->ClientHeight();
  s.left = popup->Left();
  s.top = popup->Top();
  if (popup->WebBrowser != nullptr) {
    s.browserWidth = popup->WebBrowser->Width();
    s.browserHeight = popup->WebBrowser->Height();
  }
  s.border = popup->BorderStyle();
  s.icons = popup->BorderIcons();
  s.state = popup->WindowState();
  return s;
}

// window.open with features: the client area takes the size asked for and
// the page fills it, also in a window the page made fixed in size.
struct OpenCase {
  const char* name;
  const char* features;
  int width, height;
  int left, top;  // 0: not asked for (the platform places the window)
  bool sizable;   // a sizing frame and a maximise box
};

class WindowOpenTest : public PopupTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(WindowOpenTest, TheFirstPageLaysTheWindowOut) {
  const OpenCase& c = GetParam();
  Shown shown;
  runPopup("", "", "", {[&] { mainPage()->windowOpen("popup.html", "extra", c.features); },
                        [&] { shown = inspect(onlyPopup()); }});
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.caption, "Popup");
  EXPECT_EQ(shown.clientWidth, c.width);
  EXPECT_EQ(shown.clientHeight, c.height);
  EXPECT_EQ(shown.browserWidth, c.width);
  EXPECT_EQ(shown.browserHeight, c.height);
  if (c.left != 0) {
    EXPECT_EQ(shown.left, c.left);
  }
  if (c.top != 0) {
    EXPECT_EQ(shown.top, c.top);
  }
  EXPECT_EQ(shown.state, wsNormal);
  // A window the page made fixed in size cannot be sized by the user.
  EXPECT_EQ(shown.border, c.sizable ? bsSizeable : bsSingle);
  EXPECT_EQ(shown.icons.Contains(biMaximize), c.sizable);
  EXPECT_TRUE(shown.icons.Contains(biSystemMenu));
  EXPECT_TRUE(messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Features, WindowOpenTest,
    ::testing::Values(OpenCase{"FixedSize", "width=300,height=200", 300, 200, 0, 0, false},
                      OpenCase{"SizeAndPlace", "width=300,height=200,left=50,top=60", 300, 200, 50, 60, false},
                      OpenCase{"Resizable", "width=320,height=240,resizable=yes,top=70", 320, 240, 0, 70, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Without requests the settings' numbers are the client size, in pixels
// even when the main window is sized in percent of the screen.
struct SettingsCase {
  const char* name;
  const char* keys;
  int width, height;
};

class SettingsSizeTest : public PopupTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsSizeTest, WithoutRequestsTheSettingsNumbersArePixels) {
  const SettingsCase& c = GetParam();
  Shown shown;
  runPopup(c.keys, "<a href=\"popup.html\" target=\"extra\">open</a>", "",
           {[] { mainPage()->clickLinkText("open"); }, [&] { shown = inspect(onlyPopup()); }});
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.clientWidth, c.width);
  EXPECT_EQ(shown.clientHeight, c.height);
  EXPECT_EQ(shown.browserWidth, c.width);
  EXPECT_EQ(shown.browserHeight, c.height);
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsSizeTest,
                         ::testing::Values(SettingsCase{"Defaults", "", 400, 600},
                                           SettingsCase{"Percent", "windowwidth=150%\r\nwindowheight=80%\r\n", 150, 80}),
                         [](const auto& info) { return std::string(info.param.name); });

// Full screen: no border and maximised; the size and place asked for beside
// it do not count.
TEST_F(PopupTest, AFullScreenRequestMaximisesWithoutBorder) {
  Shown shown;
  size_t left = 9;
  runPopup("", "", "",
           {[] { mainPage()->windowOpen("popup.html", "extra", "fullscreen=yes,width=300,height=200,left=50,top=60"); },
            [&] {
              shown = inspect(onlyPopup());
              // The new border made the window anew, its browser's window
              // with it; that closed nothing, so the page's close still
              // frees it.
              browserOf(onlyPopup()->WebBrowser)->windowClose();
            },
            [&] { left = popups().size(); }});
  EXPECT_TRUE(shown.visible);
  EXPECT_EQ(shown.border, bsNone);
  EXPECT_EQ(shown.state, wsMaximized);
  EXPECT_NE(shown.left, 50);
  EXPECT_NE(shown.clientWidth, 300);
  EXPECT_EQ(shown.browserWidth, shown.clientWidth);
  EXPECT_EQ(shown.browserHeight, shown.clientHeight);
  EXPECT_EQ(left, 0u);
}

// A popup is a window of its own with a task bar button, and it casts the
// main window's drop shadow.
TEST_F(PopupTest, APopupIsAWindowOfItsOwn) {
  LONG exStyle = 0;
  DWORD classStyle = 0;
  HWND owner = reinterpret_cast<HWND>(1);
  runPopup("dropshadow=1\r\n", "", "",
           {[] { mainPage()->windowOpen("popup.html", "extra", ""); },
            [&] {
              ASSERT_NE(onlyPopup(), nullptr);
              HWND h = onlyPopup()->Handle();
              exStyle = GetWindowLong(h, GWL_EXSTYLE);
              classStyle = GetClassLong(h, GCL_STYLE);
              owner = GetWindow(h, GW_OWNER);
            }});
  EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
  EXPECT_NE(classStyle & CS_DROPSHADOW, 0u);
  EXPECT_EQ(owner, nullptr);
}

// The close address and openandclose in a popup end the whole run; the
// file is opened first.
struct EndCase {
  const char* name;
  const char* link;
  const char* opened;  // the file the shell opens, "" for none
};

class PopupEndTest : public PopupTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(PopupEndTest, EndsTheRun) {
  const EndCase& c = GetParam();
  writeDiscFile("files/data.txt", "data");
  bool shown = false;
  runPopup("", "", c.link,
           {[] { mainPage()->windowOpen("popup.html", "extra", ""); },
            [&] {
              shown = onlyPopup() != nullptr && onlyPopup()->Visible();
              popupPage()->clickLinkText("go");
            }});
  EXPECT_TRUE(shown);
  EXPECT_TRUE(endedByPage());
  auto calls = shellCalls();
  if (*c.opened) {
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0][0], "open");
    std::string folder = discWindowsPath();
    for (char& ch : folder)
      if (ch == '\\') ch = '/';
    EXPECT_EQ(calls[0][1], folder + c.opened);
  } else {
    EXPECT_TRUE(calls.empty());
  }
  EXPECT_TRUE(messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(Links, PopupEndTest,
                         ::testing::Values(EndCase{"AboutClose", "<a href=\"about:close\">go</a>", ""},
                                           EndCase{"OpenAndClose",
                                                   "<a href=\"files/data.txt\" target=\"openandclose\">go</a>",
                                                   "files/data.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A window named after a link command carries the command out with its
// first address and goes without being shown; the run goes on.
struct CommandCase {
  const char* name;
  const char* url;
  const char* windowName;
  const char* event;  // what the command did
};

class FirstNavigationTest : public PopupTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(FirstNavigationTest, ALinkCommandClosesThePopupUnshown) {
  const CommandCase& c = GetParam();
  writeDiscFile("files/data.txt", "data");
  answer("dialog", "cancel");
  bool shown = true;
  size_t left = 1;
  runPopup("", "", "",
           {[&] { mainPage()->windowOpen(c.url, c.windowName, ""); },
            [&] {
              shown = onlyPopup() != nullptr && onlyPopup()->Visible();
              left = popups().size();
            }});
  EXPECT_FALSE(shown);
  // Nothing shows a closed popup again: it is gone.
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(events(c.event).size(), 1u);
  EXPECT_FALSE(endedByPage());
}

INSTANTIATE_TEST_SUITE_P(Commands, FirstNavigationTest,
                         ::testing::Values(CommandCase{"CopyFile", "files/data.txt", "copyfile", "savedialog"},
                                           CommandCase{"Params", "files/data.txt", "params:-x", "shell"},
                                           CommandCase{"Executable", "setup.exe", "extra", "shell"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A window opened for a search or a script address gets no page of its own
// to show: it goes at once, and a search shows its results in the main
// window, with the term of the page that opened the window.
WebBrowser* mainBrowser() {
  if (BrowserWindow == nullptr || BrowserWindow->WebBrowser == nullptr) return nullptr;
  return qv::browser::webBrowserOf(BrowserWindow->WebBrowser->DefaultInterface());
}

struct FirstAddressCase {
  const char* name;
  const char* body;  // the start page's
  std::function<void()> open;
  const char* mainTitle;
};

class FirstAddressTest : public PopupTest, public ::testing::WithParamInterface<FirstAddressCase> {};

TEST_P(FirstAddressTest, ThePopupGoesAtOnce) {
  const FirstAddressCase& c = GetParam();
  writeDiscFile("search.qvix", "0001/pages/fruit.html####Fruit####\r\na ripe pear\r\n");
  writeDiscFile("result.html",
                "<html><head><title>Results</title></head><body><!-- ### SE RESULTS BEGIN ### -->"
                "<!-- ### SE ENTRY BEGIN ### --><p>[{FILETITLE}]</p><!-- ### SE ENTRY END ### -->"
                "<!-- ### SE RESULTS END ### --></body></html>");
  std::size_t left = 9;
  std::string mainTitle;
  runPopup("", c.body, "", {[&] { c.open(); }, [&] {
                              left = popups().size();
                              mainTitle = mainPage()->document()->title();
                            }},
           "[fulltextsearchengine]\r\nactive=1\r\nindex=search.qvix\r\nresulttemplate=result.html\r\n");
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(mainTitle, c.mainTitle);
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_FALSE(endedByPage());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, FirstAddressTest,
    ::testing::Values(
        FirstAddressCase{"SearchForm",
                         "<form name=\"searchform\" action=\"searchform\" target=\"results\">"
                         "<input name=\"searchterm\"></form>",
                         [] {
                           mainBrowser()->setField("searchterm", "pear");
                           mainBrowser()->submitForm("searchform");
                         },
                         "Results"},
        FirstAddressCase{"Script", "", [] { mainBrowser()->windowOpen("javascript:void(0)", "extra", ""); }, "Start"},
        FirstAddressCase{"ScriptLink", "<a href=\"JavaScript:show()\" target=\"extra\">go</a>",
                         [] { mainBrowser()->clickLinkText("go"); }, "Start"}),
    [](const auto& info) { return std::string(info.param.name); });

// An address that cannot be decoded is no command in a popup either: the
// run goes on without an error.
TEST_F(PopupTest, AnUndecodableAddressDoesNotEndTheRun) {
  runPopup("", "", "", {[] { mainPage()->windowOpen("http://127.0.0.1:1/page%4.html", "copyfile", ""); }, [] {}});
  EXPECT_FALSE(endedByPage());
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_TRUE(events("savedialog").empty());
}

// The page's window.close closes the popup and frees it; the main window
// stays. A popup's own links open further popups.
TEST_F(PopupTest, WindowCloseFreesThePopupAndPopupsOpenPopups) {
  size_t afterSecond = 0, afterClose = 9;
  runPopup("", "", "<a href=\"popup.html\" target=\"more\">more</a>",
           {[] { mainPage()->windowOpen("popup.html", "extra", ""); },
            [] { popupPage()->clickLinkText("more"); },
            [&] {
              afterSecond = popups().size();
              ASSERT_EQ(afterSecond, 2u);
              browserOf(popups()[1]->WebBrowser)->windowClose();
              browserOf(popups()[0]->WebBrowser)->windowClose();
            },
            [&] { afterClose = popups().size(); }});
  EXPECT_EQ(afterSecond, 2u);
  EXPECT_EQ(afterClose, 0u);
  EXPECT_FALSE(endedByPage());
  EXPECT_TRUE(events("newwindow").empty());
}

// A popup whose browser's window goes away closes with it.
TEST_F(PopupTest, APopupClosesWhenItsBrowserWindowGoes) {
  size_t left = 9;
  runPopup("", "", "",
           {[] { mainPage()->windowOpen("popup.html", "extra", ""); },
            [] { DestroyWindow(onlyPopup()->WebBrowser->Handle()); },
            [&] { left = popups().size(); }});
  EXPECT_EQ(left, 0u);
  EXPECT_FALSE(endedByPage());
}

// Without internalpopups the browser opens a window of its own.
TEST_F(PopupTest, WithoutInternalPopupsTheBrowserOpensItsOwnWindow) {
  size_t opened = 9;
  runPopup("internalpopups=0\r\n", "<a href=\"popup.html\" target=\"extra\">open</a>", "",
           {[] { mainPage()->clickLinkText("open"); }, [&] { opened = popups().size(); }});
  EXPECT_EQ(opened, 0u);
  EXPECT_EQ(events("newwindow").size(), 1u);
}

// A search submitted in a popup shows its results in the main window; an
// empty term is a form that does not work (message 32).
TEST_F(PopupTest, ASearchFromAPopupShowsTheResultsInTheMainWindow) {
  writeDiscFile("search.qvix", "0001/pages/fruit.html####Fruit####\r\na ripe pear\r\n");
  writeDiscFile("result.html",
                "<html><head><title>Results</title></head><body><!-- ### SE RESULTS BEGIN ### -->"
                "<!-- ### SE ENTRY BEGIN ### --><p>[{FILETITLE}]</p><!-- ### SE ENTRY END ### -->"
                "<!-- ### SE NORESULTS BEGIN ### --><p>none</p><!-- ### SE NORESULTS END ### -->"
                "<!-- ### SE RESULTS END ### --></body></html>");
  std::string mainTitle, popupTitle;
  runPopup("",
           "",
           "<form name=\"searchform\" action=\"searchform\"><input name=\"searchterm\"></form>",
           {[] { mainPage()->windowOpen("popup.html", "extra", ""); },
            [] { popupPage()->submitForm("searchform"); },
            [] {
              popupPage()->setField("searchterm", "pear");
              popupPage()->submitForm("searchform");
            },
            [&] {
              mainTitle = mainPage()->document()->title();
              popupTitle = popupPage()->document()->title();
            }},
           "[fulltextsearchengine]\r\nactive=1\r\nindex=search.qvix\r\nresulttemplate=result.html\r\n");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(32)});
  EXPECT_EQ(mainTitle, "Results");
  EXPECT_EQ(popupTitle, "Popup");
}

}  // namespace
