// The agreement and readme texts as the runtime's edit control shows them:
// code page 1252, CR LF line ends.
#include "authoring/display_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(DisplayText, ConvertsUtf8AndLineEnds) {
  struct Case {
    std::string file;
    std::string bytes;
    std::string changes;                // the warning; "" when nothing changed
    std::vector<std::string> problems;  // characters code page 1252 lacks
  };
  const Case cases[] = {
      {"", "", "", {}},
      {"Terms\r\nof use\r\n", "Terms\r\nof use\r\n", "", {}},
      {"Terms\nof use\n", "Terms\r\nof use\r\n", "converted LF to CR LF line ends", {}},
      {"old\rMac\r\n", "old\r\nMac\r\n", "converted CR to CR LF line ends", {}},
      {"a\n\rb", "a\r\n\r\nb", "converted LF and CR to CR LF line ends", {}},
      {"\xE2\x82\xAC"
       "5 \xC2\xA9 1996\r\n",
       "\x80"
       "5 \xA9 1996\r\n",
       "converted from UTF-8 to code page 1252",
       {}},
      {"\xEF\xBB\xBF"
       "Caf\xC3\xA9\n",
       "Caf\xE9\r\n",
       "converted from UTF-8 to code page 1252 and LF to CR LF line ends",
       {}},
      {"\xEF\xBB\xBF"
       "plain\r\n",
       "plain\r\n",
       "converted from UTF-8 to code page 1252",
       {}},
      // Not UTF-8: code page 1252 already, only its line ends change.
      {"Caf\xE9\n\x93quoted\x94",
       "Caf\xE9\r\n\x93quoted\x94",
       "converted LF to CR LF line ends",
       {}},
      {"ok\n\xE2\x86\x92 and \xE4\xB8\xAD\r\nok\r\xF0\x9F\x98\x80",
       "",
       "converted from UTF-8 to code page 1252 and LF and CR to CR LF line ends",
       {"2: U+2192 is not in code page 1252", "4: U+1F600 is not in code page 1252"}},
  };
  for (const Case& c : cases) {
    const DisplayText text = ConvertDisplayText(c.file);
    EXPECT_EQ(text.problems, c.problems) << c.file;
    if (c.problems.empty()) {
      EXPECT_EQ(text.bytes, c.bytes) << c.file;
    }
    EXPECT_EQ(DisplayTextChanges(text), c.changes) << c.file;
    EXPECT_EQ(text.Changed(), !c.changes.empty()) << c.file;
  }
}

TEST(DisplayText, ReportsTenLinesAndCountsTheRest) {
  std::string file;
  for (int i = 0; i < 13; ++i) file += "\xE2\x86\x92\n";
  const std::vector<std::string> problems = ConvertDisplayText(file).problems;
  ASSERT_EQ(problems.size(), 11u);
  EXPECT_EQ(problems[9], "10: U+2192 is not in code page 1252");
  EXPECT_EQ(problems[10], "and 3 more lines with characters code page 1252 lacks");
}

}  // namespace
}  // namespace velmora
