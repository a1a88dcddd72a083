#include "platform/os/kernel/ShellShared.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "platform/desktop/Recorder.h"

namespace {

struct Block {
  std::unique_ptr<BYTE[]> bytes;
  DWORD process = 0;
  unsigned locks = 0;
  bool freed = false;
};

struct State {
  std::mutex m;
  // Keyed by the handle's value; handles are small numbers, never addresses.
  std::map<ULONG_PTR, std::unique_ptr<Block>> blocks;
  ULONG_PTR next = 0x5000;
};

State& st() {
  static State* s = [] {
    auto* made = new State;
    qv::desktop::onReset([made] {
      std::lock_guard<std::mutex> lock(made->m);
      made->blocks.clear();
      made->next = 0x5000;
    });
    return made;
  }();
  return *s;
}

Block* live(State& s, HANDLE shared, DWORD processId) {
  auto it = s.blocks.find(reinterpret_cast<ULONG_PTR>(shared));
  if (it == s.blocks.end() || it->second->freed || it->second->process != processId) return nullptr;
  return it->second.get();
}

}  // namespace

HANDLE SHAllocShared(LPCVOID data, DWORD size, DWORD processId) {
  auto block = std::make_unique<Block>();
  block->bytes.reset(new (std::nothrow) BYTE[size ? size : 1]);
  if (!block->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (data != nullptr)
    std::memcpy(block->bytes.get(), data, size);
  else
    std::memset(block->bytes.get(), 0, size ? size : 1);
  block->process = processId;
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  const ULONG_PTR handle = s.next;
  s.next += 4;
  s.blocks[handle] = std::move(block);
  return reinterpret_cast<HANDLE>(handle);
}

LPVOID SHLockShared(HANDLE shared, DWORD processId) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* block = live(s, shared, processId);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++block->locks;
  return block->bytes.get();
}

BOOL SHUnlockShared(LPVOID data) {
  if (data == nullptr) return FALSE;
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  for (auto it = s.blocks.begin(); it != s.blocks.end(); ++it) {
    Block& block = *it->second;
    if (block.bytes.get() != data || block.locks == 0) continue;
    if (--block.locks == 0 && block.freed) s.blocks.erase(it);
    return TRUE;
  }
  return FALSE;
}

BOOL SHFreeShared(HANDLE shared, DWORD processId) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* block = live(s, shared, processId);
  if (block == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (block->locks == 0)
    s.blocks.erase(reinterpret_cast<ULONG_PTR>(shared));
  else
    block->freed = true;
  return TRUE;
}

namespace qv::os {

int sharedBlockCount() {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return static_cast<int>(s.blocks.size());
}

}  // namespace qv::os
