// Glob patterns on '/'-separated relative paths, as a manifest's folder
// entry excludes files with them.
#pragma once

#include <string_view>

namespace velmora {

// Whether `pattern` matches `path`.  `*` stands for any run of characters
// within one part of the path, `?` for one character, and `**` as a whole
// part for any number of parts, none too.  A pattern without a '/' matches
// the last part of the path, a name in any folder ("*.pdb"); one with a '/'
// matches the whole path ("tmp/**", "bin/*.map").  Case counts.
bool PathPatternMatches(std::string_view pattern, std::string_view path);

}  // namespace velmora
