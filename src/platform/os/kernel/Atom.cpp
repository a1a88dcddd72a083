#include "platform/os/kernel/Atom.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/Recorder.h"

namespace {

constexpr std::size_t kMaxName = 255;
constexpr ATOM kFirstString = MAXINTATOM;
constexpr std::size_t kSlots = 0x10000 - kFirstString;

struct Entry {
  std::string name;
  unsigned refs = 0;  // 0: a free slot
};

struct Table {
  std::mutex m;
  std::vector<Entry> slots;  // index = atom - kFirstString
};

Table& table() {
  static Table* t = [] {
    auto* made = new Table;
    // A fresh desktop starts with an empty table, as after a new log-on.
    qv::desktop::onReset([made] {
      std::lock_guard<std::mutex> lock(made->m);
      made->slots.clear();
    });
    return made;
  }();
  return *t;
}

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    // Latin letters fold in both halves of the ANSI code page.
    auto fold = [](unsigned c) {
      if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
      return c;
    };
    if (fold(ca) != fold(cb)) return false;
  }
  return true;
}

// What a name argument stands for: an integer atom, a string, or nothing
// usable (the last error is set).
struct Name {
  ATOM integer = 0;
  std::string text;
  bool valid = false;
};

Name parse(LPCSTR name) {
  Name n;
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return n;
  }
  if (IS_INTRESOURCE(name)) {
    const auto value = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    if (value == 0 || value >= MAXINTATOM) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return n;
    }
    n.integer = value;
    n.valid = true;
    return n;
  }
  const std::size_t length = strnlen(name, kMaxName + 1);
  if (length == 0) {
    SetLastError(ERROR_INVALID_NAME);
    return n;
  }
  if (length > kMaxName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return n;
  }
  n.text.assign(name, length);
  // "#" and decimal digits only: the integer atom of that number.
  if (n.text[0] == '#' && n.text.size() > 1 &&
      n.text.find_first_not_of("0123456789", 1) == std::string::npos) {
    unsigned long value = 0;
    for (std::size_t i = 1; i < n.text.size() && value < MAXINTATOM; ++i) value = value * 10 + (n.text[i] - '0');
    if (value == 0 || value >= MAXINTATOM) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return n;
    }
    n.integer = static_cast<ATOM>(value);
  }
  n.valid = true;
  return n;
}

std::optional<std::size_t> findSlot(const Table& t, const std::string& name) {
  for (std::size_t i = 0; i < t.slots.size(); ++i)
    if (t.slots[i].refs > 0 && sameName(t.slots[i].name, name)) return i;
  return std::nullopt;
}

ATOM atomOf(std::size_t slot) { return static_cast<ATOM>(kFirstString + slot); }

}  // namespace

ATOM GlobalAddAtomA(LPCSTR name) {
  const Name n = parse(name);
  if (!n.valid || n.integer) return n.integer;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  if (auto slot = findSlot(t, n.text)) {
    ++t.slots[*slot].refs;
    return atomOf(*slot);
  }
  for (std::size_t i = 0; i < t.slots.size(); ++i)
    if (t.slots[i].refs == 0) {
      t.slots[i] = Entry{n.text, 1};
      return atomOf(i);
    }
  if (t.slots.size() >= kSlots) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  t.slots.push_back(Entry{n.text, 1});
  return atomOf(t.slots.size() - 1);
}

ATOM GlobalFindAtomA(LPCSTR name) {
  const Name n = parse(name);
  if (!n.valid || n.integer) return n.integer;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  if (auto slot = findSlot(t, n.text)) return atomOf(*slot);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return 0;
}

ATOM GlobalDeleteAtom(ATOM atom) {
  if (atom != 0 && atom < MAXINTATOM) return 0;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.m);
  const std::size_t slot = static_cast<std::size_t>(atom) - kFirstString;
  if (atom == 0 || slot >= t.slots.size() || t.slots[slot].refs == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return atom;
  }
  if (--t.slots[slot].refs == 0) t.slots[slot].name.clear();
  return 0;
}

UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name;
  if (atom != 0 && atom < MAXINTATOM) {
    name = "#" + std::to_string(atom);
  } else {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.m);
    const std::size_t slot = static_cast<std::size_t>(atom) - kFirstString;
    if (atom == 0 || slot >= t.slots.size() || t.slots[slot].refs == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      buffer[0] = '\0';
      return 0;
    }
    name = t.slots[slot].name;
  }
  const std::size_t n = std::min(name.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<UINT>(n);
}
