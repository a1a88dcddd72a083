// The runtime's start-up: which settings file the command line chooses, the
// web-server mode, the browser version rule, and every start-up failure with
// its message and the program's end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "RuntimeFixture.h"
#include "platform/browser/WebBrowser.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Window.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Locale.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

namespace {

using qv::os::ansi;

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class StartupTest : public qvtest::RuntimeTest {
 protected:
  // Closes the main window once the start page has had time to load.
  void closeSoon() {
    at(1000, [this] { closeMainWindow(); });
  }
};

// --- command line -----------------------------------------------------------
struct CommandLineCase {
  const char* name;
  // "{far}" stands for the platform path of a settings file outside the
  // runtime's folder.
  const char* arguments;
  const char* page;
};

class CommandLineTest : public StartupTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineTest, OnlyExactlyOneArgumentNamesTheSettingsFile) {
  writeSettings("startpage=beside.html\r\nhidesplashscreen=1\r\n");
  writePage("beside.html");
  writeSettings("startpage=other.html\r\nhidesplashscreen=1\r\n", "", "other.inf");
  writePage("other.html");
  writeFile("far/far.inf", "[quorvel]\r\nstartpage=far.html\r\nhidesplashscreen=1\r\n");
  writeFile("far/far.html", "<html><head><title>Far</title></head><body></body></html>");
  std::string arguments = GetParam().arguments;
  std::string far = qv::os::toWindowsPath(hostPath("far/far.inf"));
  if (auto at = arguments.find("{far}"); at != std::string::npos) arguments.replace(at, 5, far);

  closeSoon();
  launch(arguments);

