#include "platform/os/kernel/KernelObject.h"

#include <map>
#include <mutex>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/LastError.h"

namespace qv::os {
namespace {

struct Table {
  std::mutex m;
  std::map<ULONG_PTR, std::shared_ptr<KernelObject>> objects;
  ULONG_PTR next = 0x1000;
};

Table& table() {
  static Table* t = [] {
    auto* tab = new Table;
    // A fresh desktop starts with no handles open, as a new process would.
    qv::desktop::onReset([tab] {
      std::map<ULONG_PTR, std::shared_ptr<KernelObject>> gone;
      {
        std::lock_guard<std::mutex> lock(tab->m);
        gone.swap(tab->objects);
      }
    });
    return tab;
  }();
  return *t;
}

}  // namespace

KernelObject::~KernelObject() = default;

DWORD KernelObject::wait(DWORD) {
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}

HANDLE addHandle(std::shared_ptr<KernelObject> object) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  ULONG_PTR v = t.next;
  t.next += 4;
  t.objects[v] = std::move(object);
  return reinterpret_cast<HANDLE>(v);
}

std::shared_ptr<KernelObject> lookupHandle(HANDLE h) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  auto it = t.objects.find(reinterpret_cast<ULONG_PTR>(h));
  return it == t.objects.end() ? nullptr : it->second;
}

bool removeHandle(HANDLE h) {
  std::shared_ptr<KernelObject> gone;  // destroyed outside the lock
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  auto it = t.objects.find(reinterpret_cast<ULONG_PTR>(h));
  if (it == t.objects.end()) return false;
  gone = std::move(it->second);
  t.objects.erase(it);
  return true;
}

}  // namespace qv::os

BOOL CloseHandle(HANDLE h) {
  std::shared_ptr<qv::os::KernelObject> gone = qv::os::lookupHandle(h);
  if (!gone || !qv::os::removeHandle(h)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  gone.reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds) {
  std::shared_ptr<qv::os::KernelObject> o = qv::os::lookupHandle(h);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return o->wait(milliseconds);
}
