// A small program for the driver tests, on plain window calls: a main
// window "Driven" with a button that asks a question in a message box and an
// edit field that keeps the characters typed into it. What the user did is
// logged as `answer BUTTON` and, when the window closes, `typed TEXT`.
// With the argument "hang" a click on the button never returns, so that only
// the driver's timeout can end the program. F2 starts another copy of the
// program, logged as `started PID`; a copy starts none itself, so that a
// copy replaying its parent's script cannot start copies without end.
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/desktop/Recorder.h"
#include "platform/driver/Driver.h"
#include "platform/os/kernel/Kernel.h"
#include "platform/os/user/User.h"

namespace {

std::string g_typed;
bool g_hang = false;
bool g_copy = false;
HWND g_edit = nullptr;

LRESULT buttonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONUP) {
    // Stuck on the GUI thread, as a program caught in a loop would be.
    while (g_hang) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int r = MessageBox(GetParent(hwnd), "Really?", "Driven", MB_YESNO | MB_ICONQUESTION);
    qv::desktop::Recorder::record("answer", {r == IDYES ? "Yes" : r == IDNO ? "No" : std::to_string(r)});
    SetFocus(g_edit);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT editProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CHAR:
      if (wp == VK_BACK) {
        if (!g_typed.empty()) g_typed.pop_back();
      } else if (wp >= ' ') {
        g_typed += static_cast<char>(wp);
      }
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_F2 && !g_copy) {
        std::string command = "\"" + qv::os::programPath() + "\" copy";
        PROCESS_INFORMATION pi{};
        if (CreateProcess(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi)) {
          qv::desktop::Recorder::record("started", {std::to_string(pi.dwProcessId)});
          CloseHandle(pi.hThread);
          CloseHandle(pi.hProcess);
        }
      }
      return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT mainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    qv::desktop::Recorder::record("typed", {g_typed});
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

void registerClass(const char* name, WNDPROC proc) {
  WNDCLASS wc{};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  RegisterClass(&wc);
}

}  // namespace

int main(int argc, char** argv) {
  qv::os::setCommandLine(argc, argv);
  g_hang = argc > 1 && std::strcmp(argv[1], "hang") == 0;
  g_copy = argc > 1 && std::strcmp(argv[1], "copy") == 0;
  registerClass("DrivenMain", mainProc);
  registerClass("DrivenButton", buttonProc);
  registerClass("DrivenEdit", editProc);
  // Client area at (100, 100) on the screen: the tests click relative to it.
  HWND main = CreateWindowEx(0, "DrivenMain", "Driven", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
  CreateWindowEx(0, "DrivenButton", "Ask", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, main, nullptr, nullptr, nullptr);
  g_edit = CreateWindowEx(0, "DrivenEdit", "", WS_CHILD | WS_VISIBLE, 10, 50, 200, 22, main, nullptr, nullptr,
                          nullptr);
  SetFocus(g_edit);
  qv::desktop::startDriverFromEnvironment();
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}
