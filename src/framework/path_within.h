// Whether a Windows path names a folder or lies below it.
#pragma once

#include <string_view>

#include "framework/ascii.h"

namespace velmora {

// True when `path` is `folder` or lies below it: the folder's characters
// (a final backslash ignored) in any case, then the end or a backslash.
// Both must be full paths already folded ("." and ".." resolved).
inline bool IsPathAtOrBelow(std::string_view path, std::string_view folder) {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  if (folder.empty() || path.size() < folder.size() ||
      !AsciiEqualIgnoringCase(path.substr(0, folder.size()), folder))
    return false;
  return path.size() == folder.size() || path[folder.size()] == '\\';
}

}  // namespace velmora
