#include "authoring/payload_source.h"

#include <cstring>

namespace velmora {

void MemoryPayload::Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const {
  if (offset > size_ || length > size_ - offset)
    throw PayloadReadError("reading past the end of the payload in memory");
  if (length != 0) std::memcpy(buffer, data_ + offset, length);
}

}  // namespace velmora
