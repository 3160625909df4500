// The simulated machine's test controls: fault injection, mounted drives and
// drive types.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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

class SimFaultTest : public ::testing::Test {
 protected:
  testing::TempRoot root_;
  SimMachine machine_{root_.path()};
};

TEST_F(SimFaultTest, NthWriteFailsAndWritesNothing) {
  machine_.InjectFault("WriteFile", 2, FileCause::diskFull);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\w.bin", FileAccess::write, FileShare::exclusive,
                              FileDisposition::createAlways, handle),
            FileCause::none);
  EXPECT_EQ(machine_.WriteFile(handle, "one", 3), FileCause::none);
  EXPECT_EQ(machine_.WriteFile(handle, "two", 3), FileCause::diskFull);
  EXPECT_EQ(machine_.WriteFile(handle, "three", 5), FileCause::none);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\w.bin"), "onethree");
  EXPECT_EQ(machine_.PendingFaults(), 0u);
}

TEST_F(SimFaultTest, FailedOperationsChangeNothing) {
  ASSERT_EQ(PutFile(machine_, "C:\\keep.txt", "k"), FileCause::none);
  machine_.InjectFault("OpenFile", 1, FileCause::tooManyOpenFiles);
  machine_.InjectFault("DeleteFile", 1, FileCause::sharingViolation);
  machine_.InjectFault("MoveFile", 1, FileCause::hardIO);
  machine_.InjectFault("CreateDirectory", 1, FileCause::directoryFull);
  machine_.InjectFault("SetFileAttributes", 1, FileCause::accessDenied);
  EXPECT_EQ(machine_.PendingFaults(), 5u);

  EXPECT_EQ(PutFile(machine_, "C:\\new.txt", "n"), FileCause::tooManyOpenFiles);
  EXPECT_FALSE(fs::exists(root_.path() / "C" / "new.txt"));
  EXPECT_EQ(machine_.DeleteFile("C:\\keep.txt"), FileCause::sharingViolation);
  EXPECT_EQ(machine_.MoveFile("C:\\keep.txt", "C:\\moved.txt"), FileCause::hardIO);
  EXPECT_EQ(machine_.CreateDirectory("C:\\dir"), FileCause::directoryFull);
  EXPECT_EQ(machine_.SetFileAttributes("C:\\keep.txt", attr::readOnly), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine_, "C:\\keep.txt"), "k");
  EXPECT_FALSE(fs::exists(root_.path() / "C" / "dir"));
  std::uint32_t bits = 0;
  ASSERT_EQ(machine_.GetFileAttributes("C:\\keep.txt", bits), FileCause::none);
  EXPECT_EQ(bits, attr::archive);
  // Each fault fired once: the same calls now succeed.
  EXPECT_EQ(machine_.MoveFile("C:\\keep.txt", "C:\\moved.txt"), FileCause::none);
  EXPECT_EQ(machine_.CreateDirectory("C:\\dir"), FileCause::none);
}

TEST_F(SimFaultTest, FaultsOnOneOperationCountIndependently) {
  ASSERT_EQ(PutFile(machine_, "C:\\r.txt", "abc"), FileCause::none);
  machine_.InjectFault("ReadFile", 3, FileCause::hardIO);
  machine_.InjectFault("ReadFile", 1, FileCause::endOfFile);
  machine_.InjectFault("SeekFile", 1, FileCause::badSeek);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\r.txt", FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::none);
  char byte = 0;
  std::uint32_t got = 0;
  EXPECT_EQ(machine_.ReadFile(handle, &byte, 1, got), FileCause::endOfFile);
  EXPECT_EQ(machine_.ReadFile(handle, &byte, 1, got), FileCause::none);
  EXPECT_EQ(byte, 'a');  // the failed read did not move the file pointer
  EXPECT_EQ(machine_.ReadFile(handle, &byte, 1, got), FileCause::hardIO);
  std::uint64_t position = 0;
  EXPECT_EQ(machine_.SeekFile(handle, 0, SeekOrigin::current, position), FileCause::badSeek);
  EXPECT_EQ(machine_.SeekFile(handle, 0, SeekOrigin::current, position), FileCause::none);
  EXPECT_EQ(position, 1u);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
}

