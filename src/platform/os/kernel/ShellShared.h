// The shell's shared memory: a block of bytes that one window hands to
// another by a handle and a process id, as the shell passes item id lists
// to a DDE server ("[ViewFolder(path, :handle:process, show)]"). Programs
// bind these by ordinal from shell32.dll (520 to 523); the stand-in module
// exports them so.
//
// A block belongs to the process id it was made for: locking or freeing it
// with another id fails. Locks are counted; a freed block stays readable
// through the views still locked and goes with the last unlock.
#pragma once

#include "platform/os/Types.h"

// A copy of `size` bytes of `data` (zeros when `data` is null) for the
// process `processId`; NULL with ERROR_NOT_ENOUGH_MEMORY when it cannot be
// had.
HANDLE SHAllocShared(LPCVOID data, DWORD size, DWORD processId);
// The block's bytes; NULL (ERROR_INVALID_HANDLE) for an unknown handle or
// another process id.
LPVOID SHLockShared(HANDLE shared, DWORD processId);
// FALSE for a pointer that no lock handed out.
BOOL SHUnlockShared(LPVOID data);
// FALSE (ERROR_INVALID_HANDLE) for an unknown handle or another process id.
BOOL SHFreeShared(HANDLE shared, DWORD processId);

namespace qv::os {

// Blocks not yet gone, for tests of lifetimes.
int sharedBlockCount();

}  // namespace qv::os
