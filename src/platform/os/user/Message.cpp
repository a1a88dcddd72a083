#include "platform/os/user/Message.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/MessageBox.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Dde.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Menu.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Timer.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

using namespace qv::os::user;

namespace {

using Lock = std::unique_lock<std::recursive_mutex>;

MSG stamp(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return MSG{hwnd, msg, wp, lp, ::GetTickCount(), cursorPos()};
}

bool inRange(UINT m, UINT min, UINT max) { return (min == 0 && max == 0) || (m >= min && m <= max); }

bool windowMatches(HWND msgWnd, HWND filter) {
  if (filter == nullptr) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) return msgWnd == nullptr;
  return msgWnd == filter || IsChild(filter, msgWnd);
}

LRESULT callProc(Wnd* w, UINT msg, WPARAM wp, LPARAM lp) {
  WndPtr keep = hold(w->handle);
  WNDPROC p = w->proc;
  return p ? p(w->handle, msg, wp, lp) : DefWindowProc(w->handle, msg, wp, lp);
}

// Delivers the messages other threads sent to this one, and runs the
// callbacks of SendMessageCallback whose answers came back.
void deliverSent(DWORD t) {
  State& s = state();
  for (;;) {
    std::shared_ptr<Sent> m;
    std::shared_ptr<Sent> reply;
    {
      Lock lk(s.m);
      Queue& q = queue(t);
      if (!q.sent.empty()) {
        m = q.sent.front();
        q.sent.pop_front();
      } else if (!q.replies.empty()) {
        reply = q.replies.front();
        q.replies.pop_front();
      } else {
        return;
      }
    }
    if (reply) {
      reply->callback(reply->msg.hwnd, reply->msg.message, reply->callbackData, reply->result);
      continue;
    }
    LRESULT r = 0;
    Wnd* w = find(m->msg.hwnd);
    // A sender that gave up does not take the message back: it is still
    // handled, only its answer goes nowhere.
    if (w != nullptr) {
      {
        Lock lk(s.m);
        Queue& q = queue(t);
        q.inSend++;
        q.handling.push_back(m);
      }
      r = callProc(w, m->msg.message, m->msg.wParam, m->msg.lParam);
      Lock lk(s.m);
      Queue& q = queue(t);
      q.inSend--;
      q.handling.pop_back();
    }
    Lock lk(s.m);
    if (!m->done) {
      m->result = r;
      m->done = true;
      if (m->callback) queue(m->sender).replies.push_back(m);
    }
    s.cv.notify_all();
  }
}

