// The window manager's own state, shared by the units of os/user and by no
// one else: window classes, windows, the per-thread queues and the input
// state. The tree, the classes and the input state belong to the GUI thread;
// the handle table and the queues are guarded so that other threads may post
// and send.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/user/Message.h"

#include "platform/os/user/ScrollInfo.h"

namespace qv::os::user {

struct WndClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  std::vector<BYTE> extra;
  int windows = 0;  // windows alive of this class
};

struct Wnd {
  HWND handle = nullptr;
  std::shared_ptr<WndClass> cls;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;        // child id; for top-level windows their menu bar
  Wnd* parent = nullptr;  // the desktop for top-level windows
  Wnd* owner = nullptr;
  std::vector<Wnd*> children;  // z-order, topmost first
  RECT rect{};                 // in the parent's client coordinates
  RECT client{};               // relative to the window's top-left corner
  RECT normalRect{};           // where SW_RESTORE puts it back
  std::vector<BYTE> extra;
  DWORD thread = 0;
  std::map<std::string, HANDLE> props;
  HICON iconBig = nullptr;
  HICON iconSmall = nullptr;

  // Painting.
  bool hasUpdate = false;
  RECT update{};  // client coordinates
  bool erasePending = false;
  bool framePending = false;
  bool internalPaint = false;
  bool redrawOff = false;  // WM_SETREDRAW FALSE

  bool created = false;    // WM_NCCREATE answered
  bool destroying = false;
  bool destroyed = false;
  bool messageOnly = false;
  bool foreign = false;    // another program's window
  bool isDesktop = false;
  HMENU sysMenu = nullptr;
  int ncPressedHit = 0;    // for clicks on caption buttons
  int paintCalls = 0;      // BeginPaint/ValidateRect calls, to see a WM_PAINT left unvalidated
  std::function<bool(POINT)> shape;
  HRGN region = nullptr;   // SetWindowRgn's region, owned by the window
  // The standard scroll bars' ranges (SetScrollInfo), SB_HORZ and SB_VERT.
  SCROLLINFO scroll[2]{};
  bool scrollSet[2] = {false, false};
};
using WndPtr = std::shared_ptr<Wnd>;

// A message sent to another thread's window, waiting for its answer.
struct Sent {
  MSG msg{};
  LRESULT result = 0;
  bool done = false;
  bool notify = false;     // SendNotifyMessage: nobody waits
  bool abandoned = false;  // the sender timed out
  SENDASYNCPROC callback = nullptr;
  ULONG_PTR callbackData = 0;
  DWORD sender = 0;
};

struct Queue {
  std::deque<std::shared_ptr<Sent>> sent;
  std::deque<std::shared_ptr<Sent>> replies;  // callbacks to run for the sender
  std::deque<MSG> posted;
  std::deque<MSG> input;
  bool quit = false;
  int quitCode = 0;
  MSG last{};       // the last message taken (GetMessagePos/Time)
  int inSend = 0;   // depth of messages from other threads being handled
  std::vector<std::shared_ptr<Sent>> handling;  // those messages, innermost last
  bool attached = false;
};

struct State {
  std::recursive_mutex m;  // handle table and queues
  std::condition_variable_any cv;
  std::map<ULONG_PTR, WndPtr> windows;
  ULONG_PTR nextHandle = 0x20000;
  std::vector<std::shared_ptr<WndClass>> classes;
  ATOM nextAtom = 0xC000;
  std::map<DWORD, Queue> queues;
  std::map<std::string, UINT> registeredMessages;  // upper-cased names
  UINT nextRegistered = 0xC000;
  int externalWork = 0;
  std::function<bool()> idleHook;

  WndPtr desktop;
  WndPtr messageRoot;
  WndPtr foreign;

  // Input state (one input context: the desktop runs one GUI thread).
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  HWND foreground = nullptr;
  std::map<DWORD, DWORD> attachedTo;  // thread -> thread whose input it shares
  DWORD foregroundLockTimeout = 200000;
  std::function<void(HWND, int)> changeListener;
};

State& state();
DWORD currentThread();
DWORD currentProcess();
// The thread id the foreign foreground window claims.
constexpr DWORD kForeignThread = 0x7FFF0001;
constexpr DWORD kForeignProcess = 0x7FFF0000;

// The live window behind a handle (null for stale handles, HWND_BROADCAST,
// the special parents). The desktop window is found too.
Wnd* find(HWND hwnd);
WndPtr hold(HWND hwnd);
// Like find, but sets ERROR_INVALID_WINDOW_HANDLE when there is none.
Wnd* findOrFail(HWND hwnd);
HWND newHandle(const WndPtr& w);
void dropHandle(HWND hwnd);
// Makes sure the desktop and message-only roots exist.
void ensureDesktop();

// The calling thread's queue (made on demand); call with state().m held.
Queue& queue(DWORD thread);
// Wakes every thread waiting for messages.
void wake();

// Geometry.
RECT screenRect(const Wnd* w);          // the window rectangle on the screen
POINT clientOrigin(const Wnd* w);       // the client area's top-left on the screen
bool isTopLevel(const Wnd* w);
bool visibleChain(const Wnd* w);        // WS_VISIBLE on it and every ancestor
Wnd* rootOf(Wnd* w);                    // its top-level window
// Frame widths by style: left, top (caption and menu included), right, bottom.
RECT frameOf(DWORD style, DWORD exStyle, bool menu);
void notifyChange(HWND hwnd, int change);

// Messages.
LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Sends to every top-level window of the desktop (hidden ones included).
void sendToTopLevel(UINT msg, WPARAM wParam, LPARAM lParam, bool post);

// Painting (Paint.cpp): adds `rect` (client coordinates, null for all) to the
// window's update area, spreading to children as RedrawWindow does.
void invalidate(Wnd* w, const RECT* rect, UINT rdwFlags);
// The first window of the thread (in z-order, parents first) that needs a
// WM_PAINT and passes the filter window; null when none.
Wnd* paintCandidate(DWORD thread, HWND filter);
// Sends WM_NCPAINT to the thread's windows whose frame alone needs
// painting; they get no WM_PAINT for it.
void paintFrames(DWORD thread);
// Draws a visible window's frame at once (caption text or activation changed).
void redrawFrame(Wnd* w);

// Timers (Timer.cpp).
bool takeTimer(DWORD thread, HWND filter, UINT min, UINT max, bool remove, MSG* out);
void killWindowTimers(HWND hwnd);
void resetTimers();

// Input (Input.cpp): the side effects of taking an input message off the
// queue (activation on click, WM_SETCURSOR, the synchronous key state).
// Answers false when the message is eaten.
bool onInputTaken(MSG& msg);
POINT cursorPos();
// The character a key gives with the current keyboard state (US layout), 0 for none.
int charForKey(UINT vk);
// The window under a screen point with its WM_NCHITTEST code.
HWND hitTest(POINT screen, int* hit);
void onWindowGone(HWND hwnd);
void resetInput();

// Menus (Menu.cpp).
void destroyMenuOfWindow(Wnd* w);
void resetMenus();

// Activation and focus (Window.cpp), used by input and DefWindowProc.
void activate(HWND hwnd, int how, bool foreground);

}  // namespace qv::os::user
