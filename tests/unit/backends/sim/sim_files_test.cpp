// File behaviour only the simulated machine has to get right on its own:
// attributes kept across machines, Windows refusals a root user would not
// see, temporary names, and the free-space quota.
#include <gtest/gtest.h>

#include <filesystem>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::GetFile;
using testing::PutFile;
using testing::WriteHostFile;

constexpr std::uint32_t kFlags = attr::readOnly | attr::hidden | attr::system | attr::archive;

std::uint32_t AttributesOf(Machine& machine, const std::string& path) {
  std::uint32_t bits = 0;
  EXPECT_EQ(machine.GetFileAttributes(path, bits), FileCause::none) << path;
  return bits;
}

class SimFilesTest : public ::testing::Test {
 protected:
  testing::TempRoot root_;
  SimMachine machine_{root_.path()};
};

TEST_F(SimFilesTest, AttributesSurviveANewMachineOnTheSameRoot) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\App"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\App\\Main.Dll", "dll"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\app\\main.dll", attr::readOnly | attr::system),
            FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\APP", attr::hidden), FileCause::none);
  {
    SimMachine second(root_.path());
    EXPECT_EQ(AttributesOf(second, "C:\\App\\Main.dll"), attr::readOnly | attr::system);
    EXPECT_EQ(AttributesOf(second, "C:\\App"), attr::hidden | attr::directory);
    EXPECT_EQ(second.DeleteFile("C:\\App\\Main.dll"), FileCause::accessDenied);
  }
  // Host files the machine never touched are plain archive files.
  WriteHostFile(root_.path() / "C" / "planted.txt", "p");
  EXPECT_EQ(AttributesOf(machine_, "C:\\planted.txt"), attr::archive);
}