// Sends to a window of another thread and waits for the answer, handling
// what is sent to this thread meanwhile. timeoutMs 0 waits for ever.
bool sendAcross(Wnd* w, UINT msg, WPARAM wp, LPARAM lp, UINT timeoutMs, LRESULT* result, bool notify,
                SENDASYNCPROC callback = nullptr, ULONG_PTR data = 0) {
  State& s = state();
  auto m = std::make_shared<Sent>();
  m->msg = stamp(w->handle, msg, wp, lp);
  m->sender = currentThread();
  m->notify = notify;
  m->callback = callback;
  m->callbackData = data;
  {
    Lock lk(s.m);
    queue(w->thread).sent.push_back(m);
  }
  s.cv.notify_all();
  if (notify || callback) return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  Lock lk(s.m);
  DWORD me = currentThread();
  while (!m->done) {
    if (!queue(me).sent.empty()) {
      lk.unlock();
      deliverSent(me);
      lk.lock();
      continue;
    }
    if (timeoutMs != 0 && std::chrono::steady_clock::now() >= deadline) {
      m->abandoned = true;
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    s.cv.wait_for(lk, std::chrono::milliseconds(20));
  }
  if (result) *result = m->result;
  return true;
}

// Takes the next message in the platform's order. Answers false when
// nothing is ready.
bool takeNext(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  State& s = state();
  DWORD t = currentThread();
  for (;;) {
    deliverSent(t);
    Lock lk(s.m);
    Queue& q = queue(t);
    bool found = false;
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
      if (windowMatches(it->hwnd, filter) && inRange(it->message, min, max)) {
        *out = *it;
        if (remove) q.posted.erase(it);
        found = true;
        break;
      }
    }
    if (found) {
      q.last = *out;
      return true;
    }
    for (auto it = q.input.begin(); it != q.input.end(); ++it) {
      if (windowMatches(it->hwnd, filter) && inRange(it->message, min, max)) {
        *out = *it;
        if (remove) q.input.erase(it);
        found = true;
        break;
      }
    }
    if (found) {
      q.last = *out;
      if (!remove) return true;
      lk.unlock();
      if (onInputTaken(*out)) return true;
      continue;  // eaten by the mouse activation
    }
    if (q.quit) {
      *out = stamp(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
      if (remove) q.quit = false;
      q.last = *out;
      return true;
    }
    lk.unlock();
    if (inRange(WM_PAINT, min, max)) {
      if (remove) paintFrames(t);
      if (Wnd* w = paintCandidate(t, filter)) {
        *out = stamp(w->handle, WM_PAINT, 0, 0);
        Lock again(s.m);
        queue(t).last = *out;
        return true;
      }
    }
    if (takeTimer(t, filter, min, max, remove, out)) {
      Lock again(s.m);
      queue(t).last = *out;
      return true;
    }
    return false;
  }
}

bool somethingQueued(Queue& q) { return !q.sent.empty() || !q.replies.empty() || !q.posted.empty() || !q.input.empty() || q.quit; }

// Waits for something to do. On the virtual clock the clock moves to the
// next timer; answers false when nothing can ever arrive.
bool waitForMore() {
  State& s = state();
  DWORD t = currentThread();
  std::uint64_t due = qv::os::nextTimerDue();
  if (qv::desktop::Clock::isVirtual()) {
    if (due != UINT64_MAX) {
      qv::desktop::Clock::advanceTo(due);
      return true;
    }
    Lock lk(s.m);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (s.externalWork > 0 && !somethingQueued(queue(t)) && std::chrono::steady_clock::now() < deadline)
      s.cv.wait_for(lk, std::chrono::milliseconds(20));
    return somethingQueued(queue(t));
  }
  Lock lk(s.m);
  if (somethingQueued(queue(t))) return true;
  std::uint64_t now = qv::desktop::Clock::now();
  std::uint64_t waitMs = due == UINT64_MAX ? 250 : (due > now ? std::min<std::uint64_t>(due - now, 250) : 0);
  if (waitMs > 0) s.cv.wait_for(lk, std::chrono::milliseconds(waitMs));
  return true;
}

void reportDeadlock() {
  qv::desktop::Recorder::record("deadlock", {});
  Lock lk(state().m);
  Queue& q = queue(currentThread());
  q.quit = true;
}

std::string upperName(LPCSTR n) {
  std::string r = n;
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace

namespace qv::os::user {

LRESULT send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd == HWND_BROADCAST) {
    sendToTopLevel(msg, wp, lp, false);
    return 0;
  }
  Wnd* w = find(hwnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->foreign || w->isDesktop) return 0;
  if (w->thread == currentThread()) return callProc(w, msg, wp, lp);
  LRESULT r = 0;
  sendAcross(w, msg, wp, lp, 0, &r, false);
  return r;
}

BOOL postOne(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  State& s = state();
  Lock lk(s.m);
  Wnd* w = find(hwnd);
  if (w == nullptr || w->isDesktop) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->foreign) return TRUE;
  queue(w->thread).posted.push_back(stamp(hwnd, msg, wParam, lParam));
  lk.unlock();
  s.cv.notify_all();
  return TRUE;
}

