// A stream over memory that the stand-in modules and their tests hand to
// GDI+, which reads pictures from and writes them to such streams.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/Stream.h"
#include "platform/os/Types.h"

namespace qv::modules {

// A new stream over a copy of the bytes, positioned at the start, with one
// reference for the caller.
IStream* createMemoryStream(const std::vector<std::uint8_t>& bytes = {});
// The whole content of a stream made by createMemoryStream (empty for
// other streams).
std::vector<std::uint8_t> memoryStreamBytes(IStream* stream);
// Reads a stream from its current position to its end.
bool readWholeStream(IStream* stream, std::vector<std::uint8_t>& out);

}  // namespace qv::modules
