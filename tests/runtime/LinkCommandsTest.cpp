// Links that drive the runtime: executable extensions opened with the shell,
// the link targets (copy, copy and run, open and close, parameters, the
// user's browser), the close and print addresses, and the address decoding
// they share. The links are clicked in real pages, so the browser raises its
// before-navigate and new-window events as it would for a person.
#include <gtest/gtest.h>

#include <cctype>
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

// "+" is a blank only in a query string; in a path it is part of the name.
TEST(UrlRoutines, UrlDecodeDecodesEscapesAndTheQuerysBlanks) {
  EXPECT_EQ(UrlDecode("My%20Setup+Disc%2525.exe"), "My Setup+Disc%25.exe");
  EXPECT_EQ(UrlDecode("Notepad++.exe"), "Notepad++.exe");
  EXPECT_EQ(UrlDecode("find.html?term=red+apple&x=a%2Bb"), "find.html?term=red apple&x=a+b");
  // An escaped "?" is a letter of the path, no start of a query.
  EXPECT_EQ(UrlDecode("what%3F+now?a+b"), "what?+now?a b");
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
        ExtensionCase{"EmptyItem", "executeext=exe,\r\n", "next", {}, true, ""},
        // "+" is part of a file's name.
        ExtensionCase{"PlusInTheName", "", "Notepad++.exe", {{"open", "{u}Notepad++.exe", "", "{w}", "5"}}, false,
                      "{u}Notepad++.exe (Error-Code 2)"},
        // A zero would make the shell start "notes.txt" while the test saw
        // an "exe": the link names no file, and nothing starts.
        ExtensionCase{"ZeroInTheName", "", "notes.txt%00.exe", {}, false, "file:///{u}notes.txt%00.exe"},
        ExtensionCase{"ZeroBeforeAPage", "", "next.html%00.exe", {}, false, "file:///{u}next.html%00.exe"}),
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
        TargetCase{"ParamsPlusInTheName", "tools/Notepad++.exe", "params:'readme.txt'", nullptr, "", "",
                   {{"open", "{u}tools/Notepad++.exe", "\"readme.txt\"", "{w}tools\\", "1"}}, false, false},
        TargetCase{"BrowserPlusInTheName", "files/a+b.txt", "_browser", nullptr, "", "",
                   {{"open", "{u}files/a+b.txt", "", "{w}files\\", "5"}}, false, false},
        // Any other target is a window of its own: the runtime's popup
        // (PopupTest), or with internalpopups off the browser's.
        TargetCase{"OtherTarget", "files/data%20file.txt", "extra", nullptr, "", "", {}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A command link whose decoded name holds a zero names no file: no command
// runs, no dialog opens, and the link is reported as one that cannot be
// started.
class ZeroInTheNameTest : public LinkCommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ZeroInTheNameTest, NoCommandRuns) {
  writeDiscFile("notes.txt", "notes");
  answer("dialog", "ok");
  runLinks("", std::string("<a href=\"notes.txt%00.exe\" target=\"") + GetParam() + "\">go</a>",
           {[] { page()->clickLinkText("go"); }});
  EXPECT_TRUE(shellCalls().empty());
  EXPECT_TRUE(events("savedialog").empty());
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(12, "file:///" + u("notes.txt%00.exe"))});
  EXPECT_FALSE(endedByLink());
}

INSTANTIATE_TEST_SUITE_P(Targets, ZeroInTheNameTest,
                         ::testing::Values("_browser", "copyfile", "copyandexecfile:C:\\Out", "openandclose",
                                           "params:-x"),
                         [](const auto& info) {
                           std::string name;
                           for (char c : std::string(info.param))
                             if (std::isalpha(static_cast<unsigned char>(c))) name += c;
                           return name;
                         });

