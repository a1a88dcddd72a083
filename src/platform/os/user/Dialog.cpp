#include "platform/os/user/Dialog.h"

#include <vector>

#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace {

// hDlg's controls in tab order: its children in z order, and the children
// of those that hold controls of their own (WS_EX_CONTROLPARENT) in their
// place.
void collectTabItems(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
    if (GetWindowLong(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      collectTabItems(child, out);
      continue;
    }
    if (GetWindowLong(child, GWL_STYLE) & WS_TABSTOP) out.push_back(child);
  }
}

bool isDialogWindow(HWND hDlg, HWND hwnd) { return hwnd && (hwnd == hDlg || IsChild(hDlg, hwnd)); }

}  // namespace

HWND GetNextDlgTabItem(HWND hDlg, HWND control, BOOL previous) {
  if (!hDlg || !IsWindow(hDlg)) return nullptr;
  std::vector<HWND> items;
  collectTabItems(hDlg, items);
  if (items.empty()) return nullptr;
  // The focus may sit in a window inside a control (an edit of a combo box):
  // the control that holds it is the place in the order.
  std::size_t at = items.size();
  for (std::size_t i = 0; i < items.size() && control; ++i)
    if (items[i] == control || IsChild(items[i], control)) at = i;
  if (at == items.size()) return previous ? items.back() : items.front();
  const std::size_t n = items.size();
  return previous ? items[(at + n - 1) % n] : items[(at + 1) % n];
}

BOOL IsDialogMessage(HWND hDlg, LPMSG msg) {
  if (!msg || !hDlg || !IsWindow(hDlg) || !isDialogWindow(hDlg, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
    const LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
      const bool back = GetKeyState(VK_SHIFT) < 0;
      if (HWND next = GetNextDlgTabItem(hDlg, GetFocus(), back ? TRUE : FALSE)) SetFocus(next);
      return TRUE;
    }
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}
