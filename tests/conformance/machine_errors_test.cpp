// Machine conformance: the causes reported for failing file operations, and
// the sharing rules between open handles.
#include <gtest/gtest.h>

#include "conformance/machine_fixture.h"
#include "framework/file.h"

namespace velmora {
namespace {

using testing::GetFile;
using testing::PutFile;
using MachineErrors = testing::MachineTest;

FileCause OpenCause(const std::string& path, unsigned flags) {
  CFile file;
  CFileException error;
  if (file.Open(path, flags, &error)) return FileCause::none;
  return error.Cause();
}

TEST_F(MachineErrors, MissingNamesAndFolders) {
  EXPECT_EQ(OpenCause(At("none.txt"), CFile::modeRead), FileCause::fileNotFound);
  EXPECT_EQ(OpenCause(At("none\\file.txt"), CFile::modeRead), FileCause::badPath);
  EXPECT_EQ(OpenCause(At("none\\file.txt"), CFile::modeCreate | CFile::modeWrite),
            FileCause::badPath);
  ASSERT_EQ(PutFile(machine(), At("file.txt"), "f"), FileCause::none);
  EXPECT_EQ(OpenCause(At("file.txt\\inner.txt"), CFile::modeRead), FileCause::badPath);
  ASSERT_EQ(machine().CreateDirectory(At("dir")), FileCause::none);
  EXPECT_EQ(OpenCause(At("dir"), CFile::modeRead), FileCause::accessDenied);
  EXPECT_EQ(OpenCause(At("dir"), CFile::modeCreate | CFile::modeWrite), FileCause::accessDenied);
}

TEST_F(MachineErrors, SeekBeforeTheStartIsBadSeek) {
  CFile file;
  ASSERT_TRUE(file.Open(At("s.bin"), CFile::modeCreate | CFile::modeReadWrite));
  file.Write("abcd", 4);
  for (unsigned from : {CFile::begin, CFile::current, CFile::end}) {
    try {
      file.Seek(-5, from);
      ADD_FAILURE() << "seek to before the start from " << from;
    } catch (const CFileException& e) {
      EXPECT_EQ(e.Cause(), FileCause::badSeek) << "from " << from;
    }
  }
  EXPECT_EQ(file.Seek(-4, CFile::end), 0);
}

TEST_F(MachineErrors, TransfersNeedTheRightAccess) {
  ASSERT_EQ(PutFile(machine(), At("a.bin"), "abc"), FileCause::none);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine().OpenFile(At("a.bin"), FileAccess::read, FileShare::denyNone,
                               FileDisposition::openExisting, handle),
            FileCause::none);
  EXPECT_EQ(machine().WriteFile(handle, "x", 1), FileCause::accessDenied);
  ASSERT_EQ(machine().CloseFile(handle), FileCause::none);
  ASSERT_EQ(machine().OpenFile(At("a.bin"), FileAccess::write, FileShare::denyNone,
                               FileDisposition::openExisting, handle),
            FileCause::none);
  char byte = 0;
  std::uint32_t got = 0;
  EXPECT_EQ(machine().ReadFile(handle, &byte, 1, got), FileCause::accessDenied);
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(machine().CloseFile(handle), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("a.bin")), "abc");
}

TEST_F(MachineErrors, ReadOnlyFileRefusesWriting) {
  ASSERT_EQ(PutFile(machine(), At("ro.txt"), "keep"), FileCause::none);
  ASSERT_EQ(PutFile(machine(), At("other.txt"), "other"), FileCause::none);
  ASSERT_EQ(machine().SetFileAttributes(At("ro.txt"), attr::readOnly), FileCause::none);
  const FileCause open = OpenCause(At("ro.txt"), CFile::modeWrite);
  if (open == FileCause::none && UnderWine())
    GTEST_SKIP() << "Wine running as root writes read-only files where Windows refuses";
  EXPECT_EQ(open, FileCause::accessDenied);
  EXPECT_EQ(OpenCause(At("ro.txt"), CFile::modeCreate | CFile::modeWrite), FileCause::accessDenied);
  EXPECT_EQ(machine().CopyFile(At("other.txt"), At("ro.txt"), false), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("ro.txt")), "keep");
  EXPECT_EQ(OpenCause(At("ro.txt"), CFile::modeRead), FileCause::none);
}

TEST_F(MachineErrors, OpenFilesCannotBeDeletedOrMoved) {
  ASSERT_EQ(PutFile(machine(), At("busy.txt"), "busy"), FileCause::none);
  for (unsigned share : {CFile::shareExclusive, CFile::shareDenyNone}) {
    CFile file;
    ASSERT_TRUE(file.Open(At("busy.txt"), CFile::modeRead | share));
    EXPECT_EQ(machine().DeleteFile(At("busy.txt")), FileCause::sharingViolation);
    EXPECT_EQ(machine().MoveFile(At("busy.txt"), At("moved.txt")), FileCause::sharingViolation);
  }
  EXPECT_EQ(GetFile(machine(), At("busy.txt")), "busy");
  EXPECT_EQ(machine().DeleteFile(At("busy.txt")), FileCause::none);
}

