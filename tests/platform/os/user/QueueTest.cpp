#include <atomic>
#include <chrono>
#include <thread>

#include "UserFixture.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/SysInfo.h"

using namespace usertest;
using qv::desktop::Clock;
using qv::desktop::Recorder;

namespace {

class QueueTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
    qv::os::pumpMessages();  // the first paint
    log().clear();
  }
  // What GetMessage hands out next, until it would wait.
  std::vector<std::string> drain() {
    std::vector<std::string> got;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      got.push_back(m.message == WM_QUIT ? "WM_QUIT" : nameOf(m.message));
      DispatchMessage(&m);
      if (m.message == WM_QUIT) break;
    }
    return got;
  }
  HWND w = nullptr;
};

TEST_F(QueueTest, RetrievesSentPostedInputPaintTimerInThatOrder) {
  SetTimer(w, 1, 10, nullptr);
  Clock::advance(10);
  InvalidateRect(w, nullptr, TRUE);
  RECT r;
  GetWindowRect(w, &r);
  qv::os::injectMouse(WM_MOUSEMOVE, {r.left + 50, r.top + 60});
  PostMessage(w, WM_USER, 0, 0);
  // A message from another thread is delivered inside the retrieval, before
  // anything queued is answered.
  std::thread other([&] { SendNotifyMessage(w, WM_USER + 1, 0, 0); });
  other.join();
  std::vector<std::string> order = drain();
  EXPECT_EQ(order, (std::vector<std::string>{"WM_USER", "WM_MOUSEMOVE", "WM_PAINT", "WM_TIMER"}));
  EXPECT_EQ(names({WM_USER + 1, WM_USER}), (std::vector<std::string>{"WM_USER+1", "WM_USER"}));
}

TEST_F(QueueTest, QuitComesAfterPostedAndInputButBeforePaint) {
  InvalidateRect(w, nullptr, FALSE);
  PostQuitMessage(3);
  PostMessage(w, WM_USER, 0, 0);
  MSG m;
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(QueueTest, ManyInvalidationsGiveOnePaintOfTheirUnion) {
  RECT a{10, 10, 20, 20}, b{50, 40, 60, 70};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, TRUE);
  InvalidateRect(w, &a, FALSE);
  RECT painted{};
  BOOL erase = FALSE;
  onMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& res) {
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    painted = ps.rcPaint;
    erase = ps.fErase;
    EndPaint(h, &ps);
    res = 0;
    return true;
  });
  EXPECT_EQ(drain(), (std::vector<std::string>{"WM_PAINT"}));
  EXPECT_EQ(painted.left, 10);
  EXPECT_EQ(painted.top, 10);
  EXPECT_EQ(painted.right, 60);
  EXPECT_EQ(painted.bottom, 70);
  // The white class brush erased the background, so the handler need not.
  EXPECT_EQ(erase, FALSE);
  EXPECT_EQ(names({WM_ERASEBKGND}).size(), 1u);
}

TEST_F(QueueTest, UnvalidatedPaintIsNotRepeatedForEver) {
  onMessage([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) { return m == WM_PAINT && (r = 0, true); });
  InvalidateRect(w, nullptr, FALSE);
  EXPECT_EQ(drain(), (std::vector<std::string>{"WM_PAINT"}));
}

TEST_F(QueueTest, HiddenWindowsCollectNoUpdateArea) {
  HWND hidden = make(WS_POPUP, {0, 0, 50, 50});
  InvalidateRect(hidden, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(hidden, &r, FALSE));
  ShowWindow(hidden, SW_SHOWNA);
  EXPECT_TRUE(GetUpdateRect(hidden, &r, FALSE));
  EXPECT_EQ(r.right, 50);
}

