// The simulated machine's profile (.ini) file parser on any bytes.  Writing
// a parsed file back and reading it again must give the same text: a file
// the machine rewrites once must not change again on the next rewrite.
#include <cstdlib>

#include "fuzz_target.h"
#include "platform/sim/sim_profile_text.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::ProfileText text = sim::ParseProfile(fuzz::AsText(data, size));
  (void)sim::FindProfileLine(text, "Run", "Load");
  const std::string once = sim::FormatProfile(text);
  const std::string twice = sim::FormatProfile(sim::ParseProfile(once));
  if (once != twice) std::abort();
  sim::SetProfileLine(text, "Velmora", "Key", "Value");
  (void)sim::FormatProfile(text);
  return 0;
}