TEST_F(MachineErrors, CopyOntoAnOpenFileIsASharingViolation) {
  ASSERT_EQ(PutFile(machine(), At("src.txt"), "new"), FileCause::none);
  ASSERT_EQ(PutFile(machine(), At("dst.txt"), "old"), FileCause::none);
  {
    CFile file;
    ASSERT_TRUE(file.Open(At("dst.txt"), CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(machine().CopyFile(At("src.txt"), At("dst.txt"), false), FileCause::sharingViolation);
  }
  EXPECT_EQ(GetFile(machine(), At("dst.txt")), "old");
  {
    CFile file;
    ASSERT_TRUE(file.Open(At("src.txt"), CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(machine().CopyFile(At("src.txt"), At("third.txt"), false),
              FileCause::sharingViolation);
  }
}

TEST_F(MachineErrors, CopySharesTheSourceAndNeverTruncatesItself) {
  ASSERT_EQ(PutFile(machine(), At("self.txt"), "precious"), FileCause::none);
  EXPECT_EQ(machine().CopyFile(At("self.txt"), At("SELF.TXT"), false), FileCause::sharingViolation);
  EXPECT_EQ(GetFile(machine(), At("self.txt")), "precious");
  // A source others read, or even write while sharing, can be copied.
  for (unsigned flags :
       {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone}) {
    CFile file;
    ASSERT_TRUE(file.Open(At("self.txt"), flags));
    EXPECT_EQ(machine().CopyFile(At("self.txt"), At("copy.txt"), false), FileCause::none);
  }
  EXPECT_EQ(GetFile(machine(), At("copy.txt")), "precious");
}

TEST_F(MachineErrors, FlushNeedsWriteAccess) {
  ASSERT_EQ(PutFile(machine(), At("f.txt"), "f"), FileCause::none);
  CFile file;
  ASSERT_TRUE(file.Open(At("f.txt"), CFile::modeRead | CFile::shareDenyNone));
  try {
    file.Flush();
    ADD_FAILURE() << "flushed a file open for reading";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.Cause(), FileCause::accessDenied);
  }
  CFile writer;
  ASSERT_TRUE(writer.Open(At("f.txt"), CFile::modeWrite | CFile::shareDenyNone));
  writer.Write("g", 1);
  EXPECT_NO_THROW(writer.Flush());
}

TEST_F(MachineErrors, CreateAlwaysKeepsHiddenAndSystemFiles) {
  ASSERT_EQ(PutFile(machine(), At("hidden.txt"), "h"), FileCause::none);
  ASSERT_EQ(machine().SetFileAttributes(At("hidden.txt"), attr::hidden), FileCause::none);
  const FileCause cause = OpenCause(At("hidden.txt"), CFile::modeCreate | CFile::modeWrite);
  if (cause == FileCause::none && UnderWine())
    GTEST_SKIP() << "Wine recreates hidden and system files where Windows refuses";
  EXPECT_EQ(cause, FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("hidden.txt")), "h");
  EXPECT_EQ(
      OpenCause(At("hidden.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite),
      FileCause::none);
}

// One open after another: does the second succeed?
struct ShareCase {
  FileAccess firstAccess;
  FileShare firstShare;
  FileAccess secondAccess;
  FileShare secondShare;
  FileCause expected;
};

class MachineSharing : public testing::MachineTest,
                       public ::testing::WithParamInterface<ShareCase> {};

TEST_P(MachineSharing, SecondOpen) {
  const ShareCase& c = GetParam();
  ASSERT_EQ(PutFile(machine(), At("shared.bin"), "s"), FileCause::none);
  FileHandle first = kNoFile;
  FileHandle second = kNoFile;
  ASSERT_EQ(machine().OpenFile(At("shared.bin"), c.firstAccess, c.firstShare,
                               FileDisposition::openExisting, first),
            FileCause::none);
  EXPECT_EQ(machine().OpenFile(At("SHARED.BIN"), c.secondAccess, c.secondShare,
                               FileDisposition::openExisting, second),
            c.expected);
  if (second != kNoFile) {
    EXPECT_EQ(machine().CloseFile(second), FileCause::none);
  }
  EXPECT_EQ(machine().CloseFile(first), FileCause::none);
}

constexpr FileAccess R = FileAccess::read;
constexpr FileAccess W = FileAccess::write;
constexpr FileAccess RW = FileAccess::readWrite;
constexpr FileCause ok = FileCause::none;
constexpr FileCause busy = FileCause::sharingViolation;

INSTANTIATE_TEST_SUITE_P(
    Table, MachineSharing,
    ::testing::Values(ShareCase{R, FileShare::denyNone, R, FileShare::denyNone, ok},
                      ShareCase{RW, FileShare::denyNone, RW, FileShare::denyNone, ok},
                      ShareCase{R, FileShare::denyWrite, R, FileShare::denyWrite, ok},
                      ShareCase{R, FileShare::denyWrite, R, FileShare::denyNone, ok},
                      ShareCase{R, FileShare::denyWrite, W, FileShare::denyNone, busy},
                      ShareCase{W, FileShare::denyNone, R, FileShare::denyWrite, busy},
                      ShareCase{W, FileShare::denyRead, W, FileShare::denyNone, ok},
                      ShareCase{W, FileShare::denyRead, R, FileShare::denyNone, busy},
                      ShareCase{R, FileShare::denyNone, W, FileShare::denyRead, busy},
                      ShareCase{R, FileShare::exclusive, R, FileShare::denyNone, busy},
                      ShareCase{R, FileShare::denyNone, R, FileShare::exclusive, busy},
                      ShareCase{RW, FileShare::denyNone, R, FileShare::denyWrite, busy}));

}  // namespace
}  // namespace velmora
