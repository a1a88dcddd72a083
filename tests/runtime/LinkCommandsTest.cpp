// Links that drive the runtime: executable extensions opened with the shell,
// the link targets (copy, copy and run, open and close, parameters, the
// user's browser), the close and print addresses, and the address decoding
// they share. The links are clicked in real pages, so the browser raises its
// before-navigate and new-window events as it would for a person.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "browserhost/WebHost.h"
#include "platform/classlib/SysUtils.h"
#include "platform/desktop/Clock.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/Shell.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

namespace {

using qv::browser::WebBrowser;
using Fields = std::vector<std::string>;

constexpr const char* kMyDocuments = "C:\\Documents and Settings\\User\\My Documents";

std::string slashed(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

// Replaces "{u}" by the disc folder as a stripped file address ("Z:/.../disc/")
// and "{w}" by the disc folder in the platform's form ("Z:\...\disc\").
std::string expand(std::string text, const std::string& windowsFolder) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"{u}", slashed(windowsFolder)},
                            std::pair<std::string, std::string>{"{w}", windowsFolder}}) {
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
      text.replace(at, key.size(), value);
  }
  return text;
}

class LinkCommandsTest : public qvtest::RuntimeTest {
 protected:
  static WebBrowser* page() {
    if (BrowserWindow == nullptr || BrowserWindow->WebBrowser == nullptr) return nullptr;
    return qv::browser::webBrowserOf(BrowserWindow->WebBrowser->DefaultInterface());
  }
  // A disc whose start page holds the links; `steps` run a second apart once
  // it has loaded, then the window is closed (unless a link closed it).
  void runLinks(const std::string& keys, const std::string& links, std::vector<std::function<void()>> steps) {
    writeSettings(("startpage=index.html\r\nhidesplashscreen=1\r\n" + keys).c_str());
    writePage("index.html", "Start", links);
    std::uint64_t t = qv::desktop::Clock::now() + 1000;
    for (auto& s : steps) {
      at(t, std::move(s));
      t += 1000;
    }
    closeAt_ = t;
    at(t, [this] { closeMainWindow(); });
    launch();
  }
  // The run ended before the test closed the window.
  bool endedByLink() const { return qv::desktop::Clock::now() < closeAt_; }
  // The shell calls without their result: verb, file, parameters, folder, show.
  static std::vector<Fields> shellRequests() {
    std::vector<Fields> out;
    for (auto fields : shellCalls()) {
      if (!fields.empty()) fields.pop_back();
      out.push_back(fields);
    }
    return out;
  }
  std::string u(const std::string& relative = "") const { return slashed(discWindowsPath(relative)); }
  std::string w(const std::string& relative = "") const { return discWindowsPath(relative); }

 private:
  std::uint64_t closeAt_ = 0;
};

// --- Routines -------------------------------------------------------------

TEST(UrlRoutines, UrlDecodeDecodesEscapesAndBlanks) {
  EXPECT_EQ(UrlDecode("My%20Setup+Disc%2525.exe"), "My Setup Disc%25.exe");
  EXPECT_EQ(UrlDecode("%c4%D6"), "\xC4\xD6");
  EXPECT_EQ(UrlDecode(""), "");
}

// A "%" without two hexadecimal digits is a conversion error, whatever the
// text around it; nothing is read past the end.
TEST(UrlRoutines, UrlDecodeRejectsMalformedEscapes) {
  for (const char* text : {"setup%4", "%", "a%zz", "%4g", "%%41"}) {
    try {
      UrlDecode(text);
      ADD_FAILURE() << text;
    } catch (EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid hex digit in URL") << text;
    }
  }
}

TEST(UrlRoutines, StripFileSchemeRemovesExactlyTheScheme) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"file:///D:/disc/a.exe", "D:/disc/a.exe"},
      {"file://D:/disc/a.exe", "D:/disc/a.exe"},
      {"file://server/share/a.exe", "server/share/a.exe"},
      {"FILE:///D:/a.exe", "FILE:///D:/a.exe"},  // the scheme test is case-sensitive
      {"file:/", "file:/"},
      {"", ""},
      {"http://host/a.exe", "http://host/a.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripFileScheme(c.in), c.out) << c.in;
  EXPECT_EQ(GetFileNamePart("D:/disc\\files/Data 1.txt"), "Data 1.txt");
  EXPECT_EQ(GetFileNamePart("plain.txt"), "plain.txt");
  EXPECT_EQ(GetFileNamePart("D:/disc/"), "");
}

