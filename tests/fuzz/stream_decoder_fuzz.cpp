// The data stream's decoder on any bytes: the first two bytes choose how
// much each read asks for, the rest is a compressed stretch.  The decoder
// must deliver no more than was asked, whatever the records claim.
#include <cstdlib>

#include "datafile/compressed_file.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t chunk = 1 + (data[0] | (data[1] << 8));
  fuzz::Sandbox sandbox;
  CCompressedFile file;
  sandbox.OpenInput(file, "C:\\IN.BIN", data + 2, size - 2);
  file.SetCompressed(true);
  std::vector<std::uint8_t> out(chunk);
  std::uint64_t total = 0;
  while (total < fuzz::kOutputBound) {
    const std::uint32_t got = file.Read(out.data(), chunk);
    if (got > chunk) std::abort();
    total += got;
    if (got < chunk) break;
  }
  file.Close();
  return 0;
}
