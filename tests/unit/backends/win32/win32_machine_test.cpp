// The Win32 machine on the real API (Windows, or Wine): its handle table,
// the errors the OS reports coming through as causes, 64-bit positions,
// listings and temp names.  Behaviour every backend shares is left to the
// machine conformance cases.
#ifdef _WIN32

#include "backends/win32/win32_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "backends/win32/wine_detect.h"
#include "framework/ascii.h"

namespace velmora {
namespace {

class Win32MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder under the Windows temp folder, named by the machine's
    // own temp-name call.
    const std::string temp = std::filesystem::temp_directory_path().string();
    ASSERT_EQ(machine_.CreateTempFile(temp, "vmt", dir_), FileCause::none);
    ASSERT_EQ(machine_.DeleteFile(dir_), FileCause::none);
    ASSERT_EQ(machine_.CreateDirectory(dir_), FileCause::none);
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

  FileHandle Open(const std::string& name, FileAccess access = FileAccess::readWrite,
                  FileShare share = FileShare::denyNone,
                  FileDisposition disposition = FileDisposition::openAlways) {
    FileHandle handle = kNoFile;
    EXPECT_EQ(machine_.OpenFile(Path(name), access, share, disposition, handle), FileCause::none)
        << name;
    return handle;
  }

  void MakeFile(const std::string& name, const std::string& content) {
    const FileHandle handle =
        Open(name, FileAccess::write, FileShare::exclusive, FileDisposition::createAlways);
    ASSERT_EQ(
        machine_.WriteFile(handle, content.data(), static_cast<std::uint32_t>(content.size())),
        FileCause::none);
    ASSERT_EQ(machine_.CloseFile(handle), FileCause::none);
  }