TEST_F(SimFilesTest, AttributesFollowMovesAndDieWithDeletes) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Old"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\Old\\a.txt", "a"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\Old\\a.txt", attr::readOnly), FileCause::none);
  ASSERT_EQ(machine_.MoveFile("C:\\OLD", "C:\\New"), FileCause::none);
  EXPECT_EQ(AttributesOf(machine_, "C:\\New\\A.TXT"), attr::readOnly);
  ASSERT_EQ(PutFile(machine_, "C:\\Old", "now a file"), FileCause::none);
  EXPECT_EQ(AttributesOf(machine_, "C:\\Old"), attr::archive);

  ASSERT_EQ(machine_.SetFileAttributes("C:\\New\\a.txt", attr::normal), FileCause::none);
  EXPECT_EQ(AttributesOf(machine_, "C:\\New\\a.txt"), attr::normal);
  ASSERT_EQ(machine_.DeleteFile("C:\\New\\a.txt"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\New\\a.txt", "fresh"), FileCause::none);
  EXPECT_EQ(AttributesOf(machine_, "C:\\New\\a.txt"), attr::archive);
  SimMachine second(root_.path());
  EXPECT_EQ(AttributesOf(second, "C:\\New\\a.txt"), attr::archive);
}

TEST_F(SimFilesTest, CopiesKeepReadOnlyAndRootCannotWriteIt) {
  ASSERT_EQ(PutFile(machine_, "C:\\ro.txt", "keep"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\ro.txt", attr::readOnly), FileCause::none);
  FileHandle handle = kNoFile;
  EXPECT_EQ(machine_.OpenFile("C:\\ro.txt", FileAccess::readWrite, FileShare::denyNone,
                              FileDisposition::openAlways, handle),
            FileCause::accessDenied);
  ASSERT_EQ(machine_.CopyFile("C:\\ro.txt", "C:\\copy.txt", true), FileCause::none);
  EXPECT_EQ(AttributesOf(machine_, "C:\\copy.txt"), attr::readOnly | attr::archive);
}

// Windows refuses to replace a hidden or system file with one that is not
// (Wine allows it, so the conformance case skips there).
TEST_F(SimFilesTest, HiddenOrSystemTargetsNeedAMatchingSource) {
  ASSERT_EQ(PutFile(machine_, "C:\\h.sys", "old"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\plain.sys", "plain"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\h.sys", attr::hidden | attr::system), FileCause::none);
  EXPECT_EQ(PutFile(machine_, "C:\\h.sys", "new"), FileCause::accessDenied);
  EXPECT_EQ(machine_.CopyFile("C:\\plain.sys", "C:\\h.sys", false), FileCause::accessDenied);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\plain.sys", attr::hidden), FileCause::none);
  EXPECT_EQ(machine_.CopyFile("C:\\plain.sys", "C:\\h.sys", false), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine_, "C:\\h.sys"), "old");
  ASSERT_EQ(machine_.SetFileAttributes("C:\\plain.sys", attr::hidden | attr::system),
            FileCause::none);
  EXPECT_EQ(machine_.CopyFile("C:\\plain.sys", "C:\\h.sys", false), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\h.sys"), "plain");
}

TEST_F(SimFilesTest, MoveChangingOnlyTheCaseRenames) {
  VELMORA_SKIP_ON_WINDOWS_HOST("Wine's host rename ignores a change of case");
  ASSERT_EQ(PutFile(machine_, "C:\\lower.txt", "x"), FileCause::none);
  ASSERT_EQ(machine_.MoveFile("C:\\lower.txt", "C:\\LOWER.TXT"), FileCause::none);
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\", entries), FileCause::none);
  EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                          [](const DirEntry& e) { return e.name == "LOWER.TXT"; }));
}

TEST_F(SimFilesTest, FoldersCannotMoveIntoThemselvesNorLoseReadOnly) {
  EXPECT_EQ(machine_.MoveFile("C:\\WINDOWS", "C:\\windows\\SYSTEM\\W"), FileCause::generic);
  ASSERT_EQ(machine_.CreateDirectory("C:\\ro"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\ro", attr::readOnly), FileCause::none);
  EXPECT_EQ(machine_.RemoveDirectory("C:\\ro"), FileCause::accessDenied);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\ro", 0), FileCause::none);
  EXPECT_EQ(machine_.RemoveDirectory("C:\\ro"), FileCause::none);
}

TEST_F(SimFilesTest, CopyReplacesATargetOthersShareForWriting) {
  ASSERT_EQ(PutFile(machine_, "C:\\src.txt", "new"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\dst.txt", "old"), FileCause::none);
  FileHandle reader = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\dst.txt", FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, reader),
            FileCause::none);
  EXPECT_EQ(machine_.CopyFile("C:\\src.txt", "C:\\dst.txt", false), FileCause::none);
  ASSERT_EQ(machine_.CloseFile(reader), FileCause::none);
  ASSERT_EQ(machine_.OpenFile("C:\\dst.txt", FileAccess::read, FileShare::denyWrite,
                              FileDisposition::openExisting, reader),
            FileCause::none);
  EXPECT_EQ(machine_.CopyFile("C:\\src.txt", "C:\\dst.txt", false), FileCause::sharingViolation);
  ASSERT_EQ(machine_.CloseFile(reader), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\dst.txt"), "new");
}

TEST_F(SimFilesTest, MoveAcrossDrivesCarriesFilesButNotFolders) {
  fs::create_directories(root_.path() / "D");
  ASSERT_EQ(PutFile(machine_, "C:\\move.txt", "m"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\move.txt", attr::hidden), FileCause::none);
  ASSERT_EQ(machine_.MoveFile("C:\\move.txt", "D:\\moved.txt"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "D:\\moved.txt"), "m");
  EXPECT_EQ(AttributesOf(machine_, "D:\\moved.txt"), attr::hidden);
  EXPECT_EQ(machine_.MoveFile("C:\\WINDOWS", "D:\\WINDOWS"), FileCause::badPath);
}

// A running program's image is renamed, never written or deleted, and its
// handle goes with it; a plain open without delete sharing pins its file.
TEST_F(SimFilesTest, ARunningImageMovesWithinItsDriveAndStaysInUse) {
  if (!testing::kHostRenamesOpenFiles) GTEST_SKIP() << testing::kNoRenameOfOpenFiles;
  fs::create_directories(root_.path() / "D");
  ASSERT_EQ(PutFile(machine_, "C:\\PROG.EXE", "image"), FileCause::none);
  FileHandle image = kNoFile;
  ASSERT_EQ(machine_.OpenRunningImage("C:\\PROG.EXE", image), FileCause::none);
  EXPECT_EQ(machine_.DeleteFile("C:\\PROG.EXE"), FileCause::accessDenied);
  EXPECT_EQ(PutFile(machine_, "C:\\PROG.EXE", "x"), FileCause::sharingViolation);
  EXPECT_EQ(machine_.MoveFile("C:\\PROG.EXE", "D:\\PROG.EXE"), FileCause::accessDenied);
  ASSERT_EQ(machine_.MoveFile("C:\\PROG.EXE", "C:\\ASIDE.TMP"), FileCause::none);
  EXPECT_EQ(machine_.DeleteFile("C:\\ASIDE.TMP"), FileCause::accessDenied);
  char bytes[8] = {};
  std::uint32_t got = 0;
  EXPECT_EQ(machine_.ReadFile(image, bytes, sizeof bytes, got), FileCause::none);
  EXPECT_EQ(std::string(bytes, got), "image");
  // The name is free for another file, which a plain open pins.
  ASSERT_EQ(PutFile(machine_, "C:\\PROG.EXE", "new"), FileCause::none);
  FileHandle plain = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\PROG.EXE", FileAccess::read, FileShare::denyWrite,
                              FileDisposition::openExisting, plain),
            FileCause::none);
  EXPECT_EQ(machine_.MoveFile("C:\\PROG.EXE", "C:\\OTHER.TMP"), FileCause::sharingViolation);
  EXPECT_EQ(machine_.CloseFile(plain), FileCause::none);
  EXPECT_EQ(machine_.CloseFile(image), FileCause::none);
  EXPECT_EQ(machine_.DeleteFile("C:\\ASIDE.TMP"), FileCause::none);
}

TEST_F(SimFilesTest, OpenFilesOfAFolderPinIt) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\busy"), FileCause::none);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\busy\\f", FileAccess::write, FileShare::denyNone,
                              FileDisposition::createAlways, handle),
            FileCause::none);
  EXPECT_EQ(machine_.MoveFile("C:\\busy", "C:\\idle"), FileCause::accessDenied);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
  EXPECT_EQ(machine_.MoveFile("C:\\busy", "C:\\idle"), FileCause::none);
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
}

TEST_F(SimFilesTest, TempNamesCountUpAndSkipTakenNames) {
  std::string path;
  ASSERT_EQ(machine_.CreateTempFile("C:\\WINDOWS", "install", path), FileCause::none);
  EXPECT_EQ(path, "C:\\WINDOWS\\ins1.tmp");
  WriteHostFile(root_.path() / "C" / "WINDOWS" / "INS2.TMP", "taken");
  ASSERT_EQ(machine_.CreateTempFile("c:\\windows\\", "install", path), FileCause::none);
  EXPECT_EQ(path, "C:\\windows\\ins3.tmp");
  EXPECT_EQ(fs::file_size(root_.path() / "C" / "WINDOWS" / "ins3.tmp"), 0u);
  ASSERT_EQ(machine_.CreateTempFile("C:\\WINDOWS", "~", path), FileCause::none);
  EXPECT_EQ(path, "C:\\WINDOWS\\~4.tmp");
  EXPECT_EQ(machine_.CreateTempFile("C:\\WINDOWS", "a|b", path), FileCause::badPath);
  EXPECT_EQ(machine_.CreateTempFile("C:\\WINDOWS\\ins1.tmp", "x", path), FileCause::badPath);
  EXPECT_TRUE(path.empty());
}

TEST_F(SimFilesTest, FreeSpaceQuotaRefusesGrowth) {
  machine_.SetFreeSpace('c', 10);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\q.bin", FileAccess::readWrite, FileShare::exclusive,
                              FileDisposition::createAlways, handle),
            FileCause::none);
  EXPECT_EQ(machine_.WriteFile(handle, "12345678", 8), FileCause::none);
  EXPECT_EQ(machine_.WriteFile(handle, "12345678", 8), FileCause::diskFull);
  std::uint64_t size = 0;
  ASSERT_EQ(machine_.GetFileSize(handle, size), FileCause::none);
  EXPECT_EQ(size, 8u);
  // Overwriting in place needs no space.
  std::uint64_t position = 0;
  ASSERT_EQ(machine_.SeekFile(handle, 0, SeekOrigin::begin, position), FileCause::none);
  EXPECT_EQ(machine_.WriteFile(handle, "abcdefgh", 8), FileCause::none);
  ASSERT_EQ(machine_.CloseFile(handle), FileCause::none);
  EXPECT_EQ(machine_.FreeSpace('C'), 2u);

  EXPECT_EQ(machine_.CopyFile("C:\\q.bin", "C:\\q2.bin", false), FileCause::diskFull);
  EXPECT_EQ(GetFile(machine_, "C:\\q2.bin"), "<fileNotFound>");
  ASSERT_EQ(machine_.DeleteFile("C:\\q.bin"), FileCause::none);
  EXPECT_EQ(machine_.FreeSpace('C'), 10u);
  machine_.SetFreeSpace('C', std::nullopt);
  EXPECT_EQ(PutFile(machine_, "C:\\big.bin", std::string(100, 'b')), FileCause::none);
}

TEST_F(SimFilesTest, StaleHandlesAreInvalid) {
  ASSERT_EQ(PutFile(machine_, "C:\\f.txt", "f"), FileCause::none);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile("C:\\f.txt", FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::none);
  EXPECT_NE(handle, kNoFile);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
  std::uint32_t got = 0;
  char byte = 0;
  EXPECT_EQ(machine_.ReadFile(handle, &byte, 1, got), FileCause::invalidFile);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::invalidFile);
  EXPECT_EQ(machine_.CloseFile(kNoFile), FileCause::invalidFile);
}

}  // namespace
}  // namespace velmora
