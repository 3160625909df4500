// The output path sanitiser: nothing a package names may leave the output
// folder, and ordinary names come through unchanged.
#include "authoring/safe_output_path.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

std::string Safe(const std::vector<std::string>& pieces, std::size_t* warnings = nullptr) {
  const SafeOutputPath path = MakeSafeOutputPath(pieces);
  if (warnings != nullptr) *warnings = path.warnings.size();
  return path.Joined();
}

TEST(SafeOutputPath, OrdinaryNamesStay) {
  std::size_t warnings = 9;
  EXPECT_EQ(Safe({"AppDir", "readme.txt"}, &warnings), "AppDir/readme.txt");
  EXPECT_EQ(warnings, 0u);
  EXPECT_EQ(Safe({"<Windows>", "SUB\\APP.DLL"}, &warnings), "_Windows_/SUB/APP.DLL");
  EXPECT_EQ(warnings, 0u);
  EXPECT_EQ(Safe({"<Windows system>", "a/b\\c"}), "_Windows system_/a/b/c");
  EXPECT_EQ(Safe({"dir", ".\\x..y.txt"}), "dir/x..y.txt");
}

TEST(SafeOutputPath, NothingLeavesTheFolder) {
  const std::vector<std::vector<std::string>> hostile = {
      {"..", "x"},
      {"d", "..\\..\\etc\\passwd"},
      {"d", "/etc/passwd"},
      {"C:\\Windows", "x"},
      {"d", "C:x"},
      {"d", "\\\\server\\share\\x"},
      {"d", "a/../../b"},
      {"d", "..."},
      {"", ""},
      {"d", "...\\x"},
      {"d", ". .\\x"},
      {"d", "c:..\\x"},
  };
  for (const auto& pieces : hostile) {
    const SafeOutputPath path = MakeSafeOutputPath(pieces);
    ASSERT_FALSE(path.components.empty());
    for (const std::string& c : path.components) {
      EXPECT_FALSE(c.empty());
      EXPECT_NE(c.find_first_not_of('.'), std::string::npos) << path.Joined();
      EXPECT_EQ(c.find_first_of("/\\:"), std::string::npos) << path.Joined();
    }
  }
  EXPECT_EQ(Safe({"d", "..\\..\\etc\\passwd"}), "d/etc/passwd");
  EXPECT_EQ(Safe({"C:\\Windows", "x"}), "Windows/x");
  EXPECT_EQ(Safe({"d", "C:x"}), "d/x");
  EXPECT_EQ(Safe({"", ""}), "_unnamed");
  std::size_t warnings = 0;
  Safe({"d", "/etc/passwd"}, &warnings);
  EXPECT_EQ(warnings, 1u);
}

TEST(SafeOutputPath, DeviceNamesAndOddCharacters) {
  std::size_t warnings = 0;
  EXPECT_EQ(Safe({"d", "CON"}, &warnings), "d/_CON");
  EXPECT_EQ(warnings, 1u);
  EXPECT_EQ(Safe({"d", "nul.txt"}), "d/_nul.txt");
  EXPECT_EQ(Safe({"d", "com1.log"}), "d/_com1.log");
  EXPECT_EQ(Safe({"lpt9", "x"}), "_lpt9/x");
  EXPECT_EQ(Safe({"d", "aux .txt"}), "d/_aux .txt");
  EXPECT_EQ(Safe({"d", "COM0"}), "d/COM0");
  EXPECT_EQ(Safe({"d", "CONSOLE"}), "d/CONSOLE");
  EXPECT_EQ(Safe({"d", "a?b*c|d\"e<f>g"}), "d/a_b_c_d_e_f_g");
  EXPECT_EQ(Safe({"d", std::string("a\x01\nb")}), "d/a__b");
  EXPECT_EQ(Safe({"d", "name. . "}), "d/name");
  EXPECT_EQ(Safe({"d", std::string(300, 'x')}).size(), 2u + 200u);
}

}  // namespace
}  // namespace velmora
