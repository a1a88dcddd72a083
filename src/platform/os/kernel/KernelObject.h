// The process's table of kernel handles. Files, find handles, processes,
// threads and semaphores are kernel objects behind HANDLE values; CloseHandle
// and WaitForSingleObject work on every kind.
#pragma once

#include <memory>

#include "platform/os/Types.h"

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

namespace qv::os {

class KernelObject {
 public:
  virtual ~KernelObject();
  // Waits until the object is signalled or `timeoutMs` passes (INFINITE:
  // without end). Objects that cannot be waited for fail with
  // ERROR_INVALID_HANDLE.
  virtual DWORD wait(DWORD timeoutMs);
};

// Adds an object and returns its new handle. Handle values are never reused
// within a run, so a stale handle cannot reach a newer object.
HANDLE addHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> lookupHandle(HANDLE h);
template <typename T>
std::shared_ptr<T> handleAs(HANDLE h) {
  return std::dynamic_pointer_cast<T>(lookupHandle(h));
}
// Removes the handle; the object ends when nobody else holds it.
bool removeHandle(HANDLE h);

}  // namespace qv::os

BOOL CloseHandle(HANDLE h);
DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds);
