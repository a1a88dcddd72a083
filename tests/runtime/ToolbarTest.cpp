// The main window's toolbar: one image button per word of the settings,
// above the page, sized by the button bitmaps; what stops the start-up; and
// what each button does when a person clicks it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "RuntimeFixture.h"
#include "browserhost/WebHost.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/ImgList.h"
#include "platform/desktop/Clock.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

namespace {

using qv::browser::WebBrowser;

constexpr qvtest::Rgb kFace{200, 30, 30};

class ToolbarTest : public qvtest::RuntimeTest {
 protected:
  static WebBrowser* mainPage() {
    if (BrowserWindow == nullptr || BrowserWindow->WebBrowser == nullptr) return nullptr;
    return qv::browser::webBrowserOf(BrowserWindow->WebBrowser->DefaultInterface());
  }
  static TToolButton* button(const std::string& word) {
    TToolBar* bar = BrowserWindow != nullptr ? BrowserWindow->Toolbar : nullptr;
    for (int i = 0; bar != nullptr && i < bar->ButtonCount(); ++i)
      if (bar->Buttons(i)->Caption() == word) return bar->Buttons(i);
    return nullptr;
  }
  // A person's click in the middle of the button.
  void clickButton(const std::string& word) {
    TToolButton* b = button(word);
    ASSERT_NE(b, nullptr) << word;
    TPoint p = b->ClientToScreen(TPoint{b->Width() / 2, b->Height() / 2});
    click(p.x, p.y);
  }
  void writeButton(const std::string& word, int size) const {
    writeDiscFile("buttons/" + word + ".bmp", qvtest::bmpFile(size, size, kFace));
  }
  // The disc with these keys; `steps` run a second apart once the start
  // page has loaded, then the window is closed unless the run ended before.
  void runToolbar(const std::string& keys, std::vector<std::function<void()>> steps) {
    writeSettings(("startpage=index.html\r\nhidesplashscreen=1\r\n" + keys).c_str());
    writePage("index.html", "Start", "<p>Welcome</p><a href=\"page2.html\">next</a>");
    writePage("page2.html", "Second");
    std::uint64_t t = qv::desktop::Clock::now() + 1000;
    for (auto& s : steps) {
      at(t, std::move(s));
      t += 1000;
    }
    closeAt_ = t;
    at(t, [this] { closeMainWindow(); });
    launch();
  }
  bool endedEarly() const { return qv::desktop::Clock::now() < closeAt_; }
  // The pages shown, by file name.
  static std::vector<std::string> pagesShown() {
    std::vector<std::string> out;
    for (const std::string& url : navigations()) out.push_back(url.substr(url.find_last_of("/\\") + 1));
    return out;
  }

 private:
  std::uint64_t closeAt_ = 0;
};

// Two 24 x 24 bitmaps: buttons 7 wider and 6 higher than their images, side
// by side, in a holder 8 higher than the images above the page.
TEST_F(ToolbarTest, ButtonsTakeTheirSizeFromTheBitmaps) {
  writeButton("exit", 24);
  writeButton("print", 24);
  struct Seen {
    int count = 0, width0 = 0, height0 = 0, left1 = 0, holder = 0, images = 0, imageWidth = 0, pageTop = 0;
    std::string hint0, hint1;
    bool holderVisible = false;
    TColor holderColor = 0;
  } seen;
  runToolbar("toolbar=exit,print\r\ntoolbarcolor=255\r\n", {[&] {
               TToolBar* bar = BrowserWindow->Toolbar;
               ASSERT_NE(bar, nullptr);
               seen.count = bar->ButtonCount();
               ASSERT_EQ(seen.count, 2);
               seen.width0 = bar->Buttons(0)->Width();
               seen.height0 = bar->Buttons(0)->Height();
               seen.left1 = bar->Buttons(1)->Left();
               seen.hint0 = bar->Buttons(0)->Hint();
               seen.hint1 = bar->Buttons(1)->Hint();
               seen.holder = BrowserWindow->ToolbarHolder->Height();
               seen.holderVisible = BrowserWindow->ToolbarHolder->Visible();
               seen.holderColor = BrowserWindow->ToolbarHolder->Color();
               seen.images = BrowserWindow->ButtonImageList->Count();
               seen.imageWidth = BrowserWindow->ButtonImageList->Width();
               seen.pageTop = BrowserWindow->WebBrowser->Top();
             }});
  EXPECT_EQ(seen.width0, 31);
  EXPECT_EQ(seen.height0, 30);
  EXPECT_EQ(seen.left1, 31);
  EXPECT_EQ(seen.holder, 32);
  EXPECT_TRUE(seen.holderVisible);
  EXPECT_EQ(seen.holderColor, 255);
  EXPECT_EQ(seen.images, 2);
  EXPECT_EQ(seen.imageWidth, 24);
  EXPECT_EQ(seen.hint0, GetMessageText(23));
  EXPECT_EQ(seen.hint1, GetMessageText(24));
  // The page starts below the toolbar.
  EXPECT_EQ(seen.pageTop, 32);
  EXPECT_TRUE(messageTexts().empty());
}

// What stops the start-up: the window is never shown and the run ends.
struct FailCase {
  const char* name;
  const char* keys;
  std::vector<std::pair<const char*, int>> bitmaps;  // word, size
  int message;
  const char* argument;  // "{path}": the missing bitmap's path
};

class ToolbarFailTest : public ToolbarTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(ToolbarFailTest, StopsTheStartUp) {
  const FailCase& c = GetParam();
  for (const auto& [word, size] : c.bitmaps) writeButton(word, size);
  writeDiscFile("skin.bmp", qvtest::bmpFile(40, 30, kFace));
  runToolbar(c.keys, {});
  std::string argument = c.argument;
  if (argument == "{path}") argument = discWindowsPath("buttons\\print.bmp");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(c.message, argument)});
  EXPECT_TRUE(endedEarly());
  EXPECT_TRUE(navigations().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ToolbarFailTest,
    ::testing::Values(FailCase{"SizesDiffer", "toolbar=exit,print\r\n", {{"exit", 24}, {"print", 32}}, 17, ""},
                      FailCase{"MissingBitmap", "toolbar=exit,print\r\n", {{"exit", 24}}, 9, "{path}"},
                      FailCase{"WithASkin", "toolbar=exit\r\nskin=skin.bmp\r\n", {{"exit", 24}}, 35,
                               "Toolbar and skin mode cannot be combined!"}),
    [](const auto& info) { return std::string(info.param.name); });

