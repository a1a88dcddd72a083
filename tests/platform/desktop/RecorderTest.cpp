#include <unistd.h>

#include <filesystem>
#include <map>

#include "DesktopTest.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"

using namespace qv::desktop;

class RecorderTest : public qvtest::DesktopTest {};

TEST_F(RecorderTest, EventsGoToTheLogOneLineEachWithFieldsEscaped) {
  std::string log = hostPath("run.log");
  setenv("QV_LOG", log.c_str(), 1);
  Recorder::reopenLog();
  Recorder::record("msgbox", {"Quorvel", "line one\nline two", "16", "1"});
  Recorder::record("exit", {});
  unsetenv("QV_LOG");
  Recorder::reopenLog();
  EXPECT_EQ(readFile(log), "msgbox\tQuorvel\tline one\\nline two\t16\t1\nexit\n");
  ASSERT_EQ(Recorder::eventsOf("msgbox").size(), 1u);
}

TEST_F(RecorderTest, AnswersComeBackInOrderPerKind) {
  Recorder::pushAnswer("msgbox", "Yes");
  Recorder::pushAnswer("msgbox", "No");
  Recorder::pushAnswer("dialog", "C:\\a.txt");
  EXPECT_EQ(Recorder::popAnswer("msgbox"), "Yes");
  EXPECT_EQ(Recorder::popAnswer("dialog"), "C:\\a.txt");
  EXPECT_EQ(Recorder::popAnswer("msgbox"), "No");
  EXPECT_EQ(Recorder::popAnswer("msgbox"), std::nullopt);
}

// What a started process finds of the driver in its environment: never the
// script it inherited, only the one queued for it, and without one the
// mark to end with a steered parent. A queued script serves one started
// process; a start that failed leaves it for the next.
TEST_F(RecorderTest, AChildGetsOnlyTheScriptQueuedForIt) {
  struct Case {
    bool parentSteered;
    const char* queued;
    const char* driver;  // the child's QV_DRIVER, or none
    bool endsWithParent;
  } cases[] = {
      {false, nullptr, nullptr, false},
      {true, nullptr, nullptr, true},
      {true, "/s/child.txt", "/s/child.txt", false},
      {false, "/s/child.txt", "/s/child.txt", false},
  };
  auto childEnvironment = [] {
    std::vector<std::string> env = {"PATH=/bin", "QV_DRIVER=/s/inherited.txt", "QV_ENDS_WITH_PARENT=1",
                                    "QV_PARENT=1"};
    prepareChildEnvironment(env);
    std::map<std::string, std::string> vars;
    for (const auto& e : env) EXPECT_TRUE(vars.emplace(e.substr(0, e.find('=')), e.substr(e.find('=') + 1)).second) << e;
    return vars;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.parentSteered ? "steered" : "unsteered") + (c.queued ? " with a queued script" : ""));
    if (c.parentSteered)
      setenv("QV_DRIVER", "/s/parent.txt", 1);
    else
      unsetenv("QV_DRIVER");
    Recorder::clearAnswers();
    if (c.queued) Recorder::pushAnswer("child", c.queued);
    for (int start = 0; start < 2; ++start) {  // the first start fails
      auto vars = childEnvironment();
      EXPECT_EQ(vars["PATH"], "/bin");
      EXPECT_EQ(vars["QV_PARENT"], std::to_string(getpid()));
      EXPECT_EQ(vars.count("QV_DRIVER") ? vars["QV_DRIVER"] : "(none)", std::string(c.driver ? c.driver : "(none)"));
      EXPECT_EQ(vars.count("QV_ENDS_WITH_PARENT") == 1, c.endsWithParent);
    }
    childStarted();
    auto next = childEnvironment();
    EXPECT_EQ(next.count("QV_DRIVER"), 0u);
    EXPECT_EQ(next.count("QV_ENDS_WITH_PARENT") == 1, c.parentSteered);
  }
  unsetenv("QV_DRIVER");
}

TEST_F(RecorderTest, VirtualClockMovesOnlyWhenAdvanced) {
  EXPECT_TRUE(Clock::isVirtual());
  EXPECT_EQ(Clock::now(), 0u);
  Clock::advance(250);
  Clock::advanceTo(100);  // never backwards
  EXPECT_EQ(Clock::now(), 250u);
}

TEST_F(RecorderTest, ProfileFileOverridesDefaultsAndCDriveHasStandardFolders) {
  std::string f = writeFile("p.ini", "# test\nscreen.width = 800\nlocale.langid=0x409\nvisualstyles=themed\nfoo=bar\n");
  Profile p;
  ASSERT_TRUE(loadProfileFile(f, p));
  EXPECT_EQ(p.screenWidth, 800);
  EXPECT_EQ(p.screenHeight, 768);
  EXPECT_EQ(p.langId, 0x409);
  EXPECT_EQ(p.visualStyles, ModuleProfile::Themed);
  EXPECT_EQ(p.extra["foo"], "bar");
  EXPECT_FALSE(loadProfileFile(hostPath("missing.ini"), p));
  EXPECT_TRUE(std::filesystem::is_directory(cDriveRoot() + "/WINDOWS/system32"));
  EXPECT_EQ(cDriveRoot(), hostPath("C"));
}
