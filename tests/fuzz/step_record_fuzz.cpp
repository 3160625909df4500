// The step factory and each step's record reader on any bytes, as the
// installation reads its script from a first media file: the plain prefix
// skipped, the header read, then record after record through the decoder
// until the count is reached or the factory refuses one.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "fuzz_target.h"
#include "steps/step.h"
#include "steps/step_factory.h"

using namespace velmora;

namespace {

// More records than any package holds is no longer a test of the reader.
constexpr std::uint32_t kMaxRecords = 256;

bool ReadHeader(CCompressedFile& file, DataFileHeader& header) {
  std::uint32_t titleLength = 0;
  return ReadHeaderVersion(file, header) == LayoutFault::none &&
         ReadHeaderTitle(file, header, titleLength) == LayoutFault::none &&
         ReadHeaderReserved(file, header) == LayoutFault::none &&
         ReadHeaderFlagsAndCount(file, header) == LayoutFault::none;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Sandbox sandbox;
  CCompressedFile file;
  sandbox.OpenInput(file, "C:\\velmor.1", data, size);
  DataFileHeader header;
  try {
    if (!SkipPrefix(file)) return 0;
    file.SetCompressed(true);
    // The version is not checked: records of any stated version are read.
    if (!ReadHeader(file, header)) return 0;
  } catch (const CFileException&) {
    return 0;
  }
  for (std::uint32_t i = 0; i < std::min(header.stepCount, kMaxRecords); ++i) {
    const std::unique_ptr<CStep> step(CreateStep(&file));
    if (!step) break;
    (void)step->GetDataSize();
  }
  return 0;
}