// A bitmap that cannot be read is reported; the menu still starts.
TEST_F(ToolbarTest, AnUnreadableBitmapIsReportedAndTheRunGoesOn) {
  writeDiscFile("buttons/exit.bmp", "BM but not a bitmap");
  runToolbar("toolbar=exit\r\n", {});
  auto texts = messageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind(GetMessageText(35, ""), 0), 0u) << texts[0];
  EXPECT_FALSE(endedEarly());
  EXPECT_EQ(pagesShown(), std::vector<std::string>{"index.html"});
}

// A word outside the seven gets a button without a hint that does nothing.
TEST_F(ToolbarTest, AnUnknownWordMakesAnIdleButton) {
  writeButton("extra", 16);
  std::string hint = "?";
  runToolbar("toolbar=extra\r\n", {[&] {
                                     hint = button("extra")->Hint();
                                     clickButton("extra");
                                   },
                                   [] {}});
  EXPECT_EQ(hint, "");
  EXPECT_EQ(pagesShown(), std::vector<std::string>{"index.html"});
  for (const char* kind : {"print", "finddialog", "clipboard", "shell", "msgbox"})
    EXPECT_TRUE(events(kind).empty()) << kind;
  EXPECT_FALSE(endedEarly());
}

// Back and forward only where the browser has somewhere to go, home to the
// start page, the find dialog, copying the selection, printing with a blank
// header and footer, and the end of the run.
TEST_F(ToolbarTest, ButtonsActWhenClicked) {
  for (const char* word : {"goback", "goforward", "gohome", "search", "copy", "print", "exit"}) writeButton(word, 24);
  runToolbar("toolbar=goback,goforward,gohome,search,copy,print,exit\r\nhideheaderfooter=1\r\n",
             {[this] {
                clickButton("goback");
                clickButton("goforward");
              },
              [] { mainPage()->clickLinkText("next"); },
              [this] { clickButton("goback"); },
              [this] { clickButton("goforward"); },
              [this] { clickButton("gohome"); },
              [this] { clickButton("search"); },
              [this] {
                mainPage()->document()->setSelectionText("Welcome");
                clickButton("copy");
              },
              [this] { clickButton("print"); },
              [this] { clickButton("exit"); },
              [] {}});
  EXPECT_EQ(pagesShown(),
            (std::vector<std::string>{"index.html", "page2.html", "index.html", "page2.html", "index.html"}));
  EXPECT_EQ(events("finddialog").size(), 1u);
  auto copied = events("clipboard");
  ASSERT_EQ(copied.size(), 1u);
  EXPECT_EQ(copied[0].fields, std::vector<std::string>{"Welcome"});
  auto printed = events("print");
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].fields, (std::vector<std::string>{" ", " "}));
  EXPECT_TRUE(endedEarly());
  EXPECT_TRUE(messageTexts().empty());
}

// Without hideheaderfooter the button prints with the browser's own header
// and footer; a page that cannot be printed is reported and the menu stays.
struct PrintCase {
  const char* name;
  const char* keys;
  const char* answer;  // the printer's answer, or nullptr
  std::vector<std::vector<std::string>> printed;
  int message;  // 0 for none
};

class ToolbarPrintTest : public ToolbarTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(ToolbarPrintTest, Prints) {
  const PrintCase& c = GetParam();
  writeButton("print", 24);
  if (c.answer != nullptr) answer("print", c.answer);
  runToolbar(std::string("toolbar=print\r\n") + c.keys, {[this] { clickButton("print"); }, [] {}});
  std::vector<std::vector<std::string>> printed;
  for (const auto& e : events("print")) printed.push_back(e.fields);
  EXPECT_EQ(printed, c.printed);
  std::vector<std::string> messages;
  if (c.message != 0) messages.push_back(GetMessageText(c.message));
  EXPECT_EQ(messageTexts(), messages);
  EXPECT_FALSE(endedEarly());
}

INSTANTIATE_TEST_SUITE_P(
    Print, ToolbarPrintTest,
    ::testing::Values(PrintCase{"BrowsersHeaderAndFooter", "", nullptr, {{"", ""}}, 0},
                      PrintCase{"BlankHeaderAndFooter", "hideheaderfooter=1\r\n", nullptr, {{" ", " "}}, 0},
                      PrintCase{"PrinterFails", "hideheaderfooter=1\r\n", "fail", {}, 11},
                      PrintCase{"PrinterFailsWithoutBlanks", "", "fail", {}, 11}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