// --- Before navigation: executable extensions, close and print ----------------

// Links without a target, and what the shell is asked to do with them.
struct ExtensionCase {
  const char* name;
  const char* keys;
  const char* href;
  std::vector<Fields> shell;  // verb, file, parameters, folder, show ({u}, {w}: the disc)
  bool navigates;             // the browser follows the link itself
  const char* error;          // the argument of message 12, or ""
};

class ExtensionTest : public LinkCommandsTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(ExtensionTest, OpensListedExtensionsWithTheShell) {
  const ExtensionCase& c = GetParam();
  writeDiscFile("manual.pdf", "%PDF");
  writeDiscFile("my notes.txt", "notes");
  writeDiscFile("next.html", "<html><body>next</body></html>");
  writeDiscFile("next", "<html><body>next</body></html>");
  runLinks(c.keys, std::string("<a href=\"") + c.href + "\">go</a>", {[] { page()->clickLinkText("go"); }});
  std::vector<Fields> expected;
  for (const Fields& f : c.shell) {
    Fields e;
    for (const auto& s : f) e.push_back(expand(s, w()));
    expected.push_back(e);
  }
  EXPECT_EQ(shellRequests(), expected);
  EXPECT_EQ(navigations().size(), c.navigates ? 2u : 1u);
  std::vector<std::string> messages;
  if (*c.error) messages.push_back(GetMessageText(12, expand(c.error, w())));
  EXPECT_EQ(messageTexts(), messages);
}

