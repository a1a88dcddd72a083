// Global memory blocks, as the clipboard and OLE's memory streams hand them
// around. A fixed block's handle is its address; a movable block is reached
// only through GlobalLock, which counts, and GlobalUnlock, which answers
// FALSE (with NO_ERROR) once the count is back at zero.
#pragma once

#include "platform/os/Types.h"

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// The bytes are always zeroed here; a zero size gives a valid empty block.
// NULL with ERROR_NOT_ENOUGH_MEMORY when the size cannot be had.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Keeps the bytes that still fit; new bytes are zero. A movable block may
// move (its handle stays); a fixed block may not grow in place, so without
// GMEM_MOVEABLE it gets NULL and ERROR_NOT_ENOUGH_MEMORY when it would.
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
// NULL with ERROR_INVALID_HANDLE for an unknown handle.
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
SIZE_T GlobalSize(HGLOBAL mem);
// NULL on success; the handle back (ERROR_INVALID_HANDLE) when unknown.
HGLOBAL GlobalFree(HGLOBAL mem);

namespace qv::os {

// Blocks not yet freed, for tests of lifetimes.
int globalBlockCount();

}  // namespace qv::os