  Win32Machine machine_;
  std::string dir_;
};

TEST_F(Win32MachineTest, HandlesThatWereNeverIssuedOrAreClosedAreInvalid) {
  const FileHandle first = Open("a.bin");
  const FileHandle second = Open("b.bin");
  EXPECT_NE(first, kNoFile);
  EXPECT_NE(first, second);
  ASSERT_EQ(machine_.CloseFile(first), FileCause::none);
  // A new open must not bring the closed number back to life.
  const FileHandle third = Open("c.bin");
  EXPECT_NE(third, first);

  char byte = 0;
  std::uint32_t got = 99;
  std::uint64_t value = 0;
  for (const FileHandle stale : {kNoFile, first, FileHandle{0xDEADBEEF}}) {
    EXPECT_EQ(machine_.ReadFile(stale, &byte, 1, got), FileCause::invalidFile) << stale;
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(machine_.WriteFile(stale, &byte, 1), FileCause::invalidFile) << stale;
    EXPECT_EQ(machine_.SeekFile(stale, 0, SeekOrigin::begin, value), FileCause::invalidFile);
    EXPECT_EQ(machine_.GetFileSize(stale, value), FileCause::invalidFile);
    EXPECT_EQ(machine_.FlushFile(stale), FileCause::invalidFile);
    EXPECT_EQ(machine_.CloseFile(stale), FileCause::invalidFile);
  }
  EXPECT_EQ(machine_.CloseFile(second), FileCause::none);
  EXPECT_EQ(machine_.CloseFile(third), FileCause::none);
}

TEST_F(Win32MachineTest, ReadWriteSeekAndSizeWorkOnOneHandle) {
  const FileHandle handle = Open("data.bin");
  const char text[] = "0123456789";
  ASSERT_EQ(machine_.WriteFile(handle, text, 10), FileCause::none);
  std::uint64_t size = 0;
  ASSERT_EQ(machine_.GetFileSize(handle, size), FileCause::none);
  EXPECT_EQ(size, 10u);

  std::uint64_t position = 0;
  ASSERT_EQ(machine_.SeekFile(handle, -4, SeekOrigin::end, position), FileCause::none);
  EXPECT_EQ(position, 6u);
  char buffer[8] = {};
  std::uint32_t got = 0;
  ASSERT_EQ(machine_.ReadFile(handle, buffer, sizeof buffer, got), FileCause::none);
  EXPECT_EQ(got, 4u);  // short only because the file ends
  EXPECT_EQ(std::string(buffer, got), "6789");
  ASSERT_EQ(machine_.ReadFile(handle, buffer, sizeof buffer, got), FileCause::none);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(machine_.FlushFile(handle), FileCause::none);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
}

TEST_F(Win32MachineTest, PositionsBeyondFourGigabytesKeepTheirHighHalf) {
  const FileHandle handle = Open("far.bin");
  std::uint64_t position = 0;
  // Positions past the end are allowed and take no disk space.
  ASSERT_EQ(machine_.SeekFile(handle, 0x100000005LL, SeekOrigin::begin, position), FileCause::none);
  EXPECT_EQ(position, 0x100000005ULL);
  // A low half of all ones looks like the call's failure value.
  ASSERT_EQ(machine_.SeekFile(handle, 0x1FFFFFFFFLL, SeekOrigin::begin, position), FileCause::none);
  EXPECT_EQ(position, 0x1FFFFFFFFULL);
  ASSERT_EQ(machine_.SeekFile(handle, -0x1FFFFFFFFLL, SeekOrigin::current, position),
            FileCause::none);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(machine_.CloseFile(handle), FileCause::none);
}

TEST_F(Win32MachineTest, OperatingSystemErrorsArriveAsCauses) {
  FileHandle handle = kNoFile;
  EXPECT_EQ(machine_.OpenFile(Path("missing.bin"), FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::fileNotFound);
  EXPECT_EQ(handle, kNoFile);
  EXPECT_EQ(machine_.OpenFile(Path("no dir\\x.bin"), FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::badPath);

  const FileHandle held = Open("held.bin", FileAccess::readWrite, FileShare::exclusive);
  EXPECT_EQ(machine_.OpenFile(Path("held.bin"), FileAccess::read, FileShare::denyNone,
                              FileDisposition::openExisting, handle),
            FileCause::sharingViolation);
  std::uint64_t position = 0;
  EXPECT_EQ(machine_.SeekFile(held, -1, SeekOrigin::begin, position), FileCause::badSeek);
  EXPECT_EQ(machine_.CloseFile(held), FileCause::none);

  const FileHandle writeOnly = Open("held.bin", FileAccess::write);
  char byte = 0;
  std::uint32_t got = 0;
  EXPECT_EQ(machine_.ReadFile(writeOnly, &byte, 1, got), FileCause::accessDenied);
  EXPECT_EQ(machine_.CloseFile(writeOnly), FileCause::none);

  MakeFile("other.bin", "x");
  EXPECT_EQ(machine_.MoveFile(Path("held.bin"), Path("other.bin")), FileCause::accessDenied);
  EXPECT_EQ(machine_.CopyFile(Path("held.bin"), Path("other.bin"), true), FileCause::accessDenied);
  EXPECT_EQ(machine_.CreateDirectory(dir_), FileCause::accessDenied);
  EXPECT_EQ(machine_.RemoveDirectory(dir_), FileCause::accessDenied);  // not empty
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine_.GetFileAttributes(Path("missing.bin"), attributes), FileCause::fileNotFound);
  EXPECT_EQ(machine_.SetCurrentDirectory(Path("missing")), FileCause::fileNotFound);
}

TEST_F(Win32MachineTest, ReadOnlyFilesRefuseDeletionAndWriting) {
  MakeFile("locked.txt", "keep");
  ASSERT_EQ(machine_.SetFileAttributes(Path("locked.txt"), attr::readOnly), FileCause::none);
  std::uint32_t attributes = 0;
  ASSERT_EQ(machine_.GetFileAttributes(Path("locked.txt"), attributes), FileCause::none);
  EXPECT_EQ(attributes & (attr::readOnly | attr::directory), attr::readOnly);
  EXPECT_EQ(machine_.DeleteFile(Path("locked.txt")), FileCause::accessDenied);

  FileHandle handle = kNoFile;
  const FileCause open =
      machine_.OpenFile(Path("locked.txt"), FileAccess::write, FileShare::denyNone,
                        FileDisposition::openExisting, handle);
  if (open == FileCause::none) {
    machine_.CloseFile(handle);
    machine_.SetFileAttributes(Path("locked.txt"), attr::normal);
    if (RunningUnderWine()) {
      GTEST_SKIP() << "Wine run by Unix root lets a process write read-only files";
    }
  }
  EXPECT_EQ(open, FileCause::accessDenied);
  ASSERT_EQ(machine_.SetFileAttributes(Path("locked.txt"), attr::normal), FileCause::none);
  EXPECT_EQ(machine_.DeleteFile(Path("locked.txt")), FileCause::none);
}

TEST_F(Win32MachineTest, ListingsLeaveOutDotEntriesAndKeepSizesAndKinds) {
  MakeFile("Mixed Case.TXT", "12345");
  ASSERT_EQ(machine_.CreateDirectory(Path("sub")), FileCause::none);
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory(dir_, entries), FileCause::none);
  ASSERT_EQ(entries.size(), 2u);
  for (const DirEntry& entry : entries) {
    if (entry.name == "sub") {
      EXPECT_NE(entry.attributes & attr::directory, 0u);
    } else {
      EXPECT_EQ(entry.name, "Mixed Case.TXT");
      EXPECT_EQ(entry.attributes & attr::directory, 0u);
      EXPECT_EQ(entry.size, 5u);
    }
  }
  // A trailing separator names the same folder; an empty one has no entries.
  ASSERT_EQ(machine_.ListDirectory(dir_ + "\\", entries), FileCause::none);
  EXPECT_EQ(entries.size(), 2u);
  ASSERT_EQ(machine_.ListDirectory(Path("sub"), entries), FileCause::none);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(machine_.ListDirectory(Path("missing"), entries), FileCause::badPath);
}

TEST_F(Win32MachineTest, TempFilesAreCreatedEmptyUnderAFullPath) {
  const std::string before = machine_.GetCurrentDirectory();
  ASSERT_EQ(machine_.SetCurrentDirectory(dir_), FileCause::none);
  std::string path;
  const FileCause cause = machine_.CreateTempFile(".", "velmora", path);
  ASSERT_EQ(machine_.SetCurrentDirectory(before), FileCause::none);
  ASSERT_EQ(cause, FileCause::none);

  // dir\velXXXX.tmp: three letters of the prefix, a hex number, .tmp.
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  EXPECT_EQ(path.substr(0, dir_.size() + 1), dir_ + "\\");
  EXPECT_EQ(name.substr(0, 3), "vel");
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
  EXPECT_EQ(name.find_first_not_of("0123456789abcdefABCDEF", 3), name.size() - 4) << name;
  std::uint32_t attributes = 0;
  ASSERT_EQ(machine_.GetFileAttributes(path, attributes), FileCause::none);
  const FileHandle handle = Open(name, FileAccess::read);
  std::uint64_t size = 99;
  EXPECT_EQ(machine_.GetFileSize(handle, size), FileCause::none);
  EXPECT_EQ(size, 0u);
  machine_.CloseFile(handle);

  EXPECT_NE(machine_.CreateTempFile(Path("missing"), "vel", path), FileCause::none);
}

TEST_F(Win32MachineTest, LocationsAndDrivesDescribeThisMachine) {
  const std::string windows = machine_.GetWindowsDirectory();
  const std::string system = machine_.GetSystemDirectory();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_EQ(windows.substr(1, 2), ":\\");
  EXPECT_EQ(system.substr(0, windows.size() + 1), windows + "\\");

  EXPECT_EQ(machine_.GetFullPathName(dir_ + "\\sub\\..\\.\\file.txt"), dir_ + "\\file.txt");
  EXPECT_EQ(machine_.GetFullPathName(""), "");

  const std::uint32_t drives = machine_.GetLogicalDrives();
  const int windowsDrive = AsciiUpper(windows[0]) - 'A';
  EXPECT_NE(drives & (1u << windowsDrive), 0u);
  EXPECT_EQ(machine_.GetDriveType(windows.substr(0, 3)), DriveType::fixed);
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (1u << letter)) != 0) continue;
    const std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
    EXPECT_EQ(machine_.GetDriveType(root), DriveType::noRootDir) << root;
    break;
  }
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
