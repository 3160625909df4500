// Names and prompts of the media files that carry an installation: the
// first part in "velmor.%u", a second part in "velmore.%u", each numbered
// from 1, found in the current directory.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// "velmor.2" (first part) or "velmore.2" (second part).
std::string MediaFileNameFor(bool secondPart, std::uint32_t number);
// What the user is asked while that media file cannot be opened.
std::string MediaPromptFor(bool secondPart, std::uint32_t number);

}  // namespace velmora
