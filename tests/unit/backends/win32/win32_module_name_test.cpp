// The running program's own path, from which SETUP.EXE takes its name.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "backends/win32/module_name.h"
#include "shell/run_setup.h"

namespace velmora {
namespace {

TEST(Win32ModuleNameTest, TheRunningProgramHasAFullPathEndingInItsName) {
  const std::string path = ModulePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path[1], ':');
  EXPECT_EQ(ProgramBaseName(path), "velmora_tests");
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
