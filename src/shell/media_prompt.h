// The prompts for the media files that carry an installation, which are
// looked for in the current directory.  Their names are the data file
// layout's (MediaFileNameFor).
#pragma once

#include <cstdint>
#include <string>

#include "datafile/data_file_layout.h"  // MediaFileNameFor

namespace velmora {

// What the user is asked while that media file cannot be opened.
std::string MediaPromptFor(bool secondPart, std::uint32_t number);

}  // namespace velmora
