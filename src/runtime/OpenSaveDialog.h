// The platform's open and save file dialogs behind one call.
#pragma once

#include <string>

#include "platform/os/Types.h"

// Shows the open (Open) or save dialog; the filter is "Description|Pattern"
// pairs joined by "|". DefaultExt, Title and InitialDir may be null. True
// with the chosen path in FileName when confirmed; cancelled or failed (a
// chosen path longer than the dialog's 260-character buffer among them) it
// is false and FileName stays as it was. The save dialog asks nothing before
// a file is replaced.
bool OpenSaveFileDialog(HWND Owner, const char* DefaultExt, const std::string& Filter, bool Open, std::string& FileName,
                        const char* Title, const char* InitialDir);
// A copy of the text with every `from` made `to`.
std::string ReplaceChar(const std::string& text, char from, char to);
