#include <filesystem>

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
