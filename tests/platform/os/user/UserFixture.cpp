#include "UserFixture.h"

#include <map>

namespace usertest {
namespace {

Handler g_handler;

LRESULT logProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  log().push_back({h, m, w, l});
  LRESULT r = 0;
  if (g_handler && g_handler(h, m, w, l, r)) return r;
  return DefWindowProc(h, m, w, l);
}

}  // namespace

std::vector<Logged>& log() {
  static std::vector<Logged> v;
  return v;
}

std::string nameOf(UINT m) {
  static const std::map<UINT, const char*> n = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"}, {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"}, {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"}, {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"}, {WM_TIMER, "WM_TIMER"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_COMMAND, "WM_COMMAND"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"}, {WM_THEMECHANGED, "WM_THEMECHANGED"}, {WM_USER, "WM_USER"},
      {WM_USER + 1, "WM_USER+1"}, {WM_NULL, "WM_NULL"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}};
  auto it = n.find(m);
  return it == n.end() ? "0x" + std::to_string(m) : it->second;
}

std::vector<std::string> names(const std::vector<UINT>& only, HWND of) {
  std::vector<std::string> r;
  for (const Logged& l : log()) {
    if (of && l.hwnd != of) continue;
    for (UINT m : only)
      if (l.msg == m) r.push_back(nameOf(m));
  }
  return r;
}

void onMessage(Handler h) { g_handler = std::move(h); }

void UserTest::SetUp() {
  qvtest::DesktopTest::SetUp();
  log().clear();
  g_handler = nullptr;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = logProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "QvLog";
  ASSERT_NE(RegisterClass(&wc), 0);
}

HWND UserTest::make(DWORD style, RECT r, HWND parent, DWORD exStyle, int id, const char* text) {
  HWND h = CreateWindowEx(exStyle, "QvLog", text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  EXPECT_NE(h, nullptr);
  return h;
}

}  // namespace usertest
