// Windows path rules of the simulated machine: how a name is turned into a
// full path, and which names are refused.
#include "backends/sim/sim_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "backends/sim/sim_machine.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

struct FullPathCase {
  const char* input;
  const char* expected;  // "" when the name must be refused
};

class SimPathTest : public ::testing::TestWithParam<FullPathCase> {
 protected:
  static SimOptions Options() {
    SimOptions options;
    options.currentDir = "C:\\Work\\Sub";
    return options;
  }
  testing::TempRoot root_;
  SimMachine machine_{root_.path(), Options()};
};

TEST_P(SimPathTest, FullPathName) {
  const FullPathCase& c = GetParam();
  EXPECT_EQ(machine_.GetFullPathName(c.input), c.expected) << "input: " << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Resolution, SimPathTest,
    ::testing::Values(
        FullPathCase{"C:\\a\\b", "C:\\a\\b"}, FullPathCase{"C:/a/b", "C:\\a\\b"},
        FullPathCase{"c:\\A/b\\\\c", "C:\\A\\b\\c"},  // mixed and doubled separators
        FullPathCase{"file.txt", "C:\\Work\\Sub\\file.txt"},
        FullPathCase{".\\x", "C:\\Work\\Sub\\x"}, FullPathCase{"..\\x", "C:\\Work\\x"},
        FullPathCase{"..\\..\\..\\..\\x", "C:\\x"},  // ".." stops at the root
        FullPathCase{"C:\\..\\..\\WINDOWS", "C:\\WINDOWS"},
        FullPathCase{"\\x", "C:\\x"},  // rooted: the current drive
        FullPathCase{"/x/./y/../z", "C:\\x\\z"},
        FullPathCase{"C:x", "C:\\Work\\Sub\\x"},  // drive-relative, current drive
        FullPathCase{"D:x", "D:\\x"},             // drive-relative, other drive: its root
        FullPathCase{"d:", "D:\\"}, FullPathCase{"C:", "C:\\Work\\Sub"},
        FullPathCase{"C:\\a\\b.", "C:\\a\\b"},  // trailing dots and spaces go
        FullPathCase{"C:\\a\\b. . ", "C:\\a\\b"}, FullPathCase{"C:\\a.\\b", "C:\\a\\b"},
        FullPathCase{"C:\\a\\b\\", "C:\\a\\b\\"},  // a trailing separator is kept
        FullPathCase{"C:\\a\\..", "C:\\"},
        FullPathCase{"C:\\a\\...", "C:\\a\\"},  // the vanished name leaves its separator
        FullPathCase{"COM10", "C:\\Work\\Sub\\COM10"},
        FullPathCase{"NULL.txt", "C:\\Work\\Sub\\NULL.txt"},
        FullPathCase{"xCON", "C:\\Work\\Sub\\xCON"}));

INSTANTIATE_TEST_SUITE_P(
    Refused, SimPathTest,
    ::testing::Values(FullPathCase{"", ""}, FullPathCase{"\\\\server\\share\\x", ""},
                      FullPathCase{"//server/share/x", ""}, FullPathCase{"\\\\?\\C:\\x", ""},
                      FullPathCase{"\\\\.\\PhysicalDrive0", ""}, FullPathCase{"C:\\a<b", ""},
                      FullPathCase{"C:\\a>b", ""}, FullPathCase{"a|b", ""},
                      FullPathCase{"a\"b", ""}, FullPathCase{"a?b", ""}, FullPathCase{"a*b", ""},
                      FullPathCase{"C:\\a:b", ""}, FullPathCase{"1:\\x", ""},
                      FullPathCase{"a\tb", ""}, FullPathCase{"a\x01z", ""}, FullPathCase{"CON", ""},
                      FullPathCase{"C:\\dir\\nul.txt", ""}, FullPathCase{"com1", ""},
                      FullPathCase{"LPT9.log", ""}, FullPathCase{"aux .txt", ""},
                      FullPathCase{"prn\\x", ""},
                      FullPathCase{"C:\\a\\...\\b", ""},  // would leave ".." as a name
                      // folders "a." and "a ", which Windows never makes
                      FullPathCase{"C:\\a..\\b", ""}, FullPathCase{"C:\\a \\b", ""}));

TEST(SimPathLength, FullPathMustBeShorterThanMaxPath) {
  testing::TempRoot root;
  SimMachine machine(root.path());
  const std::string folder = "C:\\" + std::string(200, 'a') + "\\";
  const std::string longest = folder + std::string(259 - folder.size(), 'b');
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_EQ(machine.GetFullPathName(longest), longest);
  EXPECT_EQ(machine.GetFullPathName(longest + "b"), "");
  // Folding happens before the length is judged.
  EXPECT_EQ(machine.GetFullPathName(folder + "x\\..\\" + std::string(259 - folder.size(), 'b')),
            longest);
  EXPECT_EQ(machine.GetFullPathName("C:\\" + std::string(256, 'n')), "");  // one name too long
}

TEST(SimPathNames, NamesThatOnlyLookReserved) {
  EXPECT_TRUE(sim::IsReservedDeviceName("CONOUT$"));
  EXPECT_FALSE(sim::IsReservedDeviceName("COM0"));
  EXPECT_FALSE(sim::IsReservedDeviceName("CONFIG.SYS"));
  EXPECT_FALSE(sim::IsReservedDeviceName("LPT"));
  EXPECT_TRUE(sim::IsValidName("...x"));
}

TEST(SimPathCurrentDrive, RelativeNamesFollowTheCurrentDrive) {
  testing::TempRoot root;
  std::filesystem::create_directories(root.path() / "D" / "Tools");
  SimMachine machine(root.path());
  ASSERT_EQ(machine.SetCurrentDirectory("d:\\tools"), FileCause::none);
  EXPECT_EQ(machine.GetFullPathName("\\x"), "D:\\x");
  EXPECT_EQ(machine.GetFullPathName("C:x"), "C:\\x");
  EXPECT_EQ(machine.GetFullPathName("D:x"), "D:\\tools\\x");
  // The host path uses the stored case of the existing folder (a Windows
  // host finds it by the given case just as well).
#ifdef _WIN32
  EXPECT_TRUE(std::filesystem::equivalent(machine.HostPath("x").parent_path(),
                                          root.path() / "D" / "Tools"));
#else
  EXPECT_EQ(machine.HostPath("x"), root.path() / "D" / "Tools" / "x");
#endif
}

}  // namespace
}  // namespace velmora