void sendToTopLevel(UINT msg, WPARAM wp, LPARAM lp, bool post) {
  ensureDesktop();
  std::vector<HWND> all;
  for (Wnd* c : state().desktop->children)
    if (!c->foreign) all.push_back(c->handle);
  for (HWND h : all) {
    if (!IsWindow(h)) continue;
    if (post) postOne(h, msg, wp, lp);
    else send(h, msg, wp, lp);
  }
}

}  // namespace qv::os::user

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= WM_DDE_FIRST && msg <= WM_DDE_LAST) qv::os::user::recordDdeMessage(msg, wParam, lParam, true);
  return send(hwnd, msg, wParam, lParam);
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT timeout,
                           PDWORD_PTR result) {
  if (hwnd == HWND_BROADCAST) {
    sendToTopLevel(msg, wParam, lParam, false);
    if (result) *result = 0;
    return TRUE;
  }
  Wnd* w = find(hwnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LRESULT r = 0;
  if (w->foreign) {
    r = 0;
  } else if (w->thread == currentThread()) {
    r = send(hwnd, msg, wParam, lParam);
  } else if (!sendAcross(w, msg, wParam, lParam, std::max(timeout, 1u), &r, false)) {
    return 0;
  }
  if (result) *result = static_cast<DWORD_PTR>(r);
  return TRUE;
}

BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    sendToTopLevel(msg, wParam, lParam, false);
    return TRUE;
  }
  Wnd* w = find(hwnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->thread == currentThread()) send(hwnd, msg, wParam, lParam);
  else if (!w->foreign) sendAcross(w, msg, wParam, lParam, 0, nullptr, true);
  return TRUE;
}

