// CRC-32 as zip, PNG and Ethernet compute it: the reflected polynomial
// 0xEDB88320, starting value and final XOR 0xFFFFFFFF.  The package
// description (package_description.h) stores one per media file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// Continues a CRC over `size` more bytes: Crc32Update(Crc32Update(0, a), b)
// is the CRC of a followed by b; 0 is the CRC of no bytes.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size);

inline std::uint32_t Crc32(const void* data, std::size_t size) {
  return Crc32Update(0, data, size);
}

}  // namespace velmora
