// The checks a bitmap file passes before anything reaches the platform: an
// accepted image's info header and pixel bits must lie wholly inside the
// bytes it was read from (the platform reads all of them).
#include <cstdlib>

#include "fuzz_target.h"
#include "services/bitmap_loader.h"

using namespace velmora;

namespace {

bool Inside(const std::vector<std::uint8_t>& file, const std::uint8_t* start, std::size_t length) {
  const std::uint8_t* begin = file.data();
  return start >= begin && start <= begin + file.size() &&
         length <= static_cast<std::size_t>(begin + file.size() - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's size, so that a read past it is caught.
  const std::vector<std::uint8_t> file = fuzz::AsBytes(data, size);
  const std::optional<DibImage> image = CheckBitmapImage(file.data(), file.size());
  if (!image) return 0;
  if (!Inside(file, image->info, image->infoSize) || !Inside(file, image->bits, image->bitsSize))
    std::abort();
  if (image->width <= 0 || image->height == 0 || image->bitsSize == 0) std::abort();
  return 0;
}