TEST_F(QueueTest, ANewerMouseMoveReplacesTheQueuedOne) {
  RECT r;
  GetWindowRect(w, &r);
  POINT c{0, 0};
  ClientToScreen(w, &c);
  qv::os::injectMouse(WM_MOUSEMOVE, {c.x + 5, c.y + 5});
  qv::os::injectMouse(WM_MOUSEMOVE, {c.x + 7, c.y + 8});
  qv::os::injectMouse(WM_LBUTTONDOWN, {c.x + 7, c.y + 8});
  qv::os::injectMouse(WM_MOUSEMOVE, {c.x + 9, c.y + 9});
  qv::os::injectMouse(WM_MOUSEMOVE, {c.x + 11, c.y + 12});
  std::vector<std::pair<UINT, LPARAM>> got;
  MSG m;
  while (PeekMessage(&m, w, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) got.push_back({m.message, m.lParam});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], std::make_pair(static_cast<UINT>(WM_MOUSEMOVE), MAKELPARAM(7, 8)));
  EXPECT_EQ(got[1].first, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(got[2], std::make_pair(static_cast<UINT>(WM_MOUSEMOVE), MAKELPARAM(11, 12)));
}

TEST_F(QueueTest, FiltersSelectByWindowAndRange) {
  HWND other = make(WS_POPUP, {0, 0, 10, 10});
  HWND child = make(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, w);
  PostMessage(other, WM_USER, 0, 0);
  PostMessage(child, WM_USER + 1, 0, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 2, 0, 0);
  MSG m;
  // A window filter takes its children's messages too.
  ASSERT_TRUE(PeekMessage(&m, w, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_FALSE(PeekMessage(&m, w, WM_USER, WM_USER + 5, PM_NOREMOVE));
  // -1 takes only thread messages.
  ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER + 1, WM_USER + 5, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
  EXPECT_TRUE(PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(m.hwnd, other);
  EXPECT_EQ(GetMessage(&m, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
}

TEST_F(QueueTest, BroadcastsReachHiddenAndDisabledTopLevelWindowsOnly) {
  HWND hidden = make(WS_POPUP, {0, 0, 10, 10});
  HWND disabled = make(WS_POPUP | WS_VISIBLE | WS_DISABLED, {0, 0, 10, 10});
  HWND child = make(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, w);
  HWND messageOnly = make(0, {0, 0, 0, 0}, HWND_MESSAGE);
  log().clear();
  qv::os::broadcastSysColorChange();
  SendMessage(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  PostMessage(HWND_BROADCAST, WM_USER, 0, 0);
  qv::os::pumpMessages();
  for (HWND h : {w, hidden, disabled})
    EXPECT_EQ(names({WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_USER}, h),
              (std::vector<std::string>{"WM_SYSCOLORCHANGE", "WM_THEMECHANGED", "WM_USER"}));
  EXPECT_TRUE(names({WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_USER}, child).empty());
  EXPECT_TRUE(names({WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_USER}, messageOnly).empty());
}

TEST_F(QueueTest, GetMessageOnAnIdleVirtualClockJumpsToTheNextTimer) {
  SetTimer(w, 7, 5000, nullptr);
  MSG m;
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(Clock::now(), 5000u);
}

TEST_F(QueueTest, GetMessageWithNothingToWaitForReportsADeadlockInsteadOfHanging) {
  MSG m;
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(Recorder::eventsOf("deadlock").size(), 1u);
}

TEST_F(QueueTest, IdleHookRunsBeforeWaitingAndMayFeedTheQueue) {
  int calls = 0;
  qv::os::setIdleHook([&] {
    if (++calls == 1) {
      PostMessage(w, WM_USER, 0, 0);
      return true;
    }
    return false;
  });
  MSG m;
  ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(calls, 1);
}

TEST_F(QueueTest, MessagesFromAnotherThreadWakeAWaitingGetMessage) {
  std::atomic<LRESULT> answer{0};
  onMessage([](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) { return m == WM_USER + 1 && (r = static_cast<LRESULT>(wp) * 2, true); });
  std::thread other;
  {
    qv::os::ExternalWork expecting;
    other = std::thread([&] {
      answer = SendMessage(w, WM_USER + 1, 21, 0);
      PostMessage(w, WM_USER, 0, 0);
    });
    MSG m;
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  }
  other.join();
  EXPECT_EQ(answer.load(), 42);
  EXPECT_TRUE(Recorder::eventsOf("deadlock").empty());
}

TEST_F(QueueTest, SendMessageTimeoutGivesUpOnAThreadThatDoesNotAnswer) {
  LRESULT ok = -1;
  DWORD error = 0;
  DWORD_PTR result = 7;
  std::thread other([&] {
    ok = SendMessageTimeout(w, WM_USER, 0, 0, SMTO_ABORTIFHUNG, 30, &result);
    error = GetLastError();
  });
  other.join();  // this thread never looks at its queue meanwhile
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
  EXPECT_EQ(result, 7u);
  qv::os::pumpMessages();  // the late message is still handled
  EXPECT_EQ(names({WM_USER}).size(), 1u);
  onMessage([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) { return m == WM_USER && (r = 5, true); });
  EXPECT_EQ(SendMessageTimeout(w, WM_USER, 0, 0, SMTO_NORMAL, 10, &result), TRUE);
  EXPECT_EQ(result, 5u);
}

TEST_F(QueueTest, MessagesCarryTheirTimeAndCursorPosition) {
  Clock::advance(1234);
  RECT r;
  GetWindowRect(w, &r);
  qv::os::injectMouse(WM_MOUSEMOVE, {r.left + 30, r.top + 40});
  Clock::advance(10);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetMessageTime(), static_cast<LONG>(GetTickCount() - 10));
  DWORD pos = GetMessagePos();
  EXPECT_EQ(static_cast<int>(LOWORD(pos)), r.left + 30);
  EXPECT_EQ(static_cast<int>(HIWORD(pos)), r.top + 40);
}

TEST_F(QueueTest, InSendMessageOnlyForSendsFromOtherThreads) {
  std::vector<BOOL> seen;
  onMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    seen.push_back(InSendMessage());
    r = 0;
    return true;
  });
  SendMessage(w, WM_USER, 0, 0);
  std::thread other([&] { SendMessage(w, WM_USER, 0, 0); });
  auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (seen.size() < 2 && std::chrono::steady_clock::now() < giveUp) qv::os::pumpMessages();
  other.join();
  EXPECT_EQ(seen, (std::vector<BOOL>{FALSE, TRUE}));
}

TEST_F(QueueTest, TranslateMessagePutsTheCharacterNext) {
  SetFocus(w);
  PostMessage(w, WM_USER, 0, 0);
  qv::os::injectKey(VK_SHIFT, true);
  qv::os::injectKey('A', true);
  MSG m;
  std::vector<std::string> got;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    got.push_back(nameOf(m.message));
    if (m.message == WM_CHAR) {
      EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
    }
    TranslateMessage(&m);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"WM_USER", "WM_KEYDOWN", "WM_KEYDOWN", "WM_CHAR"}));
}

TEST_F(QueueTest, RegisteredMessagesAreSharedByNameIgnoringCase) {
  UINT a = RegisterWindowMessage("QvPing");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("QVPING"), a);
  EXPECT_NE(RegisterWindowMessage("QvPong"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(QueueTest, AModalLoopNestsAndHandsTheQuitOn) {
  // A modal loop inside a handler runs until its own end condition; a quit
  // that arrives meanwhile ends it and is posted again for the outer loop.
  bool modalDone = false;
  onMessage([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m == WM_USER + 1) {
      PostQuitMessage(9);
      r = 0;
      return true;
    }
    if (m != WM_USER) return false;
    PostMessage(h, WM_USER + 1, 0, 0);
    MSG mm;
    while (GetMessage(&mm, nullptr, 0, 0)) DispatchMessage(&mm);
    PostQuitMessage(static_cast<int>(mm.wParam));
    modalDone = true;
    r = 0;
    return true;
  });
  PostMessage(w, WM_USER, 0, 0);
  MSG m;
  int outer = 0;
  while (GetMessage(&m, nullptr, 0, 0)) {
    DispatchMessage(&m);
    ++outer;
  }
  EXPECT_TRUE(modalDone);
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_EQ(outer, 1);
}

}  // namespace
