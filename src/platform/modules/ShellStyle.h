// The shell's style module: shell32's SHGetShellStyleHInstance hands out the
// module that holds the pictures and the style sheet of the file
// explorer's task pane. Both the shell32 stand-in (which exports it) and the
// style module "ShellStyle.dll" are ours; the style module is there while
// profile().shellStyle holds, and SHGetShellStyleHInstance then answers a
// new reference to it (the caller frees it with FreeLibrary), else NULL.
//
// Its resources (language 1033), all drawn and written by us:
// - RT_BITMAP 100 to 109, 22 x 22, 32 bits with alpha over magenta
//   0x00FF00FF (alpha 0) around a round button with a double chevron:
//   100 collapse, 101 collapse hot, 102 expand, 103 expand hot, 104 to 107
//   the same four for the special group, 108 and 109 the special group's
//   collapse and expand pressed;
// - RT_BITMAP 110 to 113, 186 x 25, 24 bits: the caption background of the
//   special group (dark blue, left to right lighter) and its hot form, the
//   caption background of the other groups (white to pale blue) and its
//   hot form;
// - RT_BITMAP 114, 16 x 256, 24 bits: the bar's background, top to bottom
//   RGB(123, 162, 231) to RGB(99, 117, 214);
// - RT_HTML "CPWEBVW.CSS": one rule per line (see kShellStyleSheet).
#pragma once

#include <vector>

#include "platform/os/Types.h"
#include "platform/os/kernel/Module.h"

HINSTANCE SHGetShellStyleHInstance();

namespace qv::modules {

inline constexpr const char* kShellStyleSheet =
    "body {font-family: Tahoma; font-size: 8pt; font-weight: normal; color: #000000; margin: 0px}\r\n"
    "a {font-size: 8pt; color: #215DC6; text-decoration: none; font-weight: normal}\r\n"
    "a:hover {color: #428EFF; text-decoration: underline}\r\n"
    ".learnaboutcaption {font-size: 8pt; font-weight: bold; color: #215DC6; margin: 0px 0px 4px 0px}\r\n"
    ".learnaboutbox {border: 1px solid #FFFFFF; background-color: #D6DFF7; padding: 10px 12px}\r\n"
    ".learnaboutlink {color: #215DC6}\r\n";

// Registers "shell32.dll" and "ShellStyle.dll" (done at start-up).
void registerShellStyle();

// Adds (or replaces, by name) an export of the shell32 stand-in, for the
// other shell entry points that programs bind at run time.
void addShell32Export(qv::os::StandInExport e);

}  // namespace qv::modules
