// The stand-in for comctl32.dll's memory routines, which it exports by
// ordinal only: 71 Alloc (zero-filled; NULL for no memory), 72 ReAlloc,
// 73 Free (FALSE for a block it did not hand out), 74 GetSize. The common
// controls themselves are the user layer's (platform/os/user/CommCtrl.h).
#pragma once

#include "platform/os/Types.h"

namespace qv::modules {

LPVOID CommonControlsAlloc(DWORD size);
LPVOID CommonControlsReAlloc(LPVOID block, DWORD size);
BOOL CommonControlsFreeBlock(LPVOID block);
DWORD CommonControlsGetSize(LPVOID block);

// Blocks not yet freed, for tests of lifetimes.
int commonControlsBlockCount();

void registerComctl32();

}  // namespace qv::modules
