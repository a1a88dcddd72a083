// Helpers around the platform's browser library and the shell: the installed
// browser's version text, item id lists (the shell's names of folders and
// files, a sequence of items each led by its 16-bit byte size and ended by an
// item of size 0), and the shell and common-controls functions the DDE
// server binds at run time, which those libraries export only by ordinal.
#pragma once

#include <string>

#include "platform/os/kernel/Shell.h"
#include "platform/os/Types.h"

// The "FileVersion" text of "shdocvw.dll" in the system folder, through the
// first language and code page of its version block; empty when the file, its
// version block or the value is missing. Never raises.
std::string GetIEVersion();

// --- item id lists
// The item after this one: its address plus its size.
LPCITEMIDLIST NextPidlItem(LPCITEMIDLIST Item);
// The byte size of an item id list: every item's own size up to the item of
// size 0, plus the 2 bytes of that terminator; 0 for a null list. A list
// that is read from memory of a known size is measured within `Limit`
// bytes: one that does not end there, or holds an item shorter than its
// size field, measures 0.
UINT PidlSize(LPCITEMIDLIST List, UINT Limit = 0xFFFFFFFFu);
// Zero-filled memory from the shell's allocator; nullptr when the allocator
// or the memory cannot be had.
void* ShellAlloc(UINT Size);
// A copy in the shell's allocator (free it with ShellFreePidl); nullptr for
// a null or unmeasurable list (see PidlSize) or when the memory cannot be
// had.
LPITEMIDLIST ClonePidl(LPCITEMIDLIST List, UINT Limit = 0xFFFFFFFFu);
// Frees a list of the shell's allocator; nothing for nullptr. Raises the OLE
// error when the shell offers no allocator.
void ShellFreePidl(LPITEMIDLIST List);

// --- bound at run time
// shell32.dll ordinals 521, 522 and 523, comctl32.dll ordinal 73. Each
// library is loaded on first use without the platform's error box; each
// routine answers nullptr or FALSE when its library or entry is missing.
// The libraries are freed at the unit's end.
void* ShellLockShared(HANDLE Shared, DWORD ProcessId);
BOOL ShellUnlockShared(void* Data);
BOOL ShellFreeShared(HANDLE Shared, DWORD ProcessId);
BOOL CommonControlsFree(void* Block);
