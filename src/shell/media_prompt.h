// The prompt for a media file of an installation that cannot be opened.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// What the user is asked while that media file cannot be opened.
std::string MediaPromptFor(bool secondPart, std::uint32_t number);

}  // namespace velmora
