// SETUP.EXE's command line on any text, in both modes (the first byte's low
// bit chooses).  A line is either good or has an error in words, and the
// uninstall log path is never made up: it is a part of the line.
#include <cstdlib>

#include "fuzz_target.h"
#include "shell/setup_command_line.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string line(fuzz::AsText(data + 1, size - 1));
  const bool installMode = (data[0] & 1) != 0;
  const SetupOptions options = ParseSetupCommandLine(line, installMode);
  if (!options.error.empty()) return 0;
  if (installMode && !options.arguments.empty()) std::abort();
  if (!installMode && line.find(options.arguments) == std::string::npos) std::abort();
  return 0;
}
