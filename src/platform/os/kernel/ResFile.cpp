#include "platform/os/kernel/ResFile.h"

#include <cstring>

namespace qv::os {

namespace {

DWORD rd32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}
WORD rd16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

void put32(std::vector<BYTE>& out, DWORD v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
}
void put16(std::vector<BYTE>& out, WORD v) {
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}
void align4(std::vector<BYTE>& out) {
  while (out.size() % 4) out.push_back(0);
}

// Reads a TYPE or NAME field at `pos` within [0, end); advances `pos`.
bool readId(const BYTE* b, std::size_t end, std::size_t& pos, ResId& id) {
  if (pos + 2 > end) return false;
  if (rd16(b + pos) == 0xFFFF) {
    if (pos + 4 > end) return false;
    id = ResId::id(rd16(b + pos + 2));
    pos += 4;
    return true;
  }
  std::u16string s;
  for (;;) {
    if (pos + 2 > end) return false;
    WORD c = rd16(b + pos);
    pos += 2;
    if (c == 0) break;
    s.push_back(static_cast<char16_t>(c));
  }
  id = ResId::text(std::move(s));
  return true;
}

void writeId(std::vector<BYTE>& out, const ResId& id) {
  if (id.isOrdinal) {
    put16(out, 0xFFFF);
    put16(out, id.ordinal);
    return;
  }
  for (char16_t c : id.name) put16(out, static_cast<WORD>(c));
  put16(out, 0);
}

constexpr BYTE kEmptyEntry[32] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0,
                                  0, 0, 0, 0, 0,    0, 0, 0, 0,    0,    0, 0, 0,    0,    0, 0};

// The marker, each byte xor 0x5A, so that these bytes are not the marker.
constexpr BYTE kMarkerMasked[16] = {0x0B, 0x0C, 0x08, 0x09, 0x08, 0x19, 0x75, 0x1F,
                                    0x37, 0x38, 0x3F, 0x3E, 0x75, 0x6B, 0xC4, 0xA5};

}  // namespace

std::string embedMarker() {
  std::string m(16, '\0');
  for (int i = 0; i < 16; ++i) m[i] = static_cast<char>(kMarkerMasked[i] ^ 0x5A);
  return m;
}

bool isResContainer(const BYTE* bytes, std::size_t size) {
  return bytes && size >= 32 && std::memcmp(bytes, kEmptyEntry, 32) == 0;
}

std::optional<std::vector<ResEntry>> parseResContainer(const BYTE* bytes, std::size_t size, bool borrow) {
  if (!isResContainer(bytes, size)) return std::nullopt;
  std::vector<ResEntry> entries;
  std::size_t pos = 32;
  while (pos < size) {
    // Trailing padding after the last entry is tolerated.
    if (size - pos < 8) {
      for (std::size_t i = pos; i < size; ++i)
        if (bytes[i]) return std::nullopt;
      break;
    }
    const DWORD dataSize = rd32(bytes + pos);
    const DWORD headerSize = rd32(bytes + pos + 4);
    if (headerSize < 16 + 8 || headerSize > size - pos) return std::nullopt;
    const std::size_t headerEnd = pos + headerSize;
    std::size_t p = pos + 8;
    ResEntry e;
    if (!readId(bytes, headerEnd, p, e.type) || !readId(bytes, headerEnd, p, e.name)) return std::nullopt;
    p = (p + 3) & ~std::size_t{3};
    if (p + 16 > headerEnd) return std::nullopt;
    e.dataVersion = rd32(bytes + p);
    e.memoryFlags = rd16(bytes + p + 4);
    e.language = rd16(bytes + p + 6);
    e.version = rd32(bytes + p + 8);
    e.characteristics = rd32(bytes + p + 12);
    if (dataSize > size - headerEnd) return std::nullopt;
    if (borrow)
      e.borrowed = std::span<const BYTE>(bytes + headerEnd, dataSize);
    else
      e.data.assign(bytes + headerEnd, bytes + headerEnd + dataSize);
    pos = headerEnd + dataSize;
    pos = (pos + 3) & ~std::size_t{3};
    if (pos > size) pos = size;
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<BYTE> writeResContainer(const std::vector<ResEntry>& entries) {
  std::vector<BYTE> out(kEmptyEntry, kEmptyEntry + 32);
  for (const ResEntry& e : entries) {
    std::vector<BYTE> head;
    writeId(head, e.type);
    writeId(head, e.name);
    align4(head);
    put32(head, e.dataVersion);
    put16(head, e.memoryFlags);
    put16(head, e.language);
    put32(head, e.version);
    put32(head, e.characteristics);
    const std::span<const BYTE> data = e.bytes();
    put32(out, static_cast<DWORD>(data.size()));
    put32(out, static_cast<DWORD>(head.size() + 8));
    out.insert(out.end(), head.begin(), head.end());
    out.insert(out.end(), data.begin(), data.end());
    align4(out);
  }
  return out;
}

std::optional<std::vector<BYTE>> findEmbeddedContainer(const BYTE* bytes, std::size_t size) {
  if (!bytes || size < 24) return std::nullopt;
  const std::string marker = embedMarker();
  const BYTE* end = bytes + size;
  const BYTE* p = bytes;
  while (true) {
    p = static_cast<const BYTE*>(std::memchr(p, static_cast<BYTE>(marker[0]), static_cast<std::size_t>(end - p)));
    if (!p || end - p < 24) return std::nullopt;
    if (std::memcmp(p, marker.data(), 16) == 0) {
      std::uint64_t len = 0;
      for (int i = 0; i < 8; ++i) len |= static_cast<std::uint64_t>(p[16 + i]) << (8 * i);
      const BYTE* body = p + 24;
      if (len <= static_cast<std::uint64_t>(end - body) && parseResContainer(body, static_cast<std::size_t>(len)))
        return std::vector<BYTE>(body, body + len);
    }
    ++p;
  }
}

}  // namespace qv::os
