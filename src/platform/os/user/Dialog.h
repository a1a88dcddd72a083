// The dialog manager's keyboard side: IsDialogMessage and the tab order of
// a window's controls. A message for the window or one of its descendants
// is the dialog's: it is handled here (Tab moves the focus to the next or
// previous tab stop unless the focused control asks for Tab through
// WM_GETDLGCODE; everything else is translated and dispatched) and the
// answer is TRUE. Messages for other windows are left alone (FALSE).
// Enter, Escape, arrow-key groups and mnemonics are not modelled.
#pragma once

#include "platform/os/Types.h"

// WM_GETDLGCODE answers.
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

BOOL IsDialogMessage(HWND hDlg, LPMSG msg);
#define IsDialogMessageA IsDialogMessage
// The visible, enabled WS_TABSTOP descendant of hDlg after (or, with
// previous, before) `control` in the order of the window tree, wrapping
// round; null when hDlg has none. A null `control` starts at either end.
HWND GetNextDlgTabItem(HWND hDlg, HWND control, BOOL previous);
