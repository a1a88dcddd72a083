// The global atom table: short names shared by every window of the desktop
// (DDE conversations name their application and topic with them).
//
// String atoms are 0xC000 to 0xFFFF; names up to 255 characters, compared
// without regard to case, counted (each add needs its delete). Integer atoms
// (MAKEINTATOM(n) or the text "#n", n from 1 to 0xBFFF) are never stored:
// they stand for themselves and their name is "#n".
#pragma once

#include "platform/os/Types.h"

#define MAXINTATOM 0xC000

// Integer atoms stand in name pointers (also for window class names).
inline LPCSTR MAKEINTATOM(ATOM a) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(a)); }

// 0 on failure: ERROR_INVALID_NAME for an empty name, ERROR_INVALID_PARAMETER
// for one longer than 255 characters or an integer atom out of range.
ATOM GlobalAddAtomA(LPCSTR name);
inline ATOM GlobalAddAtom(LPCSTR name) { return GlobalAddAtomA(name); }
// 0 with ERROR_FILE_NOT_FOUND when the name is not in the table.
ATOM GlobalFindAtomA(LPCSTR name);
inline ATOM GlobalFindAtom(LPCSTR name) { return GlobalFindAtomA(name); }
// 0 on success; the atom itself (ERROR_INVALID_HANDLE) when it is unknown.
// The last delete of a string atom removes it.
ATOM GlobalDeleteAtom(ATOM atom);
// The name's length without its terminating zero; a buffer too small gets
// the name cut to size - 1 characters. 0 with ERROR_INVALID_HANDLE for an
// unknown atom, ERROR_INVALID_PARAMETER for no buffer.
UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size);
inline UINT GlobalGetAtomName(ATOM atom, LPSTR buffer, int size) { return GlobalGetAtomNameA(atom, buffer, size); }
