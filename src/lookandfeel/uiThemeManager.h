// Theme handles for the library's painters, one open handle per kind of
// element, and the notification that the user switched the visual style.
//
// A theme switch arrives as WM_THEMECHANGED at one hidden receiver window.
// Every cached handle is closed before any listener hears of the switch, so
// a listener (and every painter after it) re-opens what it needs on its next
// paint and gets the new theme's data. Without uxtheme.dll every query
// answers that nothing is themed, and callers draw the classic look.
#pragma once

#include <functional>
#include <string>

#include "lookandfeel/uiUxTheme.h"
#include "platform/classlib/Classes.h"

// The kinds of themed element; each opens with its default class list
// unless a caller gives another.
enum TuiThemeKind : int {
  thkButton = 0,
  thkClock = 1,
  thkComboBox = 2,
  thkEdit = 3,
  thkExplorerBar = 4,
  thkHeader = 5,
  thkListBox = 6,
  thkListView = 7,
  thkMenu = 8,
  thkPage = 9,
  thkProgress = 10,
  thkRebar = 11,
  thkScrollBar = 12,
  thkSpin = 13,
  thkStartPanel = 14,
  thkStatus = 15,
  thkTab = 16,
  thkTaskBand = 17,
  thkTaskBar = 18,
  thkToolBar = 19,
  thkToolTip = 20,
  thkTrackBar = 21,
  thkTrayNotify = 22,
  thkTreeView = 23,
  thkWindow = 24,
};
constexpr int kThemeKindCount = 25;

// A set of kinds is a 32-bit mask, bit n for kind n; bits above the last
// kind are ignored.

// Themes are active and uxtheme.dll is loaded; with a non-zero Mask, every
// kind in it must also open.
bool AreThemesAvailable(DWORD Mask);
// Themes are active, uxtheme.dll is loaded, and the kind opens.
bool IsThemeKindAvailable(TuiThemeKind Kind);
// The kind's cached handle, or a newly opened one; 0 when themes are
// unavailable or the theme lacks the classes. An empty ClassList asks for
// the kind's class list in use (its default until another one opened); a
// given one that differs, ignoring case, from the list in use re-opens the
// kind with it.
HTHEME OpenThemeForKind(TuiThemeKind Kind, const std::u16string& ClassList = std::u16string());
// 1 when themes are unavailable, 0 when the kind has no open handle, else
// the platform's result of closing it (the kind's class list is cleared).
HRESULT CloseThemeForKind(TuiThemeKind Kind);
// Closes every open handle; the class lists in use stay.
void CloseAllThemeHandles();

// A listener for theme switches. It is registered while it lives, and only
// while uxtheme.dll is loaded: without the library no switch can happen.
// Listeners are called in the order they were made; one made or freed
// during a notification is not called for that switch.
class TuiThemeChangedNotificator : public TObject {
  QV_CLASS(TuiThemeChangedNotificator, TObject)
  TuiThemeChangedNotificator();
  ~TuiThemeChangedNotificator() override;
  TuiThemeChangedNotificator(const TuiThemeChangedNotificator&) = delete;
  TuiThemeChangedNotificator& operator=(const TuiThemeChangedNotificator&) = delete;

  std::function<void()> OnNotify;
};

// The one receiver of WM_THEMECHANGED, made at start-up when uxtheme.dll is
// loaded. It owns a hidden top-level window, which the platform's theme
// broadcast reaches.
class TuiThemeChangedEventReceiver : public TObject {
  QV_CLASS(TuiThemeChangedEventReceiver, TObject)
  TuiThemeChangedEventReceiver();
  ~TuiThemeChangedEventReceiver() override;
  TuiThemeChangedEventReceiver(const TuiThemeChangedEventReceiver&) = delete;
  TuiThemeChangedEventReceiver& operator=(const TuiThemeChangedEventReceiver&) = delete;

  HWND Handle() const { return FWindow; }

 private:
  void WndProc(TMessage& Message);
  HWND FWindow = nullptr;
};

// The unit in the program's start-up order (uses uiUxTheme).
extern const qv::classlib::TUnitInfo uiThemeManagerUnit;

namespace uiThemeManager {

// Unit start-up and shut-down, after and before uiUxTheme's. Counted: only
// the first Initialize and the matching last Finalize act.
void Initialize();
void Finalize();

}  // namespace uiThemeManager
