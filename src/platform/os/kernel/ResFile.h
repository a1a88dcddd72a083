// The resource container shared by our programs, data-file modules and the
// stand-in system modules: the platform's 32-bit .res layout. A container
// starts with an empty 32-byte entry; every entry then carries DataSize,
// HeaderSize, TYPE and NAME (an ordinal 0xFFFF + id or a UTF-16 string),
// DataVersion, MemoryFlags, LanguageId, Version and Characteristics, with
// header and data each padded to a DWORD boundary.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/os/Types.h"

namespace qv::os {

// A resource type or name: an ordinal, or a string kept as written.
struct ResId {
  bool isOrdinal = true;
  WORD ordinal = 0;
  std::u16string name;

  static ResId id(WORD v) { return ResId{true, v, {}}; }
  static ResId text(std::u16string s) { return ResId{false, 0, std::move(s)}; }
  bool operator==(const ResId&) const = default;
};

struct ResEntry {
  ResId type;
  ResId name;
  WORD language = 0;
  WORD memoryFlags = 0x1030;  // MOVEABLE | PURE | DISCARDABLE, as resource compilers write
  DWORD dataVersion = 0;
  DWORD version = 0;
  DWORD characteristics = 0;
  std::vector<BYTE> data;
  // Set instead of `data` when the entry lies in a container that outlives
  // it, such as the one in a program's constant data: its bytes then stay
  // where they are, untouched until asked for.
  std::span<const BYTE> borrowed;

  std::span<const BYTE> bytes() const { return borrowed.data() ? borrowed : std::span<const BYTE>(data); }
};

// Whether the bytes start with the empty first entry of a container.
bool isResContainer(const BYTE* bytes, std::size_t size);

// Reads a whole container; nullopt when it is not one or is cut short.
// Entries copy their data unless `borrow` says that the bytes outlive them.
std::optional<std::vector<ResEntry>> parseResContainer(const BYTE* bytes, std::size_t size, bool borrow = false);

// Writes a container, empty first entry included.
std::vector<BYTE> writeResContainer(const std::vector<ResEntry>& entries);

// Programs carry their container behind a marker (see qv_add_resources): the
// 16 marker bytes, the container's size as 8 bytes little-endian, then the
// container. Returns the container found in a program file's bytes, or
// nullopt when there is none.
std::optional<std::vector<BYTE>> findEmbeddedContainer(const BYTE* bytes, std::size_t size);

// The 16 marker bytes. Kept out of the library's own constant data so that a
// scan of a program never mistakes the scanner for an embedded container.
std::string embedMarker();

}  // namespace qv::os
