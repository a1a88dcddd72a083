// Library start-up and the task allocator. Initialisation is counted per
// thread as on the platform: the first call answers S_OK, each further one
// S_FALSE, and every successful call needs its matching uninitialise.
#pragma once

#include "platform/com/HResult.h"

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

HRESULT CoInitialize(LPVOID reserved);
// A second call asking for the other threading model gives RPC_E_CHANGED_MODE
// and is not counted.
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();
// Initialises the library in the single-threaded model and OLE on top of it.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();

// Memory that crosses interfaces: one side allocates, the other frees.
// CoTaskMemAlloc(0) gives a valid block; CoTaskMemRealloc(nullptr, n)
// allocates, CoTaskMemRealloc(p, 0) frees and gives nullptr.
LPVOID CoTaskMemAlloc(SIZE_T cb);
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void CoTaskMemFree(LPVOID pv);

namespace qv::com {

// How often this thread has initialised the library and OLE (for later layers
// that must know whether hosting is possible, and for tests).
int comInitCount();
int oleInitCount();

}  // namespace qv::com
