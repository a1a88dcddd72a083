#include "platform/os/kernel/Memory.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "platform/os/kernel/LastError.h"

namespace {

struct Block {
  std::unique_ptr<BYTE[]> bytes;
  SIZE_T size = 0;
  bool movable = false;
  UINT locks = 0;
};

struct State {
  std::mutex m;
  std::map<HGLOBAL, std::unique_ptr<Block>> blocks;
};

State& st() {
  static State s;
  return s;
}

// Never null, so that a zero-size block still has an address.
std::unique_ptr<BYTE[]> zeroed(SIZE_T n) {
  auto p = std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[n ? n : 1]);
  if (p) std::memset(p.get(), 0, n ? n : 1);
  return p;
}

Block* find(State& s, HGLOBAL mem) {
  auto it = s.blocks.find(mem);
  if (it == s.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  auto b = std::make_unique<Block>();
  b->bytes = zeroed(bytes);
  if (!b->bytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  b->size = bytes;
  b->movable = (flags & GMEM_MOVEABLE) != 0;
  // A movable handle is not an address of the data: a tagged address of
  // the block's record, never dereferenced.
  HGLOBAL h = b->movable ? reinterpret_cast<HGLOBAL>(reinterpret_cast<UINT_PTR>(b.get()) | 2u)
                         : static_cast<HGLOBAL>(b->bytes.get());
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  s.blocks[h] = std::move(b);
  return h;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* b = find(s, mem);
  if (!b) return nullptr;
  if (!b->movable && bytes > b->size && !(flags & GMEM_MOVEABLE)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto fresh = zeroed(bytes);
  if (!fresh) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::memcpy(fresh.get(), b->bytes.get(), bytes < b->size ? bytes : b->size);
  if (b->movable) {
    b->bytes = std::move(fresh);
    b->size = bytes;
    return mem;
  }
  // A fixed block that moves gets a new handle: its new address.
  auto node = s.blocks.extract(mem);
  node.mapped()->bytes = std::move(fresh);
  node.mapped()->size = bytes;
  node.key() = static_cast<HGLOBAL>(node.mapped()->bytes.get());
  HGLOBAL h = node.key();
  s.blocks.insert(std::move(node));
  return h;
}

LPVOID GlobalLock(HGLOBAL mem) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* b = find(s, mem);
  if (!b) return nullptr;
  if (b->movable) ++b->locks;
  return b->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* b = find(s, mem);
  if (!b) return FALSE;
  if (b->locks > 0) --b->locks;
  SetLastError(NO_ERROR);
  return b->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  Block* b = find(s, mem);
  return b ? b->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  if (!find(s, mem)) return mem;
  s.blocks.erase(mem);
  return nullptr;
}

namespace qv::os {

int globalBlockCount() {
  State& s = st();
  std::lock_guard<std::mutex> lock(s.m);
  return static_cast<int>(s.blocks.size());
}

}  // namespace qv::os
