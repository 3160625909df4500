// The rules for the names of files below a folder.
#include "framework/file_name_rules.h"

#include <gtest/gtest.h>

#include "unit/file_name_cases.h"

namespace velmora::test {
namespace {

TEST(FileNameRules, RelativeNamesStayBelowTheirFolder) {
  for (const FileNameCase& c : kFileNameCases)
    EXPECT_EQ(RelativeFileNameProblem(c.name), c.problem) << '"' << c.name << '"';
}

TEST(FileNameRules, OneNameHoldsNoSeparator) {
  EXPECT_EQ(FileNameProblem(".."), "is '..'");
  EXPECT_EQ(FileNameProblem("BIN\\TOOL.EXE"), "holds '\\'");
  EXPECT_EQ(RelativeFileNameProblem("x\\" + std::string(kMaxFileNameLength + 1, 'n')),
            "has a component that is longer than 255 characters");
}

}  // namespace
}  // namespace velmora::test
