// ASCII case folding: letters fold, every other byte stays as it is.
#include "framework/ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

struct FoldCase {
  std::string text;
  std::string lower;
  std::string upper;
};

TEST(Ascii, FoldsOnlyAsciiLetters) {
  const FoldCase cases[] = {
      {"", "", ""},
      {"Setup.EXE", "setup.exe", "SETUP.EXE"},
      {"@[`{", "@[`{", "@[`{"},  // the neighbours of A-Z and a-z
      {"AZaz09_", "azaz09_", "AZAZ09_"},
      {"\xC4\xE4\xDF", "\xC4\xE4\xDF", "\xC4\xE4\xDF"},  // ANSI letters stay
      {std::string("A\0b", 3), std::string("a\0b", 3), std::string("A\0B", 3)},
  };
  for (const FoldCase& c : cases) {
    EXPECT_EQ(AsciiLowered(c.text), c.lower) << c.text;
    EXPECT_EQ(AsciiUppered(c.text), c.upper) << c.text;
  }
}

TEST(Ascii, EqualIgnoringCase) {
  struct Pair {
    const char* a;
    const char* b;
    bool equal;
  };
  const Pair pairs[] = {
      {"", "", true},       {"Program Files", "PROGRAM files", true},
      {"a", "A", true},     {"a", "b", false},
      {"abc", "ab", false}, {"\xC4", "\xE4", false},
      {"[", "{", false},    {"@", "`", false},
  };
  for (const Pair& p : pairs)
    EXPECT_EQ(AsciiEqualIgnoringCase(p.a, p.b), p.equal) << p.a << " / " << p.b;
}

}  // namespace
}  // namespace velmora
