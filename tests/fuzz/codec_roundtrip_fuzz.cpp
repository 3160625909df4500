// Encode, then decode: the decoder must give back exactly the input, and the
// encoding may be no longer than the input stored as literal runs (one
// control byte per 128 bytes).
#include <cstdlib>

#include "authoring/stretch_encoder.h"
#include "datafile/compressed_file.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input = fuzz::AsBytes(data, size);
  StretchEncoder encoder;
  const std::vector<std::uint8_t> encoded = encoder.Encode(input);
  if (encoded.size() > size + (size + 127) / 128) std::abort();

  fuzz::Sandbox sandbox;
  sandbox.machine.SetFile("C:\\IN.BIN", encoded);
  CCompressedFile file;
  if (!file.Open("C:\\IN.BIN", CFile::modeRead)) std::abort();
  file.SetCompressed(true);
  // One byte more than the input: the stretch must end where the input did.
  std::vector<std::uint8_t> decoded(size + 1);
  const std::uint32_t got = file.Read(decoded.data(), static_cast<std::uint32_t>(decoded.size()));
  if (got != size || !std::equal(input.begin(), input.end(), decoded.begin())) std::abort();
  file.Close();
  return 0;
}
