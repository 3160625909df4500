// The simulated machine's profile (.ini) file parser on any bytes.  Rewrites
// must settle: the first may still change the text as Wine's does (a line
// empty up to a NUL is written as a blank line, which the next read drops),
// but from the second on, rewriting must give the same text.
#include <cstdlib>

#include "backends/sim/sim_profile_text.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::ProfileText text = sim::ParseProfile(fuzz::AsText(data, size));
  (void)sim::FindProfileLine(text, "Run", "Load");
  const std::string twice = sim::FormatProfile(sim::ParseProfile(sim::FormatProfile(text)));
  if (sim::FormatProfile(sim::ParseProfile(twice)) != twice) std::abort();
  sim::SetProfileLine(text, "Velmora", "Key", "Value");
  (void)sim::FormatProfile(text);
  return 0;
}
