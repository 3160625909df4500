#include "authoring/path_pattern.h"

#include <span>
#include <vector>

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

// `*` and `?` within one part: after a mismatch, the last `*` takes one
// more character.
bool PartMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string_view::npos;
  std::size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool PartsMatch(std::span<const std::string_view> pattern, std::span<const std::string_view> path) {
  if (pattern.empty()) return path.empty();
  if (pattern.front() == "**") {
    for (std::size_t skip = 0; skip <= path.size(); ++skip)
      if (PartsMatch(pattern.subspan(1), path.subspan(skip))) return true;
    return false;
  }
  return !path.empty() && PartMatches(pattern.front(), path.front()) &&
         PartsMatch(pattern.subspan(1), path.subspan(1));
}

}  // namespace

bool PathPatternMatches(std::string_view pattern, std::string_view path) {
  if (pattern.find('/') == std::string_view::npos)
    return PartMatches(pattern, path.substr(path.rfind('/') + 1));
  const std::vector<std::string_view> patternParts = Parts(pattern);
  const std::vector<std::string_view> pathParts = Parts(path);
  return PartsMatch(patternParts, pathParts);
}

}  // namespace velmora
