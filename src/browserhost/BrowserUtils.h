// Helpers around the platform's browser library: the installed version text
// and the size of shell item id lists.
#pragma once

#include <string>

#include "platform/os/kernel/Shell.h"
#include "platform/os/Types.h"

// The "FileVersion" text of "shdocvw.dll" in the system folder, through the
// first language and code page of its version block; empty when the file, its
// version block or the value is missing. Never raises.
std::string GetIEVersion();

// The byte size of an item id list: every item's own size up to the item of
// size 0, plus the 2 bytes of that terminator; 0 for a null list.
UINT PidlSize(LPCITEMIDLIST List);