BOOL SendMessageCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, SENDASYNCPROC callback, ULONG_PTR data) {
  Wnd* w = find(hwnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->thread == currentThread() || w->foreign) {
    LRESULT r = send(hwnd, msg, wParam, lParam);
    if (callback) callback(hwnd, msg, data, r);
    return TRUE;
  }
  if (callback) return sendAcross(w, msg, wParam, lParam, 0, nullptr, false, callback, data) ? TRUE : FALSE;
  return sendAcross(w, msg, wParam, lParam, 0, nullptr, true) ? TRUE : FALSE;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == nullptr) return PostThreadMessage(currentThread(), msg, wParam, lParam);
  if (msg >= WM_DDE_FIRST && msg <= WM_DDE_LAST) qv::os::user::recordDdeMessage(msg, wParam, lParam, false);
  if (hwnd == HWND_BROADCAST) {
    sendToTopLevel(msg, wParam, lParam, true);
    return TRUE;
  }
  return postOne(hwnd, msg, wParam, lParam);
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  State& s = state();
  Lock lk(s.m);
  if (threadId != currentThread() && s.queues.count(threadId) == 0) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  queue(threadId).posted.push_back(stamp(nullptr, msg, wParam, lParam));
  lk.unlock();
  s.cv.notify_all();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  State& s = state();
  Lock lk(s.m);
  Queue& q = queue(currentThread());
  q.quit = true;
  q.quitCode = exitCode;
  lk.unlock();
  s.cv.notify_all();
}

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  for (;;) {
    if (takeNext(msg, hwnd, filterMin, filterMax, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
    auto hook = state().idleHook;
    if (hook && hook()) continue;
    if (waitForMore()) continue;
    reportDeadlock();
  }
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return takeNext(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  MSG m;
  for (;;) {
    if (takeNext(&m, nullptr, 0, 0, false)) return TRUE;
    auto hook = state().idleHook;
    if (hook && hook()) continue;
    if (waitForMore()) continue;
    reportDeadlock();
    return TRUE;
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
    return msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP ? TRUE : FALSE;
  }
  int ch = charForKey(static_cast<UINT>(msg->wParam));
  if (ch != 0) {
    State& s = state();
    Lock lk(s.m);
    Wnd* w = find(msg->hwnd);
    DWORD t = w ? w->thread : currentThread();
    queue(t).posted.push_front(
        stamp(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, static_cast<WPARAM>(ch), msg->lParam));
  }
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, ::GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  Wnd* w = find(msg->hwnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->thread != currentThread()) {
    SetLastError(ERROR_MESSAGE_SYNC_ONLY);
    return 0;
  }
  WndPtr keep = hold(msg->hwnd);
  int before = w->paintCalls;
  LRESULT r = callProc(w, msg->message, msg->wParam, msg->lParam);
  // A WM_PAINT handler that never validates would get WM_PAINT for ever; the
  // area counts as painted, as the platform does.
  if (msg->message == WM_PAINT && !w->destroyed && w->paintCalls == before) {
    w->hasUpdate = false;
    w->update = {};
    w->erasePending = false;
    w->framePending = false;
    w->internalPaint = false;
  }
  return r;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

UINT RegisterWindowMessage(LPCSTR name) {
  if (name == nullptr || *name == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  State& s = state();
  Lock lk(s.m);
  std::string key = upperName(name);
  auto it = s.registeredMessages.find(key);
  if (it != s.registeredMessages.end()) return it->second;
  if (s.nextRegistered > 0xFFFF) return 0;
  UINT id = s.nextRegistered++;
  s.registeredMessages[key] = id;
  return id;
}

DWORD GetMessagePos() {
  Lock lk(state().m);
  const MSG& m = queue(currentThread()).last;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(m.pt.x), static_cast<WORD>(m.pt.y)));
}

LONG GetMessageTime() {
  Lock lk(state().m);
  return static_cast<LONG>(queue(currentThread()).last.time);
}

LPARAM GetMessageExtraInfo() { return 0; }

BOOL InSendMessage() {
  Lock lk(state().m);
  return queue(currentThread()).inSend > 0 ? TRUE : FALSE;
}

DWORD InSendMessageEx(LPVOID) {
  Lock lk(state().m);
  Queue& q = queue(currentThread());
  if (q.handling.empty()) return ISMEX_NOSEND;
  auto& m = q.handling.back();
  DWORD r = m->notify ? ISMEX_NOTIFY : m->callback ? ISMEX_CALLBACK : ISMEX_SEND;
  if (m->done) r |= ISMEX_REPLIED;
  return r;
}

BOOL ReplyMessage(LRESULT result) {
  State& s = state();
  Lock lk(s.m);
  Queue& q = queue(currentThread());
  if (q.handling.empty() || q.handling.back()->done) return FALSE;
  auto& m = q.handling.back();
  m->result = result;
  m->done = true;
  if (m->callback) queue(m->sender).replies.push_back(m);
  lk.unlock();
  s.cv.notify_all();
  return TRUE;
}

DWORD GetQueueStatus(UINT flags) {
  State& s = state();
  DWORD bits = 0;
  DWORD t = currentThread();
  {
    Lock lk(s.m);
    Queue& q = queue(t);
    if (!q.sent.empty()) bits |= QS_SENDMESSAGE;
    if (!q.posted.empty() || q.quit) bits |= QS_POSTMESSAGE;
    for (const MSG& m : q.input) {
      if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) bits |= QS_KEY;
      else if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) bits |= QS_MOUSEMOVE;
      else bits |= QS_MOUSEBUTTON;
    }
  }
  if (paintCandidate(t, nullptr)) bits |= QS_PAINT;
  if (qv::os::nextTimerDue() <= qv::desktop::Clock::now()) bits |= QS_TIMER;
  bits &= flags;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(bits), static_cast<WORD>(bits)));
}

BOOL GetInputState() {
  Lock lk(state().m);
  return queue(currentThread()).input.empty() ? FALSE : TRUE;
}

// ---------------------------------------------------------------------------
// Default handling.

