// Bitmap file images for the tests: a file header, a 40-byte info header
// (or a 12-byte core header), a colour table and rows of pixels, every
// field settable so that tests can damage one at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/little_endian.h"

namespace velmora::test {

struct BmpShape {
  std::int32_t width = 4;
  std::int32_t height = 2;  // negative: rows from the top down
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;  // 0: a full table for 8 bits or fewer
  bool coreHeader = false;
  std::uint8_t fill = 0x5A;  // every pixel byte
};

// The image as a .bmp file holds it; the offset of the bits follows the
// colour table, and the image size is that of the uncompressed rows.
inline std::vector<std::uint8_t> MakeBmp(const BmpShape& shape) {
  const std::uint32_t headerSize = shape.coreHeader ? 12 : 40;
  std::uint32_t colours = shape.coloursUsed;
  if (colours == 0 && shape.bitCount <= 8) colours = 1u << shape.bitCount;
  const std::uint32_t entry = shape.coreHeader ? 3 : 4;
  const std::uint32_t offset = 14 + headerSize + colours * entry;
  const std::uint32_t stride =
      (static_cast<std::uint32_t>(shape.width) * shape.bitCount + 31) / 32 * 4;
  const std::uint32_t rows =
      static_cast<std::uint32_t>(shape.height < 0 ? -shape.height : shape.height);
  const std::uint32_t bits = stride * rows;

  std::vector<std::uint8_t> image(offset + bits, shape.fill);
  image[0] = 'B';
  image[1] = 'M';
  StoreU32(&image[2], static_cast<std::uint32_t>(image.size()));
  StoreU32(&image[6], 0);
  StoreU32(&image[10], offset);
  std::uint8_t* info = &image[14];
  StoreU32(info, headerSize);
  if (shape.coreHeader) {
    StoreU16(info + 4, static_cast<std::uint16_t>(shape.width));
    StoreU16(info + 6, static_cast<std::uint16_t>(shape.height));
    StoreU16(info + 8, 1);
    StoreU16(info + 10, shape.bitCount);
  } else {
    StoreU32(info + 4, static_cast<std::uint32_t>(shape.width));
    StoreU32(info + 8, static_cast<std::uint32_t>(shape.height));
    StoreU16(info + 12, 1);
    StoreU16(info + 14, shape.bitCount);
    StoreU32(info + 16, shape.compression);
    StoreU32(info + 20, bits);
    StoreU32(info + 24, 2835);
    StoreU32(info + 28, 2835);
    StoreU32(info + 32, shape.coloursUsed);
    StoreU32(info + 36, 0);
  }
  for (std::uint32_t i = 0; i < colours * entry; ++i)
    info[headerSize + i] = static_cast<std::uint8_t>(i);
  return image;
}

inline std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace velmora::test
