// Shared pieces of the window-manager tests: a window class that logs every
// message it gets, and a fixture on the headless desktop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/os/user/User.h"

namespace usertest {

struct Logged {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message that reaches a window of the logging class, in order.
std::vector<Logged>& log();
// Messages of the log that are in `only`, as names ("WM_PAINT") for
// readable failures.
std::vector<std::string> names(const std::vector<UINT>& only, HWND of = nullptr);
std::string nameOf(UINT msg);
// Per-window reactions: return true to answer with `result` instead of the
// default handling.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;
void onMessage(Handler h);

class UserTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override;
  // A window of the logging class ("QvLog", CS_DBLCLKS, white brush).
  HWND make(DWORD style, RECT r, HWND parent = nullptr, DWORD exStyle = 0, int id = 0, const char* text = "");
};

}  // namespace usertest