  EXPECT_EQ(messageTexts(), std::vector<std::string>{});
  ASSERT_EQ(navigations().size(), 1u);
  EXPECT_TRUE(endsWith(navigations()[0], GetParam().page)) << navigations()[0];
  EXPECT_FALSE(timedOut());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(CommandLineCase{"None", "", "/beside.html"},
                      CommandLineCase{"OneFileBesideTheRuntime", "other.inf", "/other.html"},
                      CommandLineCase{"OneFileElsewhere", "\"{far}\"", "/far/far.html"},
                      CommandLineCase{"TwoArguments", "other.inf \"{far}\"", "/beside.html"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a file of that name anywhere, the argument itself is the path,
// and message 4 names it as given.
TEST_F(StartupTest, AnArgumentNamingNoFileIsReportedAsGiven) {
  writeDisc();
  launch("nowhere.inf");
  EXPECT_EQ(messageTexts(),
            std::vector<std::string>{"Die Konfigurations-Datei \"nowhere.inf\" kann nicht gefunden werden."});
  EXPECT_TRUE(navigations().empty());
}

TEST_F(StartupTest, AnHttpAddressStartsTheWebServerModeAndForcesTheWindowToTheForeground) {
  qvtest::LoopbackServer server;
  server.serve("/menu/start.html", {200, "Content-Type: text/html\r\n",
                                    "<html><head><title>Served</title></head><body>served</body></html>"});
  // Another program holds the foreground, as when a web page starts the run.
  setProfileValue("foreground.other", "1");
  writeDisc("hidesplashscreen=1\r\n");
  bool webServerMode = false;
  std::string address;
  bool foreground = false;
  at(1000, [&] {
    webServerMode = BrowserWindow->WebServerMode;
    address = BrowserWindow->StartAddress;
    foreground = GetForegroundWindow() == BrowserWindow->Handle();
    closeMainWindow();
  });
  launch(server.url("/menu/start.html"));

  EXPECT_TRUE(webServerMode);
  EXPECT_EQ(address, server.url("/menu/start.html"));
  EXPECT_EQ(navigations(), std::vector<std::string>{server.url("/menu/start.html")});
  EXPECT_TRUE(foreground);
  EXPECT_EQ(messageTexts(), std::vector<std::string>{});
}

TEST_F(StartupTest, WithoutTheWebServerModeTheForegroundIsNotForced) {
  setProfileValue("foreground.other", "1");
  writeDisc("hidesplashscreen=1\r\n");
  bool foreground = true;
  at(1000, [&] {
    foreground = GetForegroundWindow() == BrowserWindow->Handle();
    closeMainWindow();
  });
  launch();
  EXPECT_FALSE(foreground);
}

// --- browser version ---------------------------------------------------------
struct VersionCase {
  const char* version;
  bool usable;
};

class BrowserVersionTest : public StartupTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(BrowserVersionTest, From472OnTheBrowserShowsThePagesElseTheShellDoes) {
  qv::desktop::profile().browserVersion = GetParam().version;
  qv::browser::registerBrowserModule();
  writeDisc("hidesplashscreen=1\r\n");
  closeSoon();
  launch();

  if (GetParam().usable) {
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    EXPECT_EQ(navigations().size(), 1u);
    EXPECT_TRUE(shellCalls().empty());
  } else {
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{ansi(u8"Der Internet-Explorer (ab Version 4.0) ist nicht korrekt installiert.\r"
                                            u8"Es wird jetzt der Standard-Browser zur Anzeige verwendet.")});
    EXPECT_TRUE(navigations().empty());
    ASSERT_EQ(shellCalls().size(), 1u);
    EXPECT_EQ(shellCalls()[0][0], "open");
    EXPECT_EQ(shellCalls()[0][1], discWindowsPath("index.html"));
    EXPECT_EQ(shellCalls()[0][4], "5");  // SW_SHOW
    EXPECT_FALSE(timedOut());
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, BrowserVersionTest,
                         ::testing::Values(VersionCase{"4.71.1712.6", false}, VersionCase{"4.72.3110.0", true},
                                           VersionCase{"4.73.0000.0", false}, VersionCase{"5.00.2920.0", true},
                                           VersionCase{"6.00.2900.2180", true}, VersionCase{"", false},
                                           VersionCase{"x.yz", false}),
                         [](const auto& info) {
                           std::string n = info.param.version;
                           for (char& c : n)
                             if (c == '.') c = '_';
                           return n.empty() ? std::string("Empty") : ((n[0] == 'x' ? "Odd" : "V") + n);
                         });

// --- start-up failures ------------------------------------------------------
struct FailureCase {
  const char* name;
  const char* settings;  // null: no settings file
  const char* arguments;
  // The message, with "{dir}" for the disc folder in the platform's form.
  const char* message;
};

class StartupFailureTest : public StartupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, ShowsItsMessageAndEndsWithoutShowingAPage) {
  const FailureCase& c = GetParam();
  if (c.settings != nullptr) writeDiscFile("autorun.inf", c.settings);
  writePage("index.html");
  writeDiscFile("splash.bmp", "this is no bitmap");
  std::string arguments = c.arguments;
  if (arguments == "{http}") arguments = "http://127.0.0.1:" + std::to_string(qvtest::closedLoopbackPort()) + "/";
  launch(arguments);

  std::string expected = ansi(reinterpret_cast<const char8_t*>(c.message));
  if (auto at = expected.find("{dir}"); at != std::string::npos) expected.replace(at, 5, discWindowsPath());
  EXPECT_EQ(messageTexts(), std::vector<std::string>{expected});
  EXPECT_TRUE(navigations().empty());
  EXPECT_FALSE(timedOut());
  EXPECT_EQ(BrowserWindow, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupFailureTest,
    ::testing::Values(
        FailureCase{"NoSettingsFile", nullptr, "",
                    "Die Konfigurations-Datei \"{dir}autorun.inf\" kann nicht gefunden werden."},
        FailureCase{"NoQuorvelSection", "[autorun]\r\nopen=qvlaunch.exe\r\n", "",
                    "Es ist keine Startseite (Attribut \"startpage\") angegeben oder die Startseite \"{dir}\" kann "
                    "nicht gefunden werden."},
        FailureCase{"StartPageMissing", "[quorvel]\r\nstartpage=gone.html\r\n", "",
                    "Es ist keine Startseite (Attribut \"startpage\") angegeben oder die Startseite \"{dir}gone.html\" "
                    "kann nicht gefunden werden."},
        FailureCase{"StartPageMissingInWebServerMode", "[quorvel]\r\nstartpage=gone.html\r\n", "{http}",
                    "Quorvel ist f\xC3\xBCr den Einsatz mit einem Webserver nicht korrekt konfiguriert."},
        FailureCase{"SplashPictureNoBitmap", "[quorvel]\r\nstartpage=index.html\r\nsplashscreenimg=splash.bmp\r\n", "",
                    "Quorvel kann nicht gestartet werden. Ursache: Splash image file not found."},
        FailureCase{"WindowWidthNoNumber", "[quorvel]\r\nstartpage=index.html\r\nwindowwidth=wide\r\n", "",
                    "Quorvel kann nicht gestartet werden. Ursache: windowwidth \"wide\" is not a whole number."},
        FailureCase{"WindowHeightNoNumberInPercent",
                    "[quorvel]\r\nstartpage=index.html\r\nwindowheight=5%0\r\nwindowwidth=50%\r\n", "",
                    "Quorvel kann nicht gestartet werden. Ursache: windowheight \"5%\" is not a whole number."},
        FailureCase{"SkinSizeMalformed", "[quorvel]\r\nstartpage=index.html\r\nskin=skin.bmp\r\nskinposition=1,2\r\n",
                    "",
                    "Der Internet-Explorer (ab Version 4.0) ist nicht korrekt installiert.\rEs wird jetzt der "
                    "Standard-Browser zur Anzeige verwendet."}),
    [](const auto& info) { return std::string(info.param.name); });

// A language file that is too short fails while the main window is made:
// the exception handler already works then, and the start-up's remaining
// steps (here the missing settings file's message 4) do not run.
TEST_F(StartupTest, AShortLanguageFileEndsTheRunWithMessage18Only) {
  writeDiscFile("qvlaunch_DE.lib", "a=1\r\nb=2\r\nc=3\r\n");
  launch();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Ein unerwarteter Fehler ist aufgereten!\r"
                                                     "Debug Information: \"List index out of bounds (3)\""});
  EXPECT_FALSE(timedOut());
}

// A user locale the platform has no country for fails in the same place:
// message 18 with the OS error, and the start-up's remaining steps (the
// missing settings file's message 4) do not run.
TEST_F(StartupTest, AFailingLocaleQueryEndsTheRunWithMessage18Only) {
  qv::desktop::profile().lcid = 0x0436;  // a locale the platform knows nothing of
  launch();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Ein unerwarteter Fehler ist aufgereten!\r"
                                                     "Debug Information: \"System Error.  Code: 87.\r\n"
                                                     "The parameter is incorrect.\""});
  EXPECT_FALSE(timedOut());
}

