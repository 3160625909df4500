// Where the simulated machine keeps things on the host, and how names are
// found: root layout, case-insensitive lookup, and that no name leads out
// of the root.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::GetFile;
using testing::PutFile;
using testing::ReadHostFile;
using testing::WriteHostFile;

class SimLayoutTest : public ::testing::Test {
 protected:
  testing::TempRoot root_;
  SimMachine machine_{root_.path()};
  fs::path C(const fs::path& relative = {}) const { return root_.path() / "C" / relative; }
};

TEST_F(SimLayoutTest, NewMachineHasDriveCAndWindowsFolders) {
  EXPECT_TRUE(fs::is_directory(C("WINDOWS") / "SYSTEM"));
  EXPECT_EQ(machine_.GetWindowsDirectory(), "C:\\WINDOWS");
  EXPECT_EQ(machine_.GetSystemDirectory(), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\");
  EXPECT_EQ(machine_.GetLogicalDrives(), 1u << 2);
  EXPECT_EQ(machine_.GetDriveType("C:\\"), DriveType::fixed);
  EXPECT_EQ(machine_.GetDriveType("D:\\"), DriveType::noRootDir);
  EXPECT_EQ(machine_.GetDriveType("C:\\WINDOWS"), DriveType::noRootDir);  // not a root
}

TEST_F(SimLayoutTest, OtherDrivesAreLetteredFolders) {
  VELMORA_SKIP_ON_WINDOWS_HOST("folder names differ only in case");
  fs::create_directories(root_.path() / "E");
  fs::create_directories(root_.path() / "f");  // lower case: not a drive
  EXPECT_EQ(machine_.GetLogicalDrives(), (1u << 2) | (1u << 4));
  EXPECT_EQ(PutFile(machine_, "e:\\data.bin", "xyz"), FileCause::none);
  EXPECT_EQ(ReadHostFile(root_.path() / "E" / "data.bin"), "xyz");
  EXPECT_EQ(PutFile(machine_, "F:\\data.bin", "xyz"), FileCause::badPath);
}

TEST_F(SimLayoutTest, OptionsPlaceTheSpecialFolders) {
  testing::TempRoot other;
  SimOptions options;
  options.windowsDir = "C:\\WIN95";
  options.systemDir = "c:/win95/system32";
  options.currentDir = "C:\\SETUP\\DISK1";
  SimMachine machine(other.path(), options);
  EXPECT_EQ(machine.GetWindowsDirectory(), "C:\\WIN95");
  EXPECT_EQ(machine.GetSystemDirectory(), "C:\\win95\\system32");
  EXPECT_EQ(machine.GetCurrentDirectory(), "C:\\SETUP\\DISK1");
  EXPECT_TRUE(fs::is_directory(other.path() / "C" / "WIN95" / "system32"));
  EXPECT_TRUE(fs::is_directory(other.path() / "C" / "SETUP" / "DISK1"));
  options.currentDir = "C:\\bad|name";
  EXPECT_THROW(SimMachine(other.path(), options), std::invalid_argument);
}

TEST_F(SimLayoutTest, LookupIgnoresCaseAndNewNamesKeepTheirs) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Program Files"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\PROGRAM FILES\\ReadMe.Txt", "hello"), FileCause::none);
  EXPECT_TRUE(fs::is_regular_file(C("Program Files") / "ReadMe.Txt"));
  EXPECT_EQ(GetFile(machine_, "c:\\program files\\README.TXT"), "hello");
  // Replacing through another case keeps the one file and its stored name.
  ASSERT_EQ(PutFile(machine_, "C:\\program files\\readme.txt", "again"), FileCause::none);
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\PROGRAM FILES", entries), FileCause::none);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "ReadMe.Txt");
  EXPECT_EQ(entries[0].size, 5u);
  EXPECT_EQ(machine_.CreateDirectory("C:\\program files"), FileCause::accessDenied);
}

TEST_F(SimLayoutTest, ExactNameWinsOverOtherCase) {
  VELMORA_SKIP_ON_WINDOWS_HOST("file names differ only in case");
  WriteHostFile(C("x") / "abc", "lower");
  WriteHostFile(C("x") / "ABC", "upper");
  EXPECT_EQ(GetFile(machine_, "C:\\x\\ABC"), "upper");
  EXPECT_EQ(GetFile(machine_, "C:\\x\\abc"), "lower");
  const std::string either = GetFile(machine_, "C:\\x\\Abc");
  EXPECT_TRUE(either == "upper" || either == "lower") << either;
}

TEST_F(SimLayoutTest, DotDotNeverLeavesTheDrive) {
  WriteHostFile(root_.path() / "secret.txt", "outside");
  EXPECT_EQ(machine_.HostPath("C:\\..\\..\\secret.txt"), C("secret.txt"));
  EXPECT_EQ(GetFile(machine_, "C:\\..\\secret.txt"), "<fileNotFound>");
  EXPECT_EQ(GetFile(machine_, "..\\..\\..\\secret.txt"), "<fileNotFound>");
  // The machine's own state is out of reach as well.
  EXPECT_EQ(machine_.HostPath("C:\\..\\.velmora"), C(".velmora"));
  EXPECT_EQ(PutFile(machine_, "C:\\..\\..\\escaped.txt", "x"), FileCause::none);
  EXPECT_TRUE(fs::exists(C("escaped.txt")));
  EXPECT_FALSE(fs::exists(root_.path() / "escaped.txt"));
  EXPECT_FALSE(fs::exists(root_.path().parent_path() / "escaped.txt"));
}

