#include "shell/media_prompt.h"

namespace velmora {

std::string MediaPromptFor(bool secondPart, std::uint32_t number) {
  if (secondPart) return "Please insert next media disk";
  return "Please insert media disk " + std::to_string(number);
}

}  // namespace velmora
