// Semaphores. Named ones are shared by every process on the desktop: the
// object namespace is a folder under the C: root, each object a file that its
// holders keep locked (flock), so an object ends with its last holder, also
// when that holder is killed, and a new creator starts it afresh.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/kernel/KernelObject.h"

#define SYNCHRONIZE 0x00100000u
#define SEMAPHORE_MODIFY_STATE 0x0002u
#define SEMAPHORE_ALL_ACCESS 0x001F0003u

// With a name that exists: a handle to that object and ERROR_ALREADY_EXISTS
// (the counts given are ignored).
HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES security, LONG initialCount, LONG maximumCount, LPCSTR name);
// NULL with ERROR_FILE_NOT_FOUND when no process holds the name.
HANDLE OpenSemaphoreA(DWORD access, BOOL inheritHandle, LPCSTR name);
// Fails with ERROR_TOO_MANY_POSTS, the count unchanged, when it would pass
// the maximum.
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);
inline HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES s, LONG i, LONG m, LPCSTR n) {
  return CreateSemaphoreA(s, i, m, n);
}
inline HANDLE OpenSemaphore(DWORD a, BOOL i, LPCSTR n) { return OpenSemaphoreA(a, i, n); }
