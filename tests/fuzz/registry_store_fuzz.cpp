// The simulated registry's store file parser on any text.  A store it
// accepts, written back and read again, must give the same text.
#include <cstdlib>
#include <stdexcept>

#include "backends/sim/sim_registry_store.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::KeyTable keys;
  try {
    sim::ParseStore(std::string(fuzz::AsText(data, size)), "fuzz.reg", keys);
  } catch (const std::runtime_error&) {
    return 0;
  }
  const std::string once = sim::FormatStore(keys);
  sim::KeyTable again;
  sim::ParseStore(once, "written", again);
  if (sim::FormatStore(again) != once) std::abort();
  return 0;
}
