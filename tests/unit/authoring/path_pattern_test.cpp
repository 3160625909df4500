// The exclude patterns of a manifest's folder entry: where a pattern
// applies (a name anywhere, a path whole, `**` over folders); `*` and `?`
// within a name are WildcardMatch's.
#include "authoring/path_pattern.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PathPattern, MatchesNamesAnywhereAndPathsWhole) {
  struct Case {
    const char* pattern;
    const char* path;
    bool matches;
  };
  const Case cases[] = {
      {"*.pdb", "APP.pdb", true},       {"*.pdb", "bin/x/APP.pdb", true},
      {"*.pdb", "APP.PDB", false},      {"*.pdb", "pdb/APP.exe", false},
      {"?.txt", "a.txt", true},         {"?.txt", "ab.txt", false},
      {"a*b*c", "aXbYbc", true},        {"a*b*c", "aXbYbcd", false},
      {"*", "any/thing", true},         {"tmp/**", "tmp/a", true},
      {"tmp/**", "tmp/a/b/c", true},    {"tmp/**", "src/tmp/a", false},
      {"**/tmp/*", "x/y/tmp/a", true},  {"**/tmp/*", "tmp/a", true},
      {"bin/*.map", "bin/A.map", true}, {"bin/*.map", "bin/sub/A.map", false},
      {"a/**/z", "a/z", true},          {"a/**/z", "a/b/c/z", true},
      {"a/**/z", "a/b/c/y", false},     {"docs/*", "docs", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PathPatternMatches(c.pattern, c.path), c.matches) << c.pattern << " " << c.path;
}

}  // namespace
}  // namespace velmora
