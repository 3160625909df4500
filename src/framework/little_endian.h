// Little-endian integers in byte buffers: the data files, the uninstall log,
// registry values and executable headers all store integers lowest byte
// first.  Loads read from, stores write into, appends add to the end of a
// byte container (anything with push_back of a byte).
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// The `width` bytes at `bytes` (at most 8) as an unsigned integer.
constexpr std::uint64_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

// The lowest `width` bytes of `value` into `bytes`.
constexpr void StoreLittleEndian(std::uint8_t* bytes, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr std::uint16_t LoadU16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(LoadLittleEndian(bytes, 2));
}
constexpr std::uint32_t LoadU32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(LoadLittleEndian(bytes, 4));
}

constexpr void StoreU16(std::uint8_t* bytes, std::uint16_t value) {
  StoreLittleEndian(bytes, value, 2);
}
constexpr void StoreU32(std::uint8_t* bytes, std::uint32_t value) {
  StoreLittleEndian(bytes, value, 4);
}
constexpr void StoreU64(std::uint8_t* bytes, std::uint64_t value) {
  StoreLittleEndian(bytes, value, 8);
}

template <typename Bytes>
void AppendU32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace velmora
