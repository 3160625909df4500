// The platform's path buffer: 260 bytes, terminator included.  A full path
// is shorter than this; the fields, reads and results that hold a path or a
// directory are limited by it.
#pragma once

#include <cstddef>

namespace velmora {

inline constexpr std::size_t kMaxPathBytes = 260;

}  // namespace velmora
