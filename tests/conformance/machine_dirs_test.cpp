// Machine conformance: directories, the current directory, full path names
// and drives.
#include <gtest/gtest.h>

#include "conformance/machine_fixture.h"

namespace velmora {
namespace {

using testing::GetFile;
using testing::PathsEqual;
using testing::PutFile;
using MachineDirs = testing::MachineTest;

TEST_F(MachineDirs, CreateDirectory) {
  ASSERT_EQ(machine().CreateDirectory(At("New")), FileCause::none);
  std::uint32_t bits = 0;
  ASSERT_EQ(machine().GetFileAttributes(At("new"), bits), FileCause::none);
  EXPECT_NE(bits & attr::directory, 0u);
  EXPECT_EQ(machine().CreateDirectory(At("NEW")), FileCause::accessDenied);
  EXPECT_EQ(machine().CreateDirectory(At("none\\child")), FileCause::badPath);
  ASSERT_EQ(PutFile(machine(), At("file"), "f"), FileCause::none);
  EXPECT_EQ(machine().CreateDirectory(At("file")), FileCause::accessDenied);
  ASSERT_EQ(machine().CreateDirectory(At("new\\Child")), FileCause::none);
}

TEST_F(MachineDirs, RemoveDirectory) {
  ASSERT_EQ(machine().CreateDirectory(At("full")), FileCause::none);
  ASSERT_EQ(PutFile(machine(), At("full\\f.txt"), "f"), FileCause::none);
  EXPECT_EQ(machine().RemoveDirectory(At("full")), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("full\\f.txt")), "f");
  ASSERT_EQ(machine().DeleteFile(At("full\\f.txt")), FileCause::none);
  EXPECT_EQ(machine().RemoveDirectory(At("FULL")), FileCause::none);
  EXPECT_EQ(machine().RemoveDirectory(At("full")), FileCause::fileNotFound);
  EXPECT_EQ(machine().RemoveDirectory(At("none\\full")), FileCause::badPath);
  ASSERT_EQ(PutFile(machine(), At("plain.txt"), "p"), FileCause::none);
  EXPECT_EQ(machine().RemoveDirectory(At("plain.txt")), FileCause::badPath);
}

TEST_F(MachineDirs, CurrentDirectoryAnchorsRelativeNames) {
  ASSERT_EQ(machine().CreateDirectory(At("Work")), FileCause::none);
  ASSERT_EQ(machine().SetCurrentDirectory(At("Work")), FileCause::none);
  EXPECT_TRUE(PathsEqual(machine().GetCurrentDirectory(), At("Work")))
      << machine().GetCurrentDirectory();
  ASSERT_EQ(PutFile(machine(), "rel.txt", "relative"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("Work\\rel.txt")), "relative");
  EXPECT_EQ(GetFile(machine(), "..\\Work\\.\\rel.txt"), "relative");
  EXPECT_TRUE(PathsEqual(machine().GetFullPathName("sub\\..\\x.txt"), At("Work\\x.txt")));
  EXPECT_TRUE(PathsEqual(machine().GetFullPathName("..\\x.txt"), At("x.txt")));
  // The current directory is held open: it cannot be moved.
  EXPECT_EQ(machine().MoveFile(At("Work"), At("Moved")), FileCause::sharingViolation);
  EXPECT_EQ(machine().SetCurrentDirectory(At("none")), FileCause::fileNotFound);
  EXPECT_EQ(machine().SetCurrentDirectory(At("Work\\rel.txt")), FileCause::badPath);
  EXPECT_TRUE(PathsEqual(machine().GetCurrentDirectory(), At("Work")));
}

TEST_F(MachineDirs, FullPathNamesFoldDotsAndSeparators) {
  EXPECT_EQ(machine().GetFullPathName("C:\\a\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(machine().GetFullPathName("C:/a/./b"), "C:\\a\\b");
  EXPECT_EQ(machine().GetFullPathName("C:\\..\\..\\a"), "C:\\a");
  EXPECT_EQ(machine().GetFullPathName("C:\\a\\b."), "C:\\a\\b");
}

// A drive letter no drive uses, or 0 when all are taken.
char AbsentDrive(Machine& machine) {
  const std::uint32_t drives = machine.GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter)
    if ((drives & (1u << (letter - 'A'))) == 0) return letter;
  return 0;
}

TEST_F(MachineDirs, DrivesAndTheirTypes) {
  EXPECT_EQ(machine().GetDriveType("C:\\"), DriveType::fixed);
  EXPECT_NE(machine().GetLogicalDrives() & (1u << 2), 0u);
  const char absent = AbsentDrive(machine());
  ASSERT_NE(absent, 0) << "every drive letter is in use";
  EXPECT_EQ(machine().GetDriveType(std::string{absent, ':', '\\'}), DriveType::noRootDir);
}

TEST_F(MachineDirs, NamesOnAMissingDriveAreBadPaths) {
  if (UnderWine())
    GTEST_SKIP() << "Wine reports a missing drive as file not found (Windows: path not found)";
  const char absent = AbsentDrive(machine());
  ASSERT_NE(absent, 0) << "every drive letter is in use";
  const std::string root{absent, ':', '\\'};
  EXPECT_EQ(GetFile(machine(), root + "file.txt"), "<badPath>");
  EXPECT_EQ(machine().CreateDirectory(root + "dir"), FileCause::badPath);
}

}  // namespace
}  // namespace velmora
