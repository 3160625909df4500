#include "services/bitmap_loader.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "framework/file.h"
#include "framework/little_endian.h"
#include "platform/ui.h"
#include "services/file_error_report.h"

namespace velmora {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;      // BITMAPCOREHEADER
constexpr std::size_t kInfoHeaderSize = 40;      // BITMAPINFOHEADER
constexpr std::size_t kLargestHeaderSize = 124;  // BITMAPV5HEADER

// A screen bitmap the platform is asked for stays within these: a side of
// 16384 pixels, 16 Mi pixels in all (64 MiB at 32 bits per pixel).
constexpr std::int64_t kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 24;

enum Compression : std::uint32_t { rgb = 0, rle8 = 1, rle4 = 2, bitfields = 3 };

bool IsBitCount(std::uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::array<PaletteColour, 64> SixtyFourColourPalette() {
  std::array<PaletteColour, 64> palette{};
  for (unsigned i = 0; i < palette.size(); ++i) {
    palette[i].red = static_cast<std::uint8_t>((i & 3) * 85);
    palette[i].green = static_cast<std::uint8_t>((i >> 2 & 3) * 85);
    palette[i].blue = static_cast<std::uint8_t>((i >> 4 & 3) * 85);
  }
  return palette;
}

std::optional<DibImage> CheckBitmapImage(const std::uint8_t* image, std::size_t size) {
  if (image == nullptr || size < kFileHeaderSize + 4) return std::nullopt;
  const std::uint8_t* info = image + kFileHeaderSize;
  const std::size_t headerSize = LoadU32(info);
  const bool core = headerSize == kCoreHeaderSize;
  if (!core && (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize))
    return std::nullopt;
  if (size - kFileHeaderSize < headerSize) return std::nullopt;

  std::int64_t width, height;
  std::uint32_t planes, bitCount, compression = rgb, imageSize = 0, coloursUsed = 0;
  if (core) {
    width = LoadU16(info + 4);
    height = LoadU16(info + 6);
    planes = LoadU16(info + 8);
    bitCount = LoadU16(info + 10);
  } else {
    width = static_cast<std::int32_t>(LoadU32(info + 4));
    height = static_cast<std::int32_t>(LoadU32(info + 8));
    planes = LoadU16(info + 12);
    bitCount = LoadU16(info + 14);
    compression = LoadU32(info + 16);
    imageSize = LoadU32(info + 20);
    coloursUsed = LoadU32(info + 32);
  }
  const std::int64_t rows = std::llabs(height);
  if (planes != 1 || !IsBitCount(bitCount)) return std::nullopt;
  if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide || width * rows > kMaxPixels)
    return std::nullopt;
  const bool runLength = compression == rle8 || compression == rle4;
  if (compression == rle8 && bitCount != 8) return std::nullopt;
  if (compression == rle4 && bitCount != 4) return std::nullopt;
  if (compression == bitfields && bitCount != 16 && bitCount != 32) return std::nullopt;
  if (compression > bitfields) return std::nullopt;  // JPEG, PNG and the like
  if (runLength && height < 0) return std::nullopt;  // run-length images are bottom-up

  // The colour masks follow a 40-byte header; larger headers hold them.
  const std::size_t masks = compression == bitfields && headerSize == kInfoHeaderSize ? 12 : 0;
  std::uint64_t colours = coloursUsed;
  if (bitCount <= 8) {
    if (colours > (1u << bitCount)) return std::nullopt;
    if (colours == 0) colours = 1u << bitCount;
  } else if (colours > 256) {
    return std::nullopt;
  }
  const std::uint64_t infoSize = headerSize + masks + colours * (core ? 3 : 4);
  if (infoSize > size - kFileHeaderSize) return std::nullopt;

  const std::uint64_t bitsOffset = LoadU32(image + 10);
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
  const std::uint64_t bitsSize = runLength ? imageSize : stride * static_cast<std::uint64_t>(rows);
  if (bitsSize == 0) return std::nullopt;
  if (bitsOffset < kFileHeaderSize + headerSize + masks || bitsOffset > size ||
      bitsSize > size - bitsOffset)
    return std::nullopt;

  DibImage dib;
  dib.info = info;
  dib.infoSize = static_cast<std::size_t>(infoSize);
  dib.bits = image + bitsOffset;
  dib.bitsSize = static_cast<std::size_t>(bitsSize);
  dib.width = static_cast<int>(width);
  dib.height = static_cast<int>(height);
  dib.bitCount = static_cast<int>(bitCount);
  return dib;
}

BitmapHandle CreateBitmapFromDib(const std::uint8_t* image, std::size_t size) {
  if (image == nullptr) return 0;
  const std::optional<DibImage> dib = CheckBitmapImage(image, size);
  if (!dib) return 0;
  return CurrentUi().CreateScreenBitmap(*dib);
}

BitmapHandle CreateBitmapFromImage(const std::uint8_t* image, std::size_t size) {
  if (image == nullptr || size < 2 || image[0] != 'B' || image[1] != 'M') return 0;
  return CreateBitmapFromDib(image, size);
}

BitmapHandle LoadBitmapFile(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    ReportBitmapFileError(&error);
    return 0;
  }
  std::unique_ptr<std::uint8_t[]> block;
  std::uint32_t length = 0;
  try {
    length = file.GetLength();
    // Zeroed: a short read leaves zero bytes at the end.
    block.reset(new (std::nothrow) std::uint8_t[length + std::size_t{1}]());
    if (!block) return 0;
    file.Read(block.get(), length);
  } catch (const CFileException& e) {
    // An exception without a cause is no error: the image is built anyway.
    if (e.Cause() != FileCause::none || !block) {
      if (e.Cause() != FileCause::none) ReportBitmapFileError(&e);
      return 0;
    }
  }
  const BitmapHandle bitmap = CreateBitmapFromImage(block.get(), length);
  file.Abort();
  return bitmap;
}

}  // namespace velmora
