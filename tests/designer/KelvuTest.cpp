// The news-service client's usage record in the registry, the news query,
// the update request's scrambling and the user's own web browser.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "DesktopTest.h"
#include "designer/DesignerStrings.h"
#include "designer/KelvuSystem.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Registry.h"
#include "platform/desktop/Clock.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Paths.h"

namespace {

using qv::desktop::Clock;

constexpr const char* kKey = "\\Software\\Halvesta\\Quorvel\\4.0\\";
// The wall clock's second at virtual time 0.
constexpr std::int64_t kStart = Clock::kVirtualEpochMs / 1000;

class KelvuTest : public qvtest::DesktopTest {
 protected:
  static std::string storedRecord() {
    TRegistry registry(KEY_READ);
    if (!registry.OpenKeyReadOnly(kKey)) return "<no key>";
    return registry.ValueExists("KelvuDC") ? registry.ReadString("KelvuDC") : "<no value>";
  }
  static void storeRecord(const std::string& text) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    registry.WriteString("KelvuDC", text);
  }
  static TKelvuSystem client() { return TKelvuSystem("QVD4", kKey, "de", "4.0.1"); }
};

// The first session starts the record with its own length and start; the
// second folds its length into the mean, on the record stored meanwhile.
TEST_F(KelvuTest, UsageRecordAcrossTwoSessions) {
  {
    TKelvuSystem first = client();
    EXPECT_EQ(storedRecord(), "<no value>");  // nothing is written before the end
    Clock::advance(90 * 1000);
    first.EndSession();
  }
  EXPECT_EQ(storedRecord(), "11290" + std::to_string(kStart));
  Clock::advance(10 * 1000);
  {
    TKelvuSystem second = client();
    EXPECT_EQ(second.SessionCount(), 1);
    EXPECT_EQ(second.MeanSessionLength(), 90);
    EXPECT_EQ(second.FirstUse(), kStart);
    Clock::advance(30 * 1000);
    second.EndSession();
  }
  EXPECT_EQ(storedRecord(), "12260" + std::to_string(kStart));
}

TEST_F(KelvuTest, StoredRecordsAreReadOrResetWhenDamaged) {
  struct Case {
    const char* text;
    int count, mean;
    std::int64_t first;  // -1: reset to now
  };
  const Case cases[] = {
      {"15312012", 5, 120, 12},
      {"2122-4100", 12, -4, 100},  // a mean below 0 after the clock went back
      {"x5312012", 0, 0, -1},
      {"1531201a", 0, 0, -1},
      {"", 0, 0, -1},
      {"9123", 0, 0, -1},           // shorter than its digit counts say
      {"15312", 0, 0, -1},          // no first use
      {"-5312012", 0, 0, -1},
  };
  Clock::advance(5000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    storeRecord(c.text);
    TKelvuSystem k = client();
    EXPECT_EQ(k.SessionCount(), c.count);
    EXPECT_EQ(k.MeanSessionLength(), c.mean);
    EXPECT_EQ(k.FirstUse(), c.first < 0 ? kStart + 5 : c.first);
  }
}

TEST_F(KelvuTest, NewsQueryCarriesEveryParameter) {
  storeRecord("15312012");
  TKelvuSystem k = client();
  EXPECT_EQ(k.BuildServiceUrl("news"), std::string(TKelvuSystem::kNewsAddress) +
                                           "?productid=QVD4&version=4.0.1&lang=de&contentid=news&cs=15312012"
                                           "&errorflag=");
}

// The update page reads the request back with the same table.
TEST(UpdateRequest, IsScrambledAndPercentEncoded) {
  struct Case {
    const char* text;
    const char* encoded;
  };
  const Case cases[] = {
      {"QVD4+4.0.1+", "jcr)@)~!~$@"},
      {"QVD4++", "jcr)@@"},  // a designer file without a version
      {"5", "%2A"},          // mapped onto "*", which the encoder escapes
      {"a b", "^^^"},        // anything outside the table maps onto one character
      {"ZZ9", "mm="},
  };
  for (const Case& c : cases) EXPECT_EQ(TQVDesigner::EncodeUpdateRequest(c.text), c.encoded) << c.text;
  // One to one, so that the page can read every request back.
  std::set<char> targets;
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.")) {
    char mapped = TQVDesigner::MapRequestChar(c);
    EXPECT_NE(mapped, c);
    EXPECT_GT(mapped, ' ');
    targets.insert(mapped);
  }
  EXPECT_EQ(targets.size(), 39u);
}

class ExternalBrowserTest : public qvtest::DesignerTest {
 protected:
  static void registerBrowser(const std::string& command) {
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(registry.OpenKey("\\http\\shell\\open\\command", true));
    registry.WriteString("", command);
  }
  std::string stub() const { return qv::os::toWindowsPath(hostPath("prog")) + "\\browser.exe"; }
};

TEST_F(ExternalBrowserTest, TheRegisteredCommandGetsTheAddress) {
  installProgram("browser.exe");
  std::vector<std::string> commands;
  step([&](TQVDesigner* d) {
    registerBrowser("\"" + stub() + "\" -url \"%1\" -new");
    d->OpenInExternalBrowser("http://a.example/x?y=1");
    registerBrowser("\"" + stub() + "\"");
    d->OpenInExternalBrowser("http://a.example/x?y=1");
  });
  launch();
  std::vector<std::string> execs;
  for (const auto& e : events("exec")) execs.push_back(e.fields[0]);
  EXPECT_EQ(execs, (std::vector<std::string>{"\"" + stub() + "\" -url \"http://a.example/x?y=1\" -new",
                                             "\"" + stub() + "\" \"http://a.example/x?y=1\""}));
  EXPECT_TRUE(events("shell").empty());
  EXPECT_TRUE(dialogTexts().empty());
}

TEST_F(ExternalBrowserTest, WithoutARegisteredBrowserTheShellOpensTheAddress) {
  step([&](TQVDesigner* d) { d->OpenInExternalBrowser("http://a.example/"); });
  launch();
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[0], "open");
  EXPECT_EQ(shell[0].fields[1], "http://a.example/");
  EXPECT_EQ(shell[0].fields[4], "5");
}

TEST_F(ExternalBrowserTest, ABrowserThatCannotStartIsReported) {
  step([&](TQVDesigner* d) {
    registerBrowser("\"" + stub() + "\" \"%1\"");
    d->OpenInExternalBrowser("http://a.example/");
  });
  launch();
  const auto boxes = events("msgdlg");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].fields[1], qv::os::ansi(u8"Fehler Nr. 2 beim Aufruf von \"http://a.example/\" über den externen Browser."));
  EXPECT_EQ(boxes[0].fields[2], "mtError");
  EXPECT_EQ(boxes[0].fields[3], "Cancel");
}

// The update check sends the product and the designer's own version.
TEST_F(ExternalBrowserTest, UpdateCheckOpensTheUpdatePageWithTheScrambledRequest) {
  step([&](TQVDesigner* d) { d->CheckForUpdates(); });
  launch();
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[1], DesignerStr(sUpdatePage) + "?request=" + TQVDesigner::EncodeUpdateRequest("QVD4+4.0.1+"));
}

// The maker's logo opens the maker's page, the product logo the picture
// dialog, which a click on its picture closes.
TEST_F(ExternalBrowserTest, HalvestaLogoOpensTheMakersPage) {
  step([&](TQVDesigner* d) { d->HalvestaLogo->OnClick(d->HalvestaLogo); });
  launch();
  const auto shell = events("shell");
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].fields[1], DesignerStr(sMakerPage));
}

}  // namespace