TEST_F(SimFaultTest, CloseFaultStillReleasesTheHandle) {
  machine_.InjectFault("CloseFile", 1, FileCause::hardIO);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\c.txt", FileAccess::write, FileShare::exclusive,
                              FileDisposition::createAlways, handle),
            FileCause::none);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::hardIO);
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
  EXPECT_EQ(machine_.DeleteFile("C:\\c.txt"), FileCause::none);  // no lock left behind
}

TEST_F(SimFaultTest, BadInjectionsAreRefusedAndClearForgets) {
  EXPECT_THROW(machine_.InjectFault("WriteFiel", 1, FileCause::hardIO), std::invalid_argument);
  EXPECT_THROW(machine_.InjectFault("WriteFile", 0, FileCause::hardIO), std::invalid_argument);
  EXPECT_THROW(machine_.InjectFault("WriteFile", 1, FileCause::none), std::invalid_argument);
  machine_.InjectFault("CreateTempFile", 1, FileCause::diskFull);
  machine_.ClearFaults();
  std::string path;
  EXPECT_EQ(machine_.CreateTempFile("C:\\", "tmp", path), FileCause::none);
}

class SimMountTest : public ::testing::Test {
 protected:
  testing::TempRoot root_;
  testing::TempRoot host_{"host"};
  SimMachine machine_{root_.path()};
};

TEST_F(SimMountTest, MountedFolderIsADrive) {
  WriteHostFile(host_.path() / "Docs" / "Guide.txt", "guide");
  machine_.Mount('m', host_.path());
  EXPECT_EQ(machine_.GetDriveType("M:\\"), DriveType::fixed);
  EXPECT_NE(machine_.GetLogicalDrives() & (1u << 12), 0u);
  EXPECT_EQ(GetFile(machine_, "M:\\DOCS\\guide.TXT"), "guide");
  ASSERT_EQ(PutFile(machine_, "m:\\docs\\New.txt", "new"), FileCause::none);
  EXPECT_EQ(ReadHostFile(host_.path() / "Docs" / "New.txt"), "new");
  EXPECT_EQ(machine_.HostPath("M:\\..\\..\\x"), host_.path() / "x");
  EXPECT_THROW(machine_.Mount('N', host_.path() / "missing"), std::invalid_argument);
  EXPECT_THROW(machine_.Mount('1', host_.path()), std::invalid_argument);
}

TEST_F(SimMountTest, WriteProtectedMountRefusesEveryChange) {
  WriteHostFile(host_.path() / "Disk" / "velmor.1", "media");
  machine_.Mount('A', host_.path(), SimMachine::MountAccess::writeProtected);
  ASSERT_EQ(PutFile(machine_, "C:\\local.txt", "local"), FileCause::none);
  // Reading and reading-only opens work as ever.
  EXPECT_EQ(GetFile(machine_, "A:\\DISK\\VELMOR.1"), "media");
  FileHandle handle = kNoFile;
  EXPECT_EQ(machine_.OpenFile("A:\\disk\\none", FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::fileNotFound);
  for (const FileDisposition disposition :
       {FileDisposition::openExisting, FileDisposition::openAlways, FileDisposition::createAlways})
    EXPECT_EQ(machine_.OpenFile("A:\\disk\\velmor.1", FileAccess::readWrite, FileShare::denyNone,
                                disposition, handle),
              FileCause::accessDenied);
  EXPECT_EQ(machine_.OpenFile("A:\\new.txt", FileAccess::read, FileShare::denyNone,
                              FileDisposition::openAlways, handle),
            FileCause::accessDenied);
  EXPECT_EQ(machine_.DeleteFile("A:\\disk\\velmor.1"), FileCause::accessDenied);
  EXPECT_EQ(machine_.MoveFile("A:\\disk\\velmor.1", "A:\\disk\\moved"), FileCause::accessDenied);
  EXPECT_EQ(machine_.MoveFile("A:\\disk\\velmor.1", "C:\\moved"), FileCause::accessDenied);
  EXPECT_EQ(machine_.MoveFile("C:\\local.txt", "A:\\local.txt"), FileCause::accessDenied);
  EXPECT_EQ(machine_.CopyFile("C:\\local.txt", "A:\\disk\\velmor.1", false),
            FileCause::accessDenied);
  EXPECT_EQ(machine_.CopyFile("A:\\disk\\velmor.1", "C:\\copy.1", false), FileCause::none);
  EXPECT_EQ(machine_.CreateDirectory("A:\\Sub"), FileCause::accessDenied);
  EXPECT_EQ(machine_.RemoveDirectory("A:\\Disk"), FileCause::accessDenied);
  EXPECT_EQ(machine_.SetFileAttributes("A:\\disk\\velmor.1", attr::readOnly),
            FileCause::accessDenied);
  std::string temp;
  EXPECT_EQ(machine_.CreateTempFile("A:\\disk", "ins", temp), FileCause::accessDenied);
  FileTimes times;
  times.lastWrite = 946728000;
  EXPECT_EQ(machine_.SetFileTimes("A:\\disk\\velmor.1", times), FileCause::accessDenied);
  EXPECT_EQ(machine_.SetProfileString("A:\\SETUP.INI", "s", "k", "v"), FileCause::accessDenied);

  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(host_.path()))
    names.push_back(fs::relative(entry.path(), host_.path()).generic_string());
  EXPECT_EQ(names.size(), 2u);  // Disk and Disk/velmor.1, nothing added
  EXPECT_EQ(ReadHostFile(host_.path() / "Disk" / "velmor.1"), "media");

  // Mounted again for writing, the same folder takes changes.
  machine_.Mount('A', host_.path());
  EXPECT_EQ(machine_.CreateDirectory("A:\\Sub"), FileCause::none);
}

