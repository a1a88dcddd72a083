#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/MessageBox.h"

using qv::desktop::Recorder;

namespace {

class MessageBoxTest : public qvtest::DesktopTest {};

struct BoxCase {
  UINT style;
  const char* scripted;  // nullptr: no answer
  int result;
  const char* logged;
};

TEST_F(MessageBoxTest, AnswersFromTheScriptOrTheDefaultButton) {
  const BoxCase cases[] = {
      {MB_OK, nullptr, IDOK, "OK"},
      {MB_OKCANCEL, "Cancel", IDCANCEL, "Cancel"},
      {MB_YESNO | MB_ICONQUESTION, "yes", IDYES, "Yes"},
      {MB_YESNO | MB_DEFBUTTON2, nullptr, IDNO, "No"},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, nullptr, IDCANCEL, "Cancel"},
      {MB_YESNOCANCEL, "No", IDNO, "No"},
      {MB_RETRYCANCEL, nullptr, IDRETRY, "Retry"},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, nullptr, IDIGNORE, "Ignore"},
      {MB_ABORTRETRYIGNORE, "Abort", IDABORT, "Abort"},
      // An answer the box has no button for presses the default one.
      {MB_YESNO, "OK", IDYES, "Yes"},
      // A default beyond the buttons falls back to the first.
      {MB_OK | MB_DEFBUTTON3, nullptr, IDOK, "OK"},
  };
  for (const BoxCase& c : cases) {
    Recorder::clearEvents();
    Recorder::clearAnswers();
    if (c.scripted) Recorder::pushAnswer("msgbox", c.scripted);
    EXPECT_EQ(MessageBox(nullptr, "Text", "Title", c.style), c.result) << c.style;
    auto ev = Recorder::eventsOf("msgbox");
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].fields, (std::vector<std::string>{"Title", "Text", std::to_string(c.style), c.logged}));
  }
}

TEST_F(MessageBoxTest, CaptionDefaultsToTheLocalisedErrorAndBadTypesFail) {
  MessageBox(nullptr, "x", nullptr, MB_OK);
  qv::desktop::profile().langId = 1033;
  MessageBoxEx(nullptr, "y", nullptr, MB_OK, 0);
  auto ev = Recorder::eventsOf("msgbox");
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].fields[0], "Fehler");
  EXPECT_EQ(ev[1].fields[0], "Error");
  EXPECT_EQ(MessageBox(nullptr, "z", "t", 0x0F), 0);
  EXPECT_EQ(Recorder::eventsOf("msgbox").size(), 2u);
}

TEST_F(MessageBoxTest, BeepsAreRecorded) {
  MessageBeep(MB_ICONEXCLAMATION);
  auto ev = Recorder::eventsOf("beep");
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].line(), "beep\t48");
}

}  // namespace
