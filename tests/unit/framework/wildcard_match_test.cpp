#include "framework/wildcard_match.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(WildcardMatch, MatchesWholeTextWithStarsAndQuestionMarks) {
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("Install to *?", "Install to C:\\APP?"));
  EXPECT_TRUE(WildcardMatch("a*b*c", "axxbyyc"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_FALSE(WildcardMatch("abc", "abcd"));  // whole text, not a prefix
  EXPECT_FALSE(WildcardMatch("*b", "abc"));
  EXPECT_TRUE(WildcardMatch("**a**", "xxaxx"));
}

}  // namespace
}  // namespace velmora