// The web-server mapping stays on the disc: a step up in any spelling, once
// decoded, names no file of it; the program starts in its own folder.
TEST_F(LinkCommandsTest, WebServerAddressesNeverLeaveTheDisc) {
  struct Case {
    const char* startPage;
    const char* path;     // after "http://127.0.0.1:8080/"
    const char* started;  // the disc file, or nullptr when refused
    int code;             // the shell's answer: the file or its folder is not there
  } cases[] = {
      {"pages\\index.html", "tools/setup.exe", "pages/tools/setup.exe", 3},
      {"pages\\index.html", "./tools/./setup.exe", "pages/./tools/./setup.exe", 3},
      {"pages\\index.html", "../setup.exe", nullptr, 0},
      {"pages\\index.html", "%2e%2e/%2e%2e/setup.exe", nullptr, 0},
      {"pages\\index.html", "tools/..%2f..%2fsetup.exe", nullptr, 0},
      {"pages\\index.html", "%2E%2E%5C%2E%2E%5Csetup.exe", nullptr, 0},
      {"pages\\index.html", "tools/%2e%2E%2fsetup.exe", nullptr, 0},
      {"pages\\index.html", ".../setup.exe", nullptr, 0},
      {"pages\\index.html", "..%20/setup.exe", nullptr, 0},
      {"pages\\index.html", "C:%5CWINDOWS%5Cnotepad.exe", nullptr, 0},
      {"pages\\index.html", "setup.exe%00.txt.exe", nullptr, 0},
      // The start page's folder is no way out either.
      {"..\\index.html", "setup.exe", nullptr, 0},
      {"pages\\..\\index.html", "setup.exe", "pages/../setup.exe", 2},
  };
  runLinks("", "", {[&] {
             BrowserWindow->WebServerMode = true;
             for (const Case& c : cases) {
               BrowserWindow->StartPage = c.startPage;
               EXPECT_TRUE(BrowserWindow->ExecuteByExtension(std::string("http://127.0.0.1:8080/") + c.path))
                   << c.path;
             }
           }});
  std::vector<Fields> expected;
  std::vector<std::string> messages;
  for (const Case& c : cases) {
    if (c.started) {
      std::string folder = ExtractFilePath(ExpandFileName(w(c.started)));
      expected.push_back(Fields{"open", u(c.started), "", folder, "5"});
      messages.push_back(GetMessageText(12, u(c.started) + " (Error-Code " + std::to_string(c.code) + ")"));
    } else {
      messages.push_back(GetMessageText(12, std::string("http://127.0.0.1:8080/") + c.path));
    }
  }
  EXPECT_EQ(shellRequests(), expected);
  EXPECT_EQ(messageTexts(), messages);
}

// "No" to the shell's replace question keeps the file that was there: that
// is no copy, and copyandexecfile runs nothing, as after a cancel.
struct ReplaceCase {
  const char* name;
  const char* answer;
  const char* kept;  // the target's bytes afterwards
  bool opened;
};

class ReplaceTest : public LinkCommandsTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceTest, OnlyACopyIsOpened) {
  const ReplaceCase& c = GetParam();
  writeDiscFile("files/tool.txt", "new tool");
  writeFile("C/Out/tool.txt", "old");
  answer("dialog", "ok");
  answer("shellconfirm", c.answer);
  runLinks("", "<a href=\"files/tool.txt\" target=\"copyandexecfile:C:\\Out\">go</a>",
           {[] { page()->clickLinkText("go"); }});
  auto asked = events("shellconfirm");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].fields, (Fields{"replace", "C:\\Out\\tool.txt", c.answer}));
  EXPECT_EQ(readFile(hostPath("C/Out/tool.txt")), c.kept);
  const std::vector<Fields> opened = {{"open", "C:\\Out\\tool.txt", "", "", "1"}};
  EXPECT_EQ(shellRequests(), c.opened ? opened : std::vector<Fields>{});
  EXPECT_TRUE(messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, ReplaceTest,
                         ::testing::Values(ReplaceCase{"Yes", "yes", "new tool", true},
                                           ReplaceCase{"No", "no", "old", false},
                                           ReplaceCase{"Cancel", "cancel", "old", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A print address that fails to print tells so and the menu goes on: the
// next print works.
TEST_F(LinkCommandsTest, AFailedPrintAddressIsReportedAndTheRunGoesOn) {
  answer("print", "fail");
  runLinks("hideheaderfooter=1\r\n", "<a href=\"javascript:window.print()\">print</a>",
           {[] { page()->clickLinkText("print"); }, [] { page()->clickLinkText("print"); }});
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(11)});
  EXPECT_EQ(events("print").size(), 1u);
  EXPECT_FALSE(endedByLink());
}

// A command runs once for the click that asked for it: a later window.open
// of the page finds no active command link and gets its window, while a
// second click on the link runs the command again.
struct OnceCase {
  const char* name;
  const char* link;
  const char* event;  // what the command did
};

class OncePerClickTest : public LinkCommandsTest, public ::testing::WithParamInterface<OnceCase> {};

TEST_P(OncePerClickTest, ACommandRunsOncePerClick) {
  const OnceCase& c = GetParam();
  writeDiscFile("files/data.txt", "data");
  writePage("popup.html", "Popup");
  answer("dialog", "cancel");
  answer("dialog", "cancel");
  std::size_t afterOpen = 9;
  runLinks("internalpopups=0\r\n", c.link,
           {[] { page()->clickLinkText("go"); },
            [&] {
              page()->windowOpen("popup.html", "_blank", "");
              afterOpen = events(c.event).size();
            },
            [] { page()->clickLinkText("go"); }});
  EXPECT_EQ(afterOpen, 1u);
  EXPECT_EQ(events(c.event).size(), 2u);
  // The script's window is the browser's own (internalpopups is off).
  EXPECT_EQ(events("newwindow").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Links, OncePerClickTest,
    ::testing::Values(OnceCase{"CopyFile", "<a href=\"files/data.txt\" target=\"copyfile\">go</a>", "savedialog"},
                      OnceCase{"Params", "<a href=\"files/data.txt\" target=\"params:-x\">go</a>", "shell"},
                      OnceCase{"Program", "<a href=\"setup.exe\">go</a>", "shell"}),
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
