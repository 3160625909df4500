// The executable image reader the simulated machine uses for file versions
// and self-registration entry points, on any bytes.
#include "backends/sim/pe_version.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> image = fuzz::AsBytes(data, size);
  (void)ReadImageFileVersion(image);
  (void)ImageExportsName(image, "DllRegisterServer");
  const ImageReader read = [&image](std::uint64_t offset, void* buffer, std::uint32_t count) {
    if (offset > image.size() || count > image.size() - offset) return false;
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), count,
                static_cast<std::uint8_t*>(buffer));
    return true;
  };
  (void)IsPeImage(read, image.size());
  return 0;
}