TEST_F(SimLayoutTest, PlantedSymlinksAreRefused) {
  VELMORA_SKIP_ON_WINDOWS_HOST("needs symbolic links");
  testing::TempRoot outside("outside");
  WriteHostFile(outside.path() / "target.txt", "outside");
  fs::create_directory_symlink(outside.path(), C("linkdir"));
  fs::create_symlink(outside.path() / "target.txt", C("linkfile.txt"));

  EXPECT_EQ(GetFile(machine_, "C:\\linkdir\\target.txt"), "<accessDenied>");
  EXPECT_EQ(GetFile(machine_, "C:\\LINKFILE.TXT"), "<accessDenied>");
  EXPECT_EQ(PutFile(machine_, "C:\\linkdir\\new.txt", "x"), FileCause::accessDenied);
  EXPECT_EQ(PutFile(machine_, "C:\\linkfile.txt", "overwritten"), FileCause::accessDenied);
  EXPECT_EQ(machine_.DeleteFile("C:\\linkfile.txt"), FileCause::accessDenied);
  EXPECT_EQ(machine_.CopyFile("C:\\linkfile.txt", "C:\\copy.txt", false), FileCause::accessDenied);
  EXPECT_EQ(machine_.SetCurrentDirectory("C:\\linkdir"), FileCause::accessDenied);
  EXPECT_EQ(ReadHostFile(outside.path() / "target.txt"), "outside");
  EXPECT_FALSE(fs::exists(outside.path() / "new.txt"));

  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\", entries), FileCause::none);
  for (const DirEntry& entry : entries) EXPECT_EQ(entry.name.find("link"), std::string::npos);
}

TEST_F(SimLayoutTest, DriveFolderThatIsASymlinkIsNoDrive) {
  VELMORA_SKIP_ON_WINDOWS_HOST("needs symbolic links");
  testing::TempRoot outside("outside");
  fs::create_directory_symlink(outside.path(), root_.path() / "D");
  EXPECT_EQ(machine_.GetDriveType("D:\\"), DriveType::noRootDir);
  EXPECT_EQ(PutFile(machine_, "D:\\x.txt", "x"), FileCause::badPath);
  EXPECT_TRUE(fs::is_empty(outside.path()));
}

TEST_F(SimLayoutTest, InvalidNamesCreateNothing) {
  for (const char* name : {"C:\\con", "C:\\aux.txt", "C:\\a?b", "C:\\a*", "\\\\srv\\share\\f",
                           "C:\\lpt1\\x", "C:\\a\"b"})
    EXPECT_EQ(PutFile(machine_, name, "x"), FileCause::badPath) << name;
  const std::string tooLong = "C:\\" + std::string(257, 'z');
  EXPECT_EQ(PutFile(machine_, tooLong, "x"), FileCause::badPath);
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\", entries), FileCause::none);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "WINDOWS");
}

TEST_F(SimLayoutTest, TrailingDotsNameTheSameFile) {
  ASSERT_EQ(PutFile(machine_, "C:\\notes.txt. ", "n"), FileCause::none);
  EXPECT_TRUE(fs::exists(C("notes.txt")));
  EXPECT_EQ(GetFile(machine_, "C:\\notes.txt"), "n");
  // A file name followed by a separator names no file.
  EXPECT_EQ(GetFile(machine_, "C:\\notes.txt\\"), "<badPath>");
}

TEST_F(SimLayoutTest, HostNamesWindowsCannotUseAreNotListed) {
  WriteHostFile(C("fine.txt"), "1");
  WriteHostFile(C("bad:name"), "2");
  WriteHostFile(C("nul"), "3");
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\", entries), FileCause::none);
  std::vector<std::string> names;
  for (const DirEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"WINDOWS", "fine.txt"}));
}

TEST_F(SimLayoutTest, RemoveCurrentDirectoryIsRefused) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Work"), FileCause::none);
  ASSERT_EQ(machine_.SetCurrentDirectory("c:\\work"), FileCause::none);
  EXPECT_EQ(machine_.GetCurrentDirectory(), "C:\\work");
  EXPECT_EQ(machine_.RemoveDirectory("C:\\WORK"), FileCause::removeCurrentDir);
  EXPECT_EQ(machine_.MoveFile("C:\\Work", "C:\\Elsewhere"), FileCause::sharingViolation);
  EXPECT_EQ(machine_.MoveFile("C:\\", "C:\\Elsewhere"), FileCause::accessDenied);
  ASSERT_EQ(machine_.SetCurrentDirectory(".."), FileCause::none);
  EXPECT_EQ(machine_.RemoveDirectory("Work"), FileCause::none);
  EXPECT_EQ(machine_.SetCurrentDirectory("C:\\Work"), FileCause::fileNotFound);
  EXPECT_EQ(machine_.SetCurrentDirectory("C:\\nope\\Work"), FileCause::badPath);
}

}  // namespace
}  // namespace velmora
