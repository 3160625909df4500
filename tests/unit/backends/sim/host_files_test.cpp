// The host's files as a Windows machine, for the command-line tools.
#include "backends/sim/host_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::GetFile;
using testing::PutFile;
using testing::ReadHostFile;
using testing::WriteHostFile;

#ifndef _WIN32

TEST(HostPathToWindows, AbsolutePathsGoThroughZ) {
  EXPECT_EQ(HostPathToWindows("/"), "Z:\\");
  testing::TempRoot temp("host");
  const fs::path real = fs::canonical(temp.path());
  std::string expected = "Z:";
  for (const fs::path& part : real.relative_path()) expected += "\\" + part.string();
  EXPECT_EQ(HostPathToWindows(real.string()), expected);
  EXPECT_EQ(HostPathToWindows(real.string() + "/"), expected);
  EXPECT_EQ(HostPathToWindows(real.string() + "/sub/../file.bin"), expected + "\\file.bin");
}

TEST(HostPathToWindows, RelativePathsAndLinksAreResolved) {
  testing::TempRoot temp("host");
  const fs::path real = fs::canonical(temp.path());
  fs::create_directories(real / "target");
  fs::create_directory_symlink(real / "target", real / "link");
  const std::string target = HostPathToWindows((real / "target").string());
  EXPECT_EQ(HostPathToWindows((real / "link" / "f.txt").string()), target + "\\f.txt");

  const fs::path saved = fs::current_path();
  fs::current_path(real);
  EXPECT_EQ(HostPathToWindows("target"), target);
  EXPECT_EQ(HostPathToWindows(""), HostPathToWindows(real.string()));
  fs::current_path(saved);
}

TEST(HostFileMachine, ReadsAndWritesHostFilesByWindowsPath) {
  testing::TempRoot temp("host");
  WriteHostFile(temp.path() / "Input.bin", "input");
  auto machine = MakeHostFileMachine();
  EXPECT_EQ(machine->Name(), "sim");
  EXPECT_EQ(machine->GetLogicalDrives(), 1u << 25);
  EXPECT_EQ(machine->GetCurrentDirectory(), HostPathToWindows(fs::current_path().string()));

  const std::string folder = HostPathToWindows(temp.path().string());
  EXPECT_EQ(GetFile(*machine, folder + "\\Input.bin"), "input");
  EXPECT_EQ(GetFile(*machine, folder + "\\input.BIN"), "input");  // Windows lookup rules
  ASSERT_EQ(PutFile(*machine, folder + "\\out.bin", "output"), FileCause::none);
  EXPECT_EQ(ReadHostFile(temp.path() / "out.bin"), "output");
  ASSERT_EQ(machine->SetCurrentDirectory(folder), FileCause::none);
  EXPECT_EQ(GetFile(*machine, "out.bin"), "output");
}

#endif

}  // namespace
}  // namespace velmora