// An old browser hands the start page to the shell; when the shell cannot
// open it either, message 15 names it.
TEST_F(StartupTest, AnOldBrowserWhoseShellCannotOpenTheStartPageAddsMessage15) {
  qv::desktop::profile().browserVersion = "4.71.1712.6";
  qv::browser::registerBrowserModule();
  writeSettings("startpage=gone.html\r\n");
  launch();
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{GetMessageText(6), GetMessageText(15, discWindowsPath("gone.html"))}));
  ASSERT_EQ(shellCalls().size(), 1u);
  EXPECT_LE(std::stoi(shellCalls()[0][5]), 32);
  EXPECT_TRUE(navigations().empty());
  EXPECT_FALSE(timedOut());
}

TEST_F(StartupTest, ALanguageFileOfTheUsersCountryReplacesTheTexts) {
  std::string lines;
  for (int n = 1; n <= 19; ++n) lines += "key" + std::to_string(n) + "=Text " + std::to_string(n) + "\r\n";
  qv::desktop::profile().country = "AT";
  writeDiscFile("qvlaunch_AT.lib", lines);
  launch();
  // Line 1 is the caption, line 2 message 2 ... message 4 is not replaced.
  ASSERT_EQ(events("msgbox").size(), 1u);
  EXPECT_EQ(events("msgbox")[0].fields[0], "Text 1");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Die Konfigurations-Datei \"" + discWindowsPath("autorun.inf") +
                                                     "\" kann nicht gefunden werden."});
}

TEST_F(StartupTest, TheUsersLanguagePicksGermanOrEnglish) {
  for (LANGID lang : {LANGID(2055), LANGID(1033), LANGID(1036)}) {
    qv::desktop::Recorder::clearEvents();
    qv::desktop::profile().langId = lang;
    launch();
    ASSERT_EQ(events("msgbox").size(), 1u) << lang;
    EXPECT_EQ(events("msgbox")[0].fields[0], lang == 2055 ? "Fehler" : "Error") << lang;
  }
}

// The main window's show handler creates the browser once, however often
// the window is shown.
TEST_F(StartupTest, ShowingTheWindowAgainDoesNotRepeatTheStart) {
  writeDisc("hidesplashscreen=1\r\n");
  TWebHost* first = nullptr;
  TWebHost* second = nullptr;
  at(1000, [&] {
    first = BrowserWindow->WebBrowser;
    BrowserWindow->Hide();
    BrowserWindow->Show();
  });
  at(2000, [&] {
    second = BrowserWindow->WebBrowser;
    closeMainWindow();
  });
  launch();
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(navigations().size(), 1u);
}

// The helpers of the start-up.
TEST(StartupHelpers, SeparatorToLinesKeepsEmptyItemsAndIgnoresCase) {
  EXPECT_EQ(SeparatorToLines("exit,,print", ","), "exit\r\n\r\nprint");
  EXPECT_EQ(SeparatorToLines("aXbxc", "x"), "a\r\nb\r\nc");
  EXPECT_EQ(SeparatorToLines("", ","), "");
}

TEST_F(StartupTest, ALocaleTextThePlatformLacksRaisesTheOsError) {
  EXPECT_EQ(GetCountryCode(LOCALE_USER_DEFAULT), "DE");
  EXPECT_THROW(GetLocaleText(LOCALE_USER_DEFAULT, 0xFFFF), EOSError);
}

}  // namespace