namespace {

bool hasMenuBar(const Wnd* w) {
  return !(w->style & WS_CHILD) && w->id != 0 && IsMenu(reinterpret_cast<HMENU>(w->id));
}

int defaultHitTest(Wnd* w, POINT pt) {
  RECT wr = screenRect(w);
  if (!PtInRect(&wr, pt)) return HTNOWHERE;
  POINT co = clientOrigin(w);
  RECT cr{co.x, co.y, co.x + w->client.right - w->client.left, co.y + w->client.bottom - w->client.top};
  if (PtInRect(&cr, pt)) return HTCLIENT;
  if (w->style & WS_MINIMIZE) return HTCAPTION;
  RECT f = frameOf(w->style, w->exStyle, false);
  int frame = f.left;
  int edge = 0;
  if (w->exStyle & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
  if (w->exStyle & WS_EX_STATICEDGE) edge += GetSystemMetrics(SM_CXBORDER);
  frame -= edge;
  RECT inner{wr.left + frame, wr.top + frame, wr.right - frame, wr.bottom - frame};
  if (!PtInRect(&inner, pt)) {
    if (!(w->style & WS_THICKFRAME)) return HTBORDER;
    int corner = GetSystemMetrics(SM_CYCAPTION) + frame;
    bool left = pt.x < wr.left + corner, right = pt.x >= wr.right - corner;
    bool top = pt.y < wr.top + corner, bottom = pt.y >= wr.bottom - corner;
    if (pt.y < inner.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (pt.y >= inner.bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (pt.x < inner.left) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
  }
  int y = inner.top;
  if ((w->style & WS_CAPTION) == WS_CAPTION) {
    bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
    int ch = tool ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    if (pt.y < y + ch) {
      // Caption buttons are two pixels narrower than the caption's button size.
      int bw = (tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
      int x = inner.right - 2;
      if (w->style & WS_SYSMENU) {
        if (pt.x >= x - bw && pt.x < x) return HTCLOSE;
        x -= bw + 2;
        if (!tool && (w->style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
          if (pt.x >= x - bw && pt.x < x) return HTMAXBUTTON;
          x -= bw;
          if (pt.x >= x - bw && pt.x < x) return HTMINBUTTON;
        }
        if (!tool && !(w->exStyle & WS_EX_DLGMODALFRAME) && pt.x < inner.left + GetSystemMetrics(SM_CXSIZE))
          return HTSYSMENU;
      }
      return HTCAPTION;
    }
    y += ch;
  }
  if (hasMenuBar(w) && pt.y < y + GetSystemMetrics(SM_CYMENU)) return HTMENU;
  RECT ce = cr;
  if (w->style & WS_VSCROLL) ce.right += GetSystemMetrics(SM_CXVSCROLL);
  if (w->style & WS_HSCROLL) ce.bottom += GetSystemMetrics(SM_CYHSCROLL);
  if (PtInRect(&ce, pt)) {
    bool inV = (w->style & WS_VSCROLL) && pt.x >= cr.right;
    bool inH = (w->style & WS_HSCROLL) && pt.y >= cr.bottom;
    if (inV && inH) return HTSIZE;
    if (inV) return HTVSCROLL;
    if (inH) return HTHSCROLL;
  }
  return HTBORDER;
}

HBRUSH classBrush(const Wnd* w) {
  if (!w->cls) return nullptr;
  HBRUSH b = w->cls->background;
  ULONG_PTR v = reinterpret_cast<ULONG_PTR>(b);
  if (v != 0 && v <= static_cast<ULONG_PTR>(qv::os::kSysColorCount)) return GetSysColorBrush(static_cast<int>(v - 1));
  return b;
}

bool isButtonDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_NCLBUTTONDOWN ||
         m == WM_NCRBUTTONDOWN || m == WM_NCMBUTTONDOWN;
}

void showSystemMenu(HWND hwnd, int x, int y) {
  HMENU sys = GetSystemMenu(hwnd, FALSE);
  if (sys == nullptr) return;
  UINT cmd = static_cast<UINT>(TrackPopupMenu(sys, TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_RIGHTBUTTON, x, y, 0, hwnd, nullptr));
  if (cmd != 0 && IsWindow(hwnd)) send(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wnd* w = find(hwnd);
  if (w == nullptr) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      auto* rc = reinterpret_cast<RECT*>(lParam);
      if (rc == nullptr) return 0;
      if (w->style & WS_MINIMIZE) {
        rc->right = rc->left;
        rc->bottom = rc->top;
        return 0;
      }
      RECT f = frameOf(w->style, w->exStyle, hasMenuBar(w));
      rc->left += f.left;
      rc->top += f.top;
      rc->right -= f.right;
      rc->bottom -= f.bottom;
      if (w->style & WS_VSCROLL) rc->right -= GetSystemMetrics(SM_CXVSCROLL);
      if (w->style & WS_HSCROLL) rc->bottom -= GetSystemMetrics(SM_CYHSCROLL);
      if (rc->right < rc->left) rc->right = rc->left;
      if (rc->bottom < rc->top) rc->bottom = rc->top;
      return 0;
    }
    case WM_NCHITTEST:
      return defaultHitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: {
      auto& hooks = qv::os::paintHooks();
      if (hooks.drawFrame) {
        HDC dc = GetWindowDC(hwnd);
        if (dc) {
          hooks.drawFrame(hwnd, dc, state().active == hwnd);
          ReleaseDC(hwnd, dc);
        }
      }
      return 0;
    }
    case WM_NCACTIVATE:
      if (!(w->style & WS_MINIMIZE)) {
        // Drawn in the state being entered: the window told to look inactive
        // is still the active one at this point.
        auto& hooks = qv::os::paintHooks();
        if (hooks.drawFrame && visibleChain(w)) {
          if (HDC dc = GetWindowDC(hwnd)) {
            hooks.drawFrame(hwnd, dc, wParam != FALSE);
            ReleaseDC(hwnd, dc);
          }
        }
      }
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = classBrush(w);
      if (b == nullptr) return 0;
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto& hooks = qv::os::paintHooks();
      if (dc && hooks.fillRect) {
        RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
        hooks.fillRect(dc, r, b);
      }
      return 1;
    }
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      if ((w->style & WS_CAPTION) == WS_CAPTION) redrawFrame(w);
      notifyChange(hwnd, static_cast<int>(qv::os::WindowChange::Text));
      return TRUE;
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<LPSTR>(lParam);
      if (buf == nullptr || wParam == 0) return 0;
      size_t n = std::min(w->text.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buf, w->text.data(), n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
      return TRUE;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          if (w->cls && (w->cls->style & CS_NOCLOSE)) return 0;
          send(hwnd, WM_CLOSE, 0, 0);
          return 0;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
        case SC_KEYMENU:
        case SC_MOUSEMENU: {
          RECT r = screenRect(w);
          showSystemMenu(hwnd, r.left, r.top + GetSystemMetrics(SM_CYCAPTION));
          return 0;
        }
        default: return 0;
      }
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) {
        Wnd* root = rootOf(w);
        PostMessage(root->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SETCURSOR: {
      if ((w->style & WS_CHILD) && w->parent && !w->parent->isDesktop) {
        if (send(w->parent->handle, WM_SETCURSOR, wParam, lParam)) return TRUE;
      }
      int hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
      if (hit == HTCLIENT && w->cls && w->cls->cursor) {
        SetCursor(w->cls->cursor);
        return TRUE;
      }
      if (hit == HTERROR) {
        if (isButtonDown(HIWORD(static_cast<DWORD_PTR>(lParam)))) MessageBeep(0);
        return FALSE;
      }
      LPCSTR shape = IDC_ARROW;
      switch (hit) {
        case HTLEFT: case HTRIGHT: shape = IDC_SIZEWE; break;
        case HTTOP: case HTBOTTOM: shape = IDC_SIZENS; break;
        case HTTOPLEFT: case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
        case HTTOPRIGHT: case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
        default: break;
      }
      SetCursor(LoadCursor(nullptr, shape));
      return hit == HTCLIENT ? FALSE : TRUE;
    }
    case WM_MOUSEACTIVATE:
      if ((w->style & WS_CHILD) && w->parent && !w->parent->isDesktop) {
        LRESULT r = send(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (wp && !(wp->flags & SWP_NOSIZE) && (w->style & (WS_THICKFRAME | WS_CAPTION)) &&
          !(w->style & (WS_MINIMIZE | WS_MAXIMIZE)) && !(w->style & WS_CHILD)) {
        MINMAXINFO mmi{};
        mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        mmi.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
        send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        wp->cx = std::clamp<int>(wp->cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        wp->cy = std::clamp<int>(wp->cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (wp == nullptr) return 0;
      if (!(wp->flags & SWP_NOCLIENTMOVE))
        send(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                                          static_cast<WORD>(w->rect.top + w->client.top)));
      if ((w = find(hwnd)) == nullptr) return 0;
      if (!(wp->flags & SWP_NOCLIENTSIZE)) {
        UINT kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        send(hwnd, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                                             static_cast<WORD>(w->client.bottom - w->client.top)));
      }
      return 0;
    }
    case WM_SETREDRAW:
      if (wParam) w->style |= WS_VISIBLE;
      else w->style &= ~static_cast<DWORD>(WS_VISIBLE);
      return 0;
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    case WM_SETICON: {
      HICON old = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
      (wParam == ICON_BIG ? w->iconBig : w->iconSmall) = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          GetSysColorBrush(msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_3DFACE));
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      return 0;
    }
    case WM_NCRBUTTONUP:
      send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
      return 0;
    case WM_CONTEXTMENU: {
      if ((w->style & WS_CHILD) && w->parent && !w->parent->isDesktop)
        return send(w->parent->handle, WM_CONTEXTMENU, wParam, lParam);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int hit = defaultHitTest(w, p);
      if (hit == HTCAPTION || hit == HTSYSMENU) showSystemMenu(hwnd, p.x, p.y);
      return 0;
    }
    case WM_MOUSEWHEEL:
      if ((w->style & WS_CHILD) && w->parent && !w->parent->isDesktop)
        return send(w->parent->handle, WM_MOUSEWHEEL, wParam, lParam);
      return 0;
    case WM_NCLBUTTONDOWN:
      w->ncPressedHit = static_cast<int>(wParam);
      return 0;
    case WM_NCLBUTTONUP: {
      int hit = static_cast<int>(wParam);
      bool pressed = w->ncPressedHit == hit;
      w->ncPressedHit = 0;
      if (!pressed) return 0;
      if (hit == HTCLOSE) send(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      else if (hit == HTMINBUTTON) send(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, lParam);
      else if (hit == HTMAXBUTTON) send(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      return 0;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        send(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      else if (wParam == HTSYSMENU)
        send(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      return 0;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// Helpers for tests and the desktop driver.

namespace qv::os {

int pumpMessages() {
  int n = 0;
  MSG m;
  while (n < 100000 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
    ++n;
  }
  return n;
}

void runFor(std::uint64_t ms) {
  using qv::desktop::Clock;
  std::uint64_t end = Clock::now() + ms;
  if (!Clock::isVirtual()) {
    while (Clock::now() < end) {
      pumpMessages();
      Lock lk(state().m);
      if (!somethingQueued(queue(currentThread()))) {
        std::uint64_t due = nextTimerDue();
        std::uint64_t until = std::min(end, due);
        std::uint64_t now = Clock::now();
        if (until > now) state().cv.wait_for(lk, std::chrono::milliseconds(std::min<std::uint64_t>(until - now, 50)));
      }
    }
    pumpMessages();
    return;
  }
  for (;;) {
    pumpMessages();
    std::uint64_t due = nextTimerDue();
    std::uint64_t now = Clock::now();
    if (due <= now) {
      // A due timer that the pump did not take: the quit request is in front.
      break;
    }
    if (due > end) break;
    Clock::advanceTo(due);
  }
  Clock::advanceTo(end);
  pumpMessages();
}

void setIdleHook(std::function<bool()> hook) { state().idleHook = std::move(hook); }

ExternalWork::ExternalWork() {
  Lock lk(state().m);
  state().externalWork++;
}

ExternalWork::~ExternalWork() {
  {
    Lock lk(state().m);
    state().externalWork--;
  }
  state().cv.notify_all();
}

void broadcastSystemMessage(UINT msg, WPARAM wParam, LPARAM lParam) { sendToTopLevel(msg, wParam, lParam, false); }

}  // namespace qv::os
