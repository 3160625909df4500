#include "authoring/windows_file_name.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(WindowsFileName, RefusesWhatWindowsWouldRefuseOrRename) {
  const std::pair<const char*, const char*> cases[] = {
      {"README.TXT", ""},
      {"Notes 2.1.txt", ""},
      {"caf\xC3\xA9.txt", ""},  // é is in code page 1252
      {".hidden", ""},
      {"CONSOLE.TXT", ""},
      {"COM10", ""},
      {"", "is empty"},
      {"a?b", "holds '?'"},
      {"a:b", "holds ':'"},
      {"back\\slash", "holds '\\'"},
      {"tab\there", "holds a control character"},
      {"trailing.", "ends with a dot"},
      {"trailing ", "ends with a blank"},
      {"con", "is the device name CON"},
      {"Nul.txt", "is the device name NUL"},
      {"lpt1.log", "is the device name LPT1"},
      {"\xE4\xB8\xAD.txt", "holds U+4E2D, which the Windows code page 1252 lacks"},
  };
  for (const auto& [name, problem] : cases)
    EXPECT_EQ(WindowsFileNameProblem(name), problem) << name;
  EXPECT_EQ(WindowsFileNameProblem(std::string(256, 'a')), "is longer than 255 characters");
}

// Names that are one file to Windows have one key; the key ignores case in
// the letters of code page 1252 and nothing else.
TEST(WindowsCaseKey, FoldsCaseOnly) {
  const std::pair<const char*, const char*> same[] = {
      {"README.txt", "readme.TXT"}, {"DOCS\\A.TXT", "docs\\a.txt"}, {"\xE4RGER", "\xC4rger"}};
  for (const auto& [a, b] : same) EXPECT_EQ(WindowsCaseKey(a), WindowsCaseKey(b)) << a;
  const std::pair<const char*, const char*> apart[] = {{"A.TXT", "B.TXT"},
                                                       {"\xF7", "\xD7"},
                                                       {"\xFF", "\xDF"},
                                                       {"A_B",
                                                        "A\x7F"
                                                        "B"}};
  for (const auto& [a, b] : apart) EXPECT_NE(WindowsCaseKey(a), WindowsCaseKey(b)) << a;
}

}  // namespace
}  // namespace velmora
