// Writing JSON by hand: a string escaper and nothing more.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// `text` (UTF-8) as a JSON string literal, quotes included.  Control
// characters are escaped; bytes that are not valid UTF-8 become U+FFFD, so
// the result is always a valid JSON string.
std::string JsonString(std::string_view text);

}  // namespace velmora
