// The package description reader on any text: a description it accepts is
// written back to the same text and reads back the same.
#include <cstdlib>

#include "datafile/package_description.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  PackageDescription description;
  if (!ParseDescription(text, description).empty()) return 0;
  const std::string written = FormatDescription(description);
  PackageDescription again;
  if (!ParseDescription(written, again).empty() || FormatDescription(again) != written)
    std::abort();
  return 0;
}
