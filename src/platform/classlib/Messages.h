// The class library's Messages unit: the message record every control's
// WndProc takes, the cracked records its handlers read, and the component
// messages (CM_*) and reflected notifications (CN_*) of the class library.
//
// A cracked record (TWMMouse, TWMKey ...) is made from the TMessage for the
// handler's call; the dispatcher copies its Result back afterwards.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/user/Message.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(static_cast<DWORD_PTR>(LParam)); }
  WORD LParamHi() const { return HIWORD(static_cast<DWORD_PTR>(LParam)); }
};

// Client mouse messages: the key flags and the position (signed 16-bit each).
struct TWMMouse {
  explicit TWMMouse(const TMessage& M)
      : Msg(M.Msg),
        Keys(static_cast<int>(M.WParam)),
        XPos(static_cast<SHORT>(M.LParamLo())),
        YPos(static_cast<SHORT>(M.LParamHi())),
        Result(M.Result) {}
  UINT Msg;
  int Keys;
  SHORT XPos;
  SHORT YPos;
  LRESULT Result;
  POINT Pos() const { return {XPos, YPos}; }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;

// WM_KEYDOWN/UP, WM_SYSKEYDOWN/UP and WM_CHAR: CharCode is the virtual key or
// the character; a handler that sets it to 0 swallows the key.
struct TWMKey {
  explicit TWMKey(const TMessage& M)
      : Msg(M.Msg), CharCode(static_cast<WORD>(M.WParam)), KeyData(static_cast<LONG>(M.LParam)), Result(M.Result) {}
  UINT Msg;
  WORD CharCode;
  LONG KeyData;
  LRESULT Result;
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;

// WM_PAINT: DC is non-zero when the caller hands over a context to paint into
// (a parent painting its graphic children, or double buffering).
struct TWMPaint {
  explicit TWMPaint(const TMessage& M) : Msg(M.Msg), DC(reinterpret_cast<HDC>(M.WParam)), Result(M.Result) {}
  UINT Msg;
  HDC DC;
  LRESULT Result;
};

struct TWMEraseBkgnd {
  explicit TWMEraseBkgnd(const TMessage& M)
      : Msg(M.Msg), DC(reinterpret_cast<HDC>(M.WParam)), Unused(M.LParam), Result(M.Result) {}
  UINT Msg;
  HDC DC;
  LPARAM Unused;
  LRESULT Result;
};

struct TWMSetCursor {
  explicit TWMSetCursor(const TMessage& M)
      : Msg(M.Msg),
        CursorWnd(reinterpret_cast<HWND>(M.WParam)),
        HitTest(static_cast<SHORT>(M.LParamLo())),
        MouseMsg(M.LParamHi()),
        Result(M.Result) {}
  UINT Msg;
  HWND CursorWnd;
  SHORT HitTest;
  WORD MouseMsg;
  LRESULT Result;
};

// CM_ messages carry their arguments in a plain TMessage.
using TCMMouseEnter = TMessage;
using TCMMouseLeave = TMessage;
using TCMEnabledChanged = TMessage;
using TCMVisibleChanged = TMessage;
using TCMColorChanged = TMessage;
using TCMFontChanged = TMessage;
using TCMSysColorChange = TMessage;
using TCMDrag = TMessage;
using TCMHintShow = TMessage;

// Component messages, with the class library's numbers.
#define CM_BASE 0xB000
#define CM_ACTIVATE (CM_BASE + 0)
#define CM_DEACTIVATE (CM_BASE + 1)
#define CM_GOTFOCUS (CM_BASE + 2)
#define CM_LOSTFOCUS (CM_BASE + 3)
#define CM_CANCELMODE (CM_BASE + 4)
#define CM_DIALOGKEY (CM_BASE + 5)
#define CM_DIALOGCHAR (CM_BASE + 6)
#define CM_FOCUSCHANGED (CM_BASE + 7)
#define CM_PARENTFONTCHANGED (CM_BASE + 8)
#define CM_PARENTCOLORCHANGED (CM_BASE + 9)
#define CM_HITTEST (CM_BASE + 10)
#define CM_VISIBLECHANGED (CM_BASE + 11)
#define CM_ENABLEDCHANGED (CM_BASE + 12)
#define CM_COLORCHANGED (CM_BASE + 13)
#define CM_FONTCHANGED (CM_BASE + 14)
#define CM_CURSORCHANGED (CM_BASE + 15)
#define CM_CTL3DCHANGED (CM_BASE + 16)
#define CM_PARENTCTL3DCHANGED (CM_BASE + 17)
#define CM_TEXTCHANGED (CM_BASE + 18)
#define CM_MOUSEENTER (CM_BASE + 19)
#define CM_MOUSELEAVE (CM_BASE + 20)
#define CM_MENUCHANGED (CM_BASE + 21)
#define CM_APPKEYDOWN (CM_BASE + 22)
#define CM_APPSYSCOMMAND (CM_BASE + 23)
#define CM_BUTTONPRESSED (CM_BASE + 24)
#define CM_SHOWINGCHANGED (CM_BASE + 25)
#define CM_ENTER (CM_BASE + 26)
#define CM_EXIT (CM_BASE + 27)
#define CM_DESIGNHITTEST (CM_BASE + 28)
#define CM_ICONCHANGED (CM_BASE + 29)
#define CM_WANTSPECIALKEY (CM_BASE + 30)
#define CM_INVOKEHELP (CM_BASE + 31)
#define CM_WINDOWHOOK (CM_BASE + 32)
#define CM_RELEASE (CM_BASE + 33)
#define CM_SHOWHINTCHANGED (CM_BASE + 34)
#define CM_PARENTSHOWHINTCHANGED (CM_BASE + 35)
#define CM_SYSCOLORCHANGE (CM_BASE + 36)
#define CM_WININICHANGE (CM_BASE + 37)
#define CM_FONTCHANGE (CM_BASE + 38)
#define CM_TIMECHANGE (CM_BASE + 39)
#define CM_TABSTOPCHANGED (CM_BASE + 40)
#define CM_UIACTIVATE (CM_BASE + 41)
#define CM_UIDEACTIVATE (CM_BASE + 42)
#define CM_DOCWINDOWACTIVATE (CM_BASE + 43)
#define CM_CONTROLLISTCHANGE (CM_BASE + 44)
#define CM_GETDATALINK (CM_BASE + 45)
#define CM_CHILDKEY (CM_BASE + 46)
#define CM_DRAG (CM_BASE + 47)
#define CM_HINTSHOW (CM_BASE + 48)
#define CM_DIALOGHANDLE (CM_BASE + 49)
#define CM_ISTOOLCONTROL (CM_BASE + 50)
#define CM_RECREATEWND (CM_BASE + 51)
#define CM_INVALIDATE (CM_BASE + 52)
#define CM_SYSFONTCHANGED (CM_BASE + 53)
#define CM_CONTROLCHANGE (CM_BASE + 54)
#define CM_CHANGED (CM_BASE + 55)
#define CM_DOCKCLIENT (CM_BASE + 56)
#define CM_UNDOCKCLIENT (CM_BASE + 57)
#define CM_FLOAT (CM_BASE + 58)
#define CM_BORDERCHANGED (CM_BASE + 59)
#define CM_BIDIMODECHANGED (CM_BASE + 60)
#define CM_PARENTBIDIMODECHANGED (CM_BASE + 61)
#define CM_ALLCHILDRENFLIPPED (CM_BASE + 62)
#define CM_ACTIONUPDATE (CM_BASE + 63)
#define CM_ACTIONEXECUTE (CM_BASE + 64)
#define CM_HINTSHOWPAUSE (CM_BASE + 65)
#define CM_DOCKNOTIFICATION (CM_BASE + 66)
#define CM_MOUSEWHEEL (CM_BASE + 67)

// Notifications reflected back to the control that caused them.
#define CN_BASE 0xBC00
#define CN_CHARTOITEM (CN_BASE + WM_CHARTOITEM)
#define CN_COMMAND (CN_BASE + WM_COMMAND)
#define CN_CTLCOLORBTN (CN_BASE + WM_CTLCOLORBTN)
#define CN_CTLCOLOREDIT (CN_BASE + WM_CTLCOLOREDIT)
#define CN_CTLCOLORLISTBOX (CN_BASE + WM_CTLCOLORLISTBOX)
#define CN_CTLCOLORSCROLLBAR (CN_BASE + WM_CTLCOLORSCROLLBAR)
#define CN_CTLCOLORSTATIC (CN_BASE + WM_CTLCOLORSTATIC)
#define CN_DRAWITEM (CN_BASE + WM_DRAWITEM)
#define CN_HSCROLL (CN_BASE + WM_HSCROLL)
#define CN_MEASUREITEM (CN_BASE + WM_MEASUREITEM)
#define CN_NOTIFY (CN_BASE + WM_NOTIFY)
#define CN_VSCROLL (CN_BASE + WM_VSCROLL)
#define CN_KEYDOWN (CN_BASE + WM_KEYDOWN)
#define CN_KEYUP (CN_BASE + WM_KEYUP)
#define CN_CHAR (CN_BASE + WM_CHAR)
#define CN_DEADCHAR (CN_BASE + WM_DEADCHAR)
#define CN_SYSKEYDOWN (CN_BASE + WM_SYSKEYDOWN)
#define CN_SYSKEYUP (CN_BASE + WM_SYSKEYUP)
#define CN_SYSCHAR (CN_BASE + WM_SYSCHAR)
#define CN_SYSDEADCHAR (CN_BASE + WM_SYSDEADCHAR)
