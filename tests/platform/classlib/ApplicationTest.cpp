#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

using qv::desktop::Recorder;

namespace {

class ApplicationTest : public qvtest::DesktopTest {};

TEST_F(ApplicationTest, RunEndsOnTerminateAfterHandlingWhatCameBefore) {
  HWND h = Application->Handle();
  ASSERT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsWindowVisible(h));
  int seen = 0;
  Application->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message == WM_USER) {
      ++seen;
      handled = true;
      Application->Terminate();
    }
  };
  PostMessage(h, WM_USER, 0, 0);
  EXPECT_FALSE(Application->Terminated());
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(Application->Running());
  EXPECT_EQ(seen, 1);
}

TEST_F(ApplicationTest, OnIdleRunsWhenTheQueueIsEmptyAndRunNeverHangs) {
  int idles = 0;
  Application->OnIdle = [&](TObject* sender, bool& done) {
    EXPECT_EQ(sender, Application);
    if (++idles == 3) Application->Terminate();
    done = false;  // asks for more idle time instead of waiting
  };
  Application->Run();
  EXPECT_EQ(idles, 3);
  // With nothing left that could ever arrive the loop ends instead of hanging.
  Application->OnIdle = nullptr;
  Application->Run();
  EXPECT_EQ(Recorder::eventsOf("deadlock").size(), 1u);
}

TEST_F(ApplicationTest, HandleExceptionGoesToOnExceptionOrToAMessageBox) {
  std::string caught;
  TObject* from = nullptr;
  Application->OnException = [&](TObject* sender, Exception& e) {
    from = sender;
    caught = e.Message();
  };
  try {
    throw EConvertError("'x' is not a valid integer value");
  } catch (...) {
    Application->HandleException(Application);
  }
  EXPECT_EQ(caught, "'x' is not a valid integer value");
  EXPECT_EQ(from, Application);
  EXPECT_TRUE(Recorder::eventsOf("msgbox").empty());

  Application->OnException = nullptr;
  Application->SetTitle("Quorvel");
  struct Case {
    const char* message;
    const char* shown;
  };
  // The full stop goes after any last character above '.', a question mark
  // too, but not after a closing parenthesis.
  const Case cases[] = {{"Datei fehlt", "Datei fehlt."},
                        {"Schon da.", "Schon da."},
                        {"Wirklich?", "Wirklich?."},
                        {"Fehler (3)", "Fehler (3)"},
                        {"", ""}};
  for (const Case& c : cases) {
    try {
      throw Exception(c.message);
    } catch (...) {
      Application->HandleException(nullptr);
    }
  }
  try {
    throw EAbort("silent");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  auto boxes = Recorder::eventsOf("msgbox");
  ASSERT_EQ(boxes.size(), 5u);
  for (size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].fields[0], "Quorvel");
    EXPECT_EQ(boxes[i].fields[1], cases[i].shown);
    EXPECT_EQ(boxes[i].fields[2], std::to_string(MB_OK | MB_ICONSTOP));
  }
}

TEST_F(ApplicationTest, ExceptionsFromMessageHandlersDoNotEndTheLoop) {
  int after = 0;
  std::vector<std::string> errors;
  Application->OnException = [&](TObject*, Exception& e) { errors.push_back(e.Message()); };
  Application->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message == WM_USER) throw EInvalidOperation("boom");
    if (m.message == WM_USER + 1) {
      ++after;
      handled = true;
      Application->Terminate();
    }
  };
  HWND h = Application->Handle();
  PostMessage(h, WM_USER, 0, 0);
  PostMessage(h, WM_USER + 1, 0, 0);
  Application->Run();
  EXPECT_EQ(errors, (std::vector<std::string>{"boom"}));
  EXPECT_EQ(after, 1);
}

TEST_F(ApplicationTest, ProcessMessagesHandlesWhatIsWaitingAndReturns) {
  int seen = 0;
  Application->OnMessage = [&](MSG& m, bool&) { seen += m.message == WM_USER; };
  PostMessage(Application->Handle(), WM_USER, 0, 0);
  PostMessage(Application->Handle(), WM_USER, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(seen, 2);
  EXPECT_FALSE(Application->Terminated());
}

TEST_F(ApplicationTest, TitleDefaultsToTheProgramNameAndNamesTheWindow) {
  EXPECT_EQ(Application->Title(), ChangeFileExt(ExtractFileName(Application->ExeName()), ""));
  EXPECT_FALSE(Application->Title().empty());
  Application->SetTitle("Start");
  char buf[32];
  GetWindowText(Application->Handle(), buf, sizeof buf);
  EXPECT_STREQ(buf, "Start");
}

TEST_F(ApplicationTest, TheMainFormIsForgottenWhenFreedAndClosedByTheAppWindow) {
  auto* form = new TComponent(nullptr);
  int closes = 0;
  Application->SetMainForm(form, [&] { ++closes; });
  SendMessage(Application->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindow(Application->Handle()));
  delete form;
  EXPECT_EQ(Application->MainForm(), nullptr);
  SendMessage(Application->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
}

TEST_F(ApplicationTest, TheHiddenWindowHearsSystemBroadcasts) {
  int changes = 0;
  HWND h = Application->Handle();
  Application->OnActivate = [&](TObject*) { ++changes; };
  HWND form = CreateWindowEx(0, "TApplication", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(form, nullptr);
  // Our first active window activates the application: WM_ACTIVATEAPP
  // reaches the hidden window as well.
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(IsWindow(h));
}

}  // namespace