TEST_F(SimMountTest, LinksInsideAMountMayNotLeaveIt) {
  VELMORA_SKIP_ON_WINDOWS_HOST("needs symbolic links");
  testing::TempRoot outside("outside");
  WriteHostFile(outside.path() / "secret.txt", "secret");
  WriteHostFile(host_.path() / "real" / "inner.txt", "inner");
  fs::create_directory_symlink(host_.path() / "real", host_.path() / "alias");
  fs::create_directory_symlink(outside.path(), host_.path() / "escape");
  machine_.Mount('M', host_.path());
  EXPECT_EQ(GetFile(machine_, "M:\\alias\\inner.txt"), "inner");
  EXPECT_EQ(GetFile(machine_, "M:\\escape\\secret.txt"), "<accessDenied>");
  EXPECT_EQ(PutFile(machine_, "M:\\escape\\dropped.txt", "x"), FileCause::accessDenied);
  EXPECT_FALSE(fs::exists(outside.path() / "dropped.txt"));
}

TEST_F(SimMountTest, MachineWithoutRootHasOnlyMounts) {
  WriteHostFile(host_.path() / "a.txt", "a");
  SimOptions options;
  options.currentDir = "Q:\\";
  SimMachine bare(options);
  EXPECT_EQ(bare.GetLogicalDrives(), 0u);
  EXPECT_EQ(GetFile(bare, "C:\\a.txt"), "<badPath>");
  bare.Mount('Q', host_.path());
  EXPECT_EQ(GetFile(bare, "a.txt"), "a");
  ASSERT_EQ(bare.SetFileAttributes("Q:\\a.txt", attr::readOnly), FileCause::none);
  EXPECT_EQ(bare.DeleteFile("Q:\\a.txt"), FileCause::accessDenied);
  EXPECT_TRUE(bare.Root().empty());
}

TEST_F(SimMountTest, DriveTypesAndEmptyDrives) {
  machine_.SetDriveType('A', DriveType::removable);
  EXPECT_EQ(machine_.GetDriveType("a:"), DriveType::removable);
  EXPECT_EQ(machine_.GetLogicalDrives(), (1u << 0) | (1u << 2));
  EXPECT_EQ(GetFile(machine_, "A:\\SETUP.INF"), "<hardIO>");  // no disk in the drive
  fs::create_directories(root_.path() / "A");
  WriteHostFile(root_.path() / "A" / "SETUP.INF", "disk 1");
  EXPECT_EQ(GetFile(machine_, "A:\\setup.inf"), "disk 1");

  machine_.SetDriveType('C', DriveType::noRootDir);  // hides the drive
  EXPECT_EQ(machine_.GetLogicalDrives(), 1u << 0);
  EXPECT_EQ(GetFile(machine_, "C:\\WINDOWS"), "<badPath>");
  machine_.SetDriveType('C', DriveType::cdrom);
  EXPECT_EQ(machine_.GetDriveType("C:\\"), DriveType::cdrom);
}

}  // namespace
}  // namespace velmora
