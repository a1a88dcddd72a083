// The HTML Help viewer as the headless desktop stands for it: a call is
// recorded ("htmlhelp" with the file, the command and its data) and opens no
// window, so it answers none.
#pragma once

#include "platform/os/Types.h"

#define HH_DISPLAY_TOPIC 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_HELP_CONTEXT 0x000F
#define HH_CLOSE_ALL 0x0012

HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
inline HWND HtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  return HtmlHelpA(caller, file, command, data);
}