INSTANTIATE_TEST_SUITE_P(
    Links, ExtensionTest,
    ::testing::Values(
        // A program named in capitals; it is missing, so the shell's error
        // code is shown.
        ExtensionCase{"ExeInCapitals", "", "SETUP.EXE", {{"open", "{u}SETUP.EXE", "", "{w}", "5"}}, false,
                      "{u}SETUP.EXE (Error-Code 2)"},
        // Both listed extensions go to the shell; a document type that only
        // plays is asked for again with "play".
        ExtensionCase{"PdfInAList",
                      "executeext=pdf,exe\r\n",
                      "manual.pdf",
                      {{"open", "{u}manual.pdf", "", "{w}", "5"}, {"play", "{u}manual.pdf", "", "{w}", "5"}},
                      false,
                      "{u}manual.pdf (Error-Code 31)"},
        ExtensionCase{"ExeInAList", "executeext=pdf,exe\r\n", "tool.exe", {{"open", "{u}tool.exe", "", "{w}", "5"}},
                      false, "{u}tool.exe (Error-Code 2)"},
        // An escaped blank reaches the shell decoded, and the file opens.
        ExtensionCase{"EscapedName", "executeext=TXT\r\n", "my%20notes.txt",
                      {{"open", "{u}my notes.txt", "", "{w}", "5"}}, false, ""},
        ExtensionCase{"NotListed", "", "next.html", {}, true, ""},
        // A stray comma in the list does not make every page a program.
        ExtensionCase{"EmptyItem", "executeext=exe,\r\n", "next", {}, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The close addresses end the run in any case of letters; the print
// addresses print with blank header and footer only with hideheaderfooter.
struct AddressCase {
  const char* name;
  const char* href;
  const char* keys;
  bool closes;
  int prints;
};

class AddressTest : public LinkCommandsTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressTest, CloseAndPrintAddresses) {
  const AddressCase& c = GetParam();
  runLinks(c.keys, std::string("<a href=\"") + c.href + "\">go</a>", {[] { page()->clickLinkText("go"); }});
  EXPECT_EQ(endedByLink(), c.closes) << c.href;
  auto prints = events("print");
  ASSERT_EQ(static_cast<int>(prints.size()), c.prints) << c.href;
  for (const auto& p : prints) EXPECT_EQ(p.fields, (Fields{" ", " "}));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressTest,
    ::testing::Values(AddressCase{"CloseMixedCase", "javascript:Window.Close()", "", true, 0},
                      AddressCase{"AboutClose", "about:close", "", true, 0},
                      AddressCase{"SelfCloseCapitals", "JAVASCRIPT:self.close()", "", true, 0},
                      AddressCase{"Close", "javascript:close()", "", true, 0},
                      AddressCase{"WindowPrint", "javascript:window.print()", "hideheaderfooter=1\r\n", false, 1},
                      AddressCase{"PrintMixedCase", "javascript:Print()", "hideheaderfooter=1\r\n", false, 1},
                      // Without hideheaderfooter the browser prints by itself.
                      AddressCase{"PrintLeftToTheBrowser", "javascript:self.print()", "", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// In web-server mode an address of the server names a file beside the start
// page; it starts there, in its own folder.
TEST_F(LinkCommandsTest, WebServerAddressesMapOntoTheDiscFiles) {
  runLinks("", "", {[] {
             BrowserWindow->StartPage = "pages\\index.html";
             BrowserWindow->WebServerMode = true;
             EXPECT_TRUE(BrowserWindow->ExecuteByExtension("http://127.0.0.1:8080/tools/my%20setup.exe"));
             EXPECT_FALSE(BrowserWindow->ExecuteByExtension("http://127.0.0.1:8080/pages/next.html"));
             BrowserWindow->WebServerMode = false;
             // Outside that mode the address goes to the shell as it stands.
             EXPECT_TRUE(BrowserWindow->ExecuteByExtension("http://127.0.0.1:8080/tools/my%20setup.exe"));
           }});
  auto calls = shellRequests();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (Fields{"open", u("pages/tools/my setup.exe"), "", w("pages\\tools\\"), "5"}));
  EXPECT_EQ(calls[1], (Fields{"open", "http://127.0.0.1:8080/tools/my%20setup.exe", "", "", "5"}));
}

// --- Link targets ---------------------------------------------------------------

struct TargetCase {
  const char* name;
  const char* href;
  const char* target;
  const char* answer;          // the save dialog's answer, or nullptr
  const char* dialogFolder;    // the folder the save dialog starts in, "" for no dialog
  const char* copied;          // the copy's path on C: (host-relative to C:), or ""
  std::vector<Fields> shell;   // {u}, {w}: the disc
  bool newWindow;              // the browser opens a window of its own
  bool ends;                   // the run ends
};

class LinkTargetTest : public LinkCommandsTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(LinkTargetTest, RunsTheLinkCommand) {
  const TargetCase& c = GetParam();
  writeDiscFile("files/data file.txt", "data");
  writeDiscFile("files/100% off.txt", "sale");
  writeFile("C/Out/keep.txt", "");
  if (c.answer) answer("dialog", c.answer);
  runLinks("", std::string("<a href=\"") + c.href + "\" target=\"" + c.target + "\">go</a>",
           {[] { page()->clickLinkText("go"); }});
  std::vector<Fields> expected;
  for (const Fields& f : c.shell) {
    Fields e;
    for (const auto& s : f) e.push_back(expand(s, w()));
    expected.push_back(e);
  }
  EXPECT_EQ(shellRequests(), expected);
  auto dialogs = events("savedialog");
  if (*c.dialogFolder) {
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].fields, (Fields{GetMessageText(19), c.dialogFolder, GetMessageText(20)}));
  } else {
    EXPECT_TRUE(dialogs.empty());
  }
  if (*c.copied) {
    EXPECT_EQ(readFile(hostPath(c.copied)), "data");
  }
  EXPECT_EQ(events("newwindow").size(), c.newWindow ? 1u : 0u);
  EXPECT_EQ(endedByLink(), c.ends);
  EXPECT_TRUE(messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LinkTargetTest,
    ::testing::Values(
        // The user's own browser gets the file, its name decoded once.
        TargetCase{"Browser", "files/100%25%20off.txt", "_browser", nullptr, "", "",
                   {{"open", "{u}files/100% off.txt", "", "{w}files\\", "5"}}, false, false},
        TargetCase{"BrowserAddress", "http://www.example.com/a%20b.html", "_BROWSER", nullptr, "", "",
                   {{"open", "http://www.example.com/a b.html", "", "", "5"}}, false, false},
        // Copies start in the user's documents, or in the folder the target
        // names; the dialog offers the file's own name.
        TargetCase{"CopyFileAlone", "files/data%20file.txt", "copyfile", "ok", kMyDocuments,
                   "C/Documents and Settings/User/My Documents/data file.txt", {}, false, false},
        TargetCase{"CopyFileWithoutFolder", "files/data%20file.txt", "copyfile:", "ok", kMyDocuments,
                   "C/Documents and Settings/User/My Documents/data file.txt", {}, false, false},
        TargetCase{"CopyFileToFolder", "files/data%20file.txt", "CopyFile:C:\\Out", "ok", "C:\\Out",
                   "C/Out/data file.txt", {}, false, false},
        TargetCase{"CopyCancelled", "files/data%20file.txt", "copyfile:C:\\Out", "cancel", "C:\\Out", "", {}, false,
                   false},
        // The copy is then opened where the user sees it.
        TargetCase{"CopyAndExecToFolder", "files/data%20file.txt", "copyandexecfile:C:\\Out", "ok", "C:\\Out",
                   "C/Out/data file.txt", {{"open", "C:\\Out\\data file.txt", "", "", "1"}}, false, false},
        TargetCase{"CopyAndExecAlone", "files/data%20file.txt", "copyandexecfile", "renamed.txt", kMyDocuments,
                   "C/Documents and Settings/User/My Documents/renamed.txt",
                   {{"open", std::string(kMyDocuments) + "\\renamed.txt", "", "", "1"}}, false, false},
        TargetCase{"CopyAndExecCancelled", "files/data%20file.txt", "copyandexecfile", "cancel", kMyDocuments, "",
                   {}, false, false},
        TargetCase{"OpenAndClose", "files/data%20file.txt", "openandclose", nullptr, "", "",
                   {{"open", "{u}files/data file.txt", "", "", "1"}}, false, true},
        // Single quotes of the parameters become double quotes; the program
        // starts in its own folder.
        TargetCase{"Params", "files/data%20file.txt", "Params:-title 'My Disc' -x", nullptr, "", "",
                   {{"open", "{u}files/data file.txt", "-title \"My Disc\" -x", "{w}files\\", "1"}}, false, false},
        TargetCase{"ParamsEmpty", "files/data%20file.txt", "params:", nullptr, "", "",
                   {{"open", "{u}files/data file.txt", "", "{w}files\\", "1"}}, false, false},
        // Any other target is a window of its own: the runtime's popup
        // (PopupTest), or with internalpopups off the browser's.
        TargetCase{"OtherTarget", "files/data%20file.txt", "extra", nullptr, "", "", {}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// An address with an escape that cannot be decoded is no command: the
// browser is left to it, without an error box and without ending the run.
// (The browser writes file addresses canonically; a server's address comes
// as the page has it.)
TEST_F(LinkCommandsTest, AnUndecodableAddressIsLeftToTheBrowser) {
  runLinks("internalpopups=0\r\n", "<a href=\"http://127.0.0.1:1/setup%4.exe\">plain</a>"
               "<a href=\"http://127.0.0.1:1/setup%4.exe\" target=\"copyfile\">copy</a>",
           {[] {
              BrowserWindow->WebServerMode = true;
              page()->clickLinkText("copy");
            },
            [] { page()->clickLinkText("plain"); }});
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_TRUE(shellCalls().empty());
  EXPECT_TRUE(events("savedialog").empty());
  EXPECT_EQ(events("newwindow").size(), 1u);
  EXPECT_FALSE(endedByLink());
}

// A failing copy is reported by the shell and not opened.
TEST_F(LinkCommandsTest, AFailedCopyIsNotOpened) {
  answer("dialog", "ok");
  runLinks("", "<a href=\"files/missing.txt\" target=\"copyandexecfile\">go</a>",
           {[] { page()->clickLinkText("go"); }});
  auto reported = events("shellerror");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].fields[0], "copy");
  EXPECT_TRUE(shellCalls().empty());
}

// A link with a target inside a frame is found through the frame set.
TEST_F(LinkCommandsTest, TargetsOfLinksInFramesAreFound) {
  writeDiscFile("files/data file.txt", "data");
  writePage("menu.html", "Menu", "<a href=\"files/data%20file.txt\" target=\"params:-q\">go</a>");
  writeSettings("startpage=index.html\r\nhidesplashscreen=1\r\n");
  writeDiscFile("index.html",
                "<html><frameset cols=\"50%,50%\"><frame name=\"menu\" src=\"menu.html\">"
                "<frame name=\"main\" src=\"menu.html\"></frameset></html>");
  at(1000, [] {
    auto doc = page()->document();
    ASSERT_EQ(doc->frames().size(), 2u);
    page()->clickLink(doc->frames()[1].document->findLink("go"));
  });
  at(2000, [this] { closeMainWindow(); });
  launch();
  auto calls = shellRequests();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (Fields{"open", u("files/data file.txt"), "-q", w("files\\"), "1"}));
  EXPECT_TRUE(events("newwindow").empty());
}

}  // namespace
