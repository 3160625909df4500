#include "authoring/path_pattern.h"

#include <span>
#include <vector>

#include "framework/wildcard_match.h"

namespace velmora {
namespace {

std::vector<std::string_view> Parts(std::string_view path) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t slash = path.find('/', start);
    parts.push_back(path.substr(start, slash - start));
    if (slash == std::string_view::npos) return parts;
    start = slash + 1;
  }
}

bool PartsMatch(std::span<const std::string_view> pattern, std::span<const std::string_view> path) {
  if (pattern.empty()) return path.empty();
  if (pattern.front() == "**") {
    for (std::size_t skip = 0; skip <= path.size(); ++skip)
      if (PartsMatch(pattern.subspan(1), path.subspan(skip))) return true;
    return false;
  }
  return !path.empty() && WildcardMatch(pattern.front(), path.front()) &&
         PartsMatch(pattern.subspan(1), path.subspan(1));
}

}  // namespace

bool PathPatternMatches(std::string_view pattern, std::string_view path) {
  if (pattern.find('/') == std::string_view::npos)
    return WildcardMatch(pattern, path.substr(path.rfind('/') + 1));
  const std::vector<std::string_view> patternParts = Parts(pattern);
  const std::vector<std::string_view> pathParts = Parts(path);
  return PartsMatch(patternParts, pathParts);
}

}  // namespace velmora
