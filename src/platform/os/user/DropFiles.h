// Files dropped from the shell: a window that accepts files (DragAcceptFiles,
// WS_EX_ACCEPTFILES) gets WM_DROPFILES with an HDROP that lists the files and
// the drop point; the receiver reads it with DragQueryFile and
// DragQueryPoint and frees it with DragFinish.
#pragma once

#include <string>
#include <vector>

#include "platform/os/Types.h"

void DragAcceptFiles(HWND hwnd, BOOL accept);
// With iFile 0xFFFFFFFF the number of files; with a null buffer the length
// of file iFile's name without the terminating zero; else copies at most
// cch - 1 characters and a zero and answers the number copied. 0 for a bad
// handle or index.
UINT DragQueryFile(HDROP drop, UINT iFile, LPSTR file, UINT cch);
#define DragQueryFileA DragQueryFile
// The drop point in the client coordinates of the window that got the drop;
// TRUE when it lies in the client area.
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
void DragFinish(HDROP drop);

namespace qv::os {

// What the shell does when files are let go over a window at a screen point:
// the window, or the nearest of its ancestors that accepts files, gets
// WM_DROPFILES posted. Answers that window, or null when none accepts them
// (then nothing is posted). Paths are in the platform's form.
HWND dropFiles(HWND hwnd, const std::vector<std::string>& paths, POINT screen);

}  // namespace qv::os
