// The answer-file parser on any text: a rule it cannot read is an error
// naming the line, never anything worse.
#include <stdexcept>

#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedUi ui;
  try {
    ui.LoadAnswerText(std::string(fuzz::AsText(data, size)), "fuzz.answers");
  } catch (const std::runtime_error&) {
  }
  return 0;
}
