#include "platform/os/user/Dde.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/Memory.h"

namespace {

bool packed(UINT msg) {
  return msg == WM_DDE_ACK || msg == WM_DDE_ADVISE || msg == WM_DDE_DATA || msg == WM_DDE_POKE;
}

struct Pair {
  UINT_PTR low;
  UINT_PTR high;
};

LPARAM unpacked(UINT msg, UINT_PTR low, UINT_PTR high) {
  if (msg == WM_DDE_EXECUTE) return static_cast<LPARAM>(high);
  return MAKELPARAM(static_cast<WORD>(low), static_cast<WORD>(high));
}

std::string atomName(UINT_PTR atom) {
  if (atom == 0) return "";
  char name[256] = {};
  GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
  return name;
}

// The command text of an execute: up to its zero, never past its block.
std::string commandText(HGLOBAL commands) {
  const auto* text = static_cast<const char*>(GlobalLock(commands));
  if (text == nullptr) return "";
  const std::string out(text, strnlen(text, GlobalSize(commands)));
  GlobalUnlock(commands);
  return out;
}

}  // namespace

LPARAM PackDDElParam(UINT msg, UINT_PTR low, UINT_PTR high) {
  if (!packed(msg)) return unpacked(msg, low, high);
  HGLOBAL pair = GlobalAlloc(GMEM_MOVEABLE, sizeof(Pair));
  auto* p = static_cast<Pair*>(GlobalLock(pair));
  if (p == nullptr) {
    GlobalFree(pair);
    return 0;
  }
  *p = Pair{low, high};
  GlobalUnlock(pair);
  return reinterpret_cast<LPARAM>(pair);
}

BOOL UnpackDDElParam(UINT msg, LPARAM lParam, PUINT_PTR low, PUINT_PTR high) {
  UINT_PTR lo = 0, hi = 0;
  BOOL ok = TRUE;
  if (!packed(msg)) {
    if (msg == WM_DDE_EXECUTE) {
      hi = static_cast<UINT_PTR>(lParam);
    } else {
      lo = LOWORD(static_cast<DWORD_PTR>(lParam));
      hi = HIWORD(static_cast<DWORD_PTR>(lParam));
    }
  } else {
    auto pair = reinterpret_cast<HGLOBAL>(lParam);
    const auto* p = GlobalSize(pair) >= sizeof(Pair) ? static_cast<const Pair*>(GlobalLock(pair)) : nullptr;
    if (p != nullptr) {
      lo = p->low;
      hi = p->high;
      GlobalUnlock(pair);
    } else {
      ok = FALSE;
    }
  }
  if (low) *low = lo;
  if (high) *high = hi;
  return ok;
}

BOOL FreeDDElParam(UINT msg, LPARAM lParam) {
  if (!packed(msg)) return TRUE;
  auto pair = reinterpret_cast<HGLOBAL>(lParam);
  if (GlobalSize(pair) < sizeof(Pair)) return FALSE;
  return GlobalFree(pair) == nullptr ? TRUE : FALSE;
}

LPARAM ReuseDDElParam(LPARAM lParam, UINT msgIn, UINT msgOut, UINT_PTR low, UINT_PTR high) {
  if (packed(msgIn) && packed(msgOut)) {
    auto pair = reinterpret_cast<HGLOBAL>(lParam);
    if (GlobalSize(pair) >= sizeof(Pair)) {
      if (auto* p = static_cast<Pair*>(GlobalLock(pair))) {
        *p = Pair{low, high};
        GlobalUnlock(pair);
        return lParam;
      }
    }
    return PackDDElParam(msgOut, low, high);
  }
  if (packed(msgIn)) FreeDDElParam(msgIn, lParam);
  return PackDDElParam(msgOut, low, high);
}

namespace qv::os::user {

void recordDdeMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool sent) {
  (void)wParam;
  switch (msg) {
    case WM_DDE_INITIATE:
      qv::desktop::Recorder::record("dde", {"initiate", atomName(LOWORD(static_cast<DWORD_PTR>(lParam))),
                                            atomName(HIWORD(static_cast<DWORD_PTR>(lParam)))});
      return;
    case WM_DDE_ACK: {
      if (sent) {
        qv::desktop::Recorder::record("dde", {"ack", atomName(LOWORD(static_cast<DWORD_PTR>(lParam))),
                                              atomName(HIWORD(static_cast<DWORD_PTR>(lParam)))});
        return;
      }
      UINT_PTR status = 0;
      UnpackDDElParam(WM_DDE_ACK, lParam, &status, nullptr);
      char word[16];
      std::snprintf(word, sizeof word, "0x%04X", static_cast<unsigned>(status & 0xFFFF));
      qv::desktop::Recorder::record("dde", {"ack", word});
      return;
    }
    case WM_DDE_EXECUTE:
      qv::desktop::Recorder::record("dde", {"execute", commandText(reinterpret_cast<HGLOBAL>(lParam))});
      return;
    case WM_DDE_TERMINATE: qv::desktop::Recorder::record("dde", {"terminate"}); return;
    case WM_DDE_ADVISE: qv::desktop::Recorder::record("dde", {"advise"}); return;
    case WM_DDE_UNADVISE: qv::desktop::Recorder::record("dde", {"unadvise"}); return;
    case WM_DDE_DATA: qv::desktop::Recorder::record("dde", {"data"}); return;
    case WM_DDE_REQUEST: qv::desktop::Recorder::record("dde", {"request"}); return;
    case WM_DDE_POKE: qv::desktop::Recorder::record("dde", {"poke"}); return;
    default: return;
  }
}

}  // namespace qv::os::user
