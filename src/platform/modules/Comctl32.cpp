#include "platform/modules/Comctl32.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/os/kernel/Module.h"

namespace qv::modules {

namespace {

struct State {
  std::mutex m;
  std::map<void*, DWORD> sizes;
};

State& st() {
  static State* s = new State;
  return *s;
}

const bool kRegistered = (registerComctl32(), true);

}  // namespace

LPVOID CommonControlsAlloc(DWORD size) {
  void* block = std::calloc(size ? size : 1, 1);
  if (!block) return nullptr;
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  s.sizes[block] = size;
  return block;
}

LPVOID CommonControlsReAlloc(LPVOID block, DWORD size) {
  if (!block) return CommonControlsAlloc(size);
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  auto it = s.sizes.find(block);
  if (it == s.sizes.end()) return nullptr;
  void* moved = std::realloc(block, size ? size : 1);
  if (!moved) return nullptr;
  // New bytes are zero, as Alloc's are.
  if (size > it->second) std::memset(static_cast<BYTE*>(moved) + it->second, 0, size - it->second);
  s.sizes.erase(it);
  s.sizes[moved] = size;
  return moved;
}

BOOL CommonControlsFreeBlock(LPVOID block) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  auto it = s.sizes.find(block);
  if (it == s.sizes.end()) return FALSE;
  s.sizes.erase(it);
  std::free(block);
  return TRUE;
}

DWORD CommonControlsGetSize(LPVOID block) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  auto it = s.sizes.find(block);
  return it == s.sizes.end() ? 0 : it->second;
}

int commonControlsBlockCount() {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return static_cast<int>(s.sizes.size());
}

void registerComctl32() {
  (void)kRegistered;
  qv::os::StandInModule m;
  m.fileName = "comctl32.dll";
  m.exports = {
      qv::os::StandInExport::of("", &CommonControlsAlloc, 71),
      qv::os::StandInExport::of("", &CommonControlsReAlloc, 72),
      qv::os::StandInExport::of("", &CommonControlsFreeBlock, 73),
      qv::os::StandInExport::of("", &CommonControlsGetSize, 74),
  };
  qv::os::registerStandInModule(std::move(m));
}

}  // namespace qv::modules
