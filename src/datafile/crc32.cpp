// Slicing by eight: eight tables of 256 entries, built once, let the loop
// fold eight input bytes into the CRC with eight independent lookups.  The
// tables are built at the first use rather than stored in the program:
// 8 KB less of SETUP.EXE for some microseconds once.
#include "datafile/crc32.h"

#include <array>

namespace velmora {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables MakeTables() {
  Tables tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t crc = n;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) != 0 ? kPolynomial : 0u);
    tables[0][n] = crc;
  }
  for (std::uint32_t n = 0; n < 256; ++n)
    for (std::size_t t = 1; t < 8; ++t)
      tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFFu];
  return tables;
}

const Tables& CrcTables() {
  static const Tables tables = MakeTables();
  return tables;
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
  const Tables& tables = CrcTables();
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  crc = ~crc;
  for (; size >= 8; size -= 8, bytes += 8) {
    const std::uint32_t low =
        crc ^
        (static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    crc = tables[7][low & 0xFFu] ^ tables[6][(low >> 8) & 0xFFu] ^ tables[5][(low >> 16) & 0xFFu] ^
          tables[4][low >> 24] ^ tables[3][bytes[4]] ^ tables[2][bytes[5]] ^ tables[1][bytes[6]] ^
          tables[0][bytes[7]];
  }
  for (; size > 0; --size, ++bytes) crc = (crc >> 8) ^ tables[0][(crc ^ *bytes) & 0xFFu];
  return ~crc;
}

}  // namespace velmora
