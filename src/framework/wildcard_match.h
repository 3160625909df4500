// Wildcard patterns as people write them in answer files and exclude
// lists: `*` matches any run of characters, `?` any one character.
#pragma once

#include <string_view>

namespace velmora {

// Whether the pattern matches the whole text (exact case).
bool WildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace velmora
