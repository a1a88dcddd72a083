#include "platform/os/user/HtmlHelp.h"

#include <string>

#include "platform/desktop/Recorder.h"

HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  (void)caller;
  qv::desktop::Recorder::record("htmlhelp", {file ? file : "", std::to_string(command), std::to_string(data)});
  return nullptr;
}
