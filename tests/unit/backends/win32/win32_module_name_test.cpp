// The program's base name, from which SETUP.EXE decides install or
// uninstall: directories and the extension go, the case stays.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "backends/win32/module_name.h"

namespace velmora {
namespace {

TEST(Win32ModuleNameTest, DropsDirectoryAndExtensionAndKeepsCase) {
  EXPECT_EQ(ModuleBaseName("C:\\DISK1\\Setup.exe"), "Setup");
  EXPECT_EQ(ModuleBaseName("Z:\\tmp\\media\\SETUP.EXE"), "SETUP");
  EXPECT_EQ(ModuleBaseName("C:\\windows\\XMy Product.exe"), "XMy Product");
  EXPECT_EQ(ModuleBaseName("setup"), "setup");
}

TEST(Win32ModuleNameTest, OnlyTheLastDotOfTheFileNameStartsTheExtension) {
  EXPECT_EQ(ModuleBaseName("C:\\v1.2\\setup"), "setup");  // a dot in a folder name
  EXPECT_EQ(ModuleBaseName("C:\\a\\setup.old.exe"), "setup.old");
  EXPECT_EQ(ModuleBaseName("C:\\a\\.exe"), "");
}

TEST(Win32ModuleNameTest, ForwardSlashesAndDriveRelativeNamesEndTheDirectory) {
  EXPECT_EQ(ModuleBaseName("Z:/tmp/work/Setup.exe"), "Setup");
  EXPECT_EQ(ModuleBaseName("C:SETUP.EXE"), "SETUP");
}

TEST(Win32ModuleNameTest, TheRunningProgramHasAFullPathEndingInItsName) {
  const std::string path = ModulePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path[1], ':');
  EXPECT_EQ(ModuleBaseName(path), "velmora_tests");
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
