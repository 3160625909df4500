// CFile over the simulated machine: open flags, positions, error reporting
// and handle lifetime.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "framework/file.h"
#include "unit/support/sim_machine_fixture.h"

namespace velmora {
namespace {

using CFileTest = testing::SimMachineTest;

FileCause CauseOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CFileException& e) {
    return e.Cause();
  }
  return FileCause::none;
}

TEST_F(CFileTest, FailedOpenReportsWithoutThrowing) {
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open("C:\\missing.bin", CFile::modeRead, &error));
  EXPECT_EQ(error.Cause(), FileCause::fileNotFound);
  EXPECT_EQ(error.m_strFileName, "C:\\missing.bin");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Open("C:\\nodir\\x.bin", CFile::modeWrite | CFile::modeCreate));
  // modeWrite alone opens an existing file only.
  EXPECT_FALSE(file.Open("C:\\new.bin", CFile::modeWrite, &error));
  EXPECT_EQ(error.Cause(), FileCause::fileNotFound);
}

TEST_F(CFileTest, PositionsFollowReadsWritesAndSeeks) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\pos.bin", CFile::modeReadWrite | CFile::modeCreate));
  file.Write("0123456789", 10);
  EXPECT_EQ(file.GetPosition(), 10u);
  EXPECT_EQ(file.Seek(-4, CFile::end), 6);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(file.Read(buffer, 8), 0u);  // at the end
  EXPECT_EQ(file.Seek(5, CFile::begin), 5);
  EXPECT_EQ(file.Seek(2, CFile::current), 7);
  EXPECT_EQ(file.SeekToEnd(), 10u);
  file.SeekToBegin();
  EXPECT_EQ(file.GetPosition(), 0u);
  // Writing past the end fills the gap with zeros.
  file.Seek(12, CFile::begin);
  file.Write("Z", 1);
  EXPECT_EQ(file.GetLength(), 13u);
  file.Close();
  EXPECT_EQ(HostBytes("pos.bin"), std::string("0123456789\0\0Z", 13));
}

TEST_F(CFileTest, NegativeSeekThrowsBadSeekAndKeepsThePosition) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\s.bin", CFile::modeReadWrite | CFile::modeCreate));
  file.Write("abc", 3);
  try {
    file.Seek(-4, CFile::current);
    FAIL() << "seek before the start succeeded";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.Cause(), FileCause::badSeek);
    EXPECT_EQ(e.m_strFileName, "C:\\s.bin");
  }
  EXPECT_EQ(file.GetPosition(), 3u);
}

TEST_F(CFileTest, ShareCompatIsExclusive) {
  PlantBytes("s.bin", "s");
  CFile first;
  ASSERT_TRUE(first.Open("C:\\s.bin", CFile::modeRead | CFile::shareCompat));
  CFile second;
  CFileException error;
  EXPECT_FALSE(second.Open("C:\\s.bin", CFile::modeRead | CFile::shareDenyNone, &error));
  EXPECT_EQ(error.Cause(), FileCause::sharingViolation);
}

TEST_F(CFileTest, ClosedFileRefusesTransfersButNotCloseOrFlush) {
  CFile file;
  char byte = 0;
  EXPECT_EQ(CauseOf([&] { file.Read(&byte, 1); }), FileCause::invalidFile);
  EXPECT_EQ(CauseOf([&] { file.Write(&byte, 1); }), FileCause::invalidFile);
  EXPECT_EQ(CauseOf([&] { file.Seek(0, CFile::begin); }), FileCause::invalidFile);
  EXPECT_EQ(CauseOf([&] { file.GetLength(); }), FileCause::invalidFile);
  EXPECT_EQ(CauseOf([&] { file.GetPosition(); }), FileCause::invalidFile);
  EXPECT_EQ(CauseOf([&] { file.Flush(); }), FileCause::none);
  EXPECT_EQ(CauseOf([&] { file.Close(); }), FileCause::none);
  file.Abort();
}

TEST_F(CFileTest, CloseReportsAFailureButLetsGo) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\c.bin", CFile::modeWrite | CFile::modeCreate));
  machine_.InjectFault("CloseFile", 1, FileCause::hardIO);
  EXPECT_EQ(CauseOf([&] { file.Close(); }), FileCause::hardIO);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
  // Abort swallows the same failure.
  ASSERT_TRUE(file.Open("C:\\c.bin", CFile::modeWrite));
  machine_.InjectFault("CloseFile", 1, FileCause::hardIO);
  file.Abort();
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(CFileTest, DestructorAndReopenReleaseHandles) {
  {
    CFile file;
    ASSERT_TRUE(file.Open("C:\\a.bin", CFile::modeWrite | CFile::modeCreate));
    ASSERT_TRUE(file.Open("C:\\b.bin", CFile::modeWrite | CFile::modeCreate));
    EXPECT_EQ(machine_.OpenFileCount(), 1u);
    EXPECT_EQ(file.GetFilePath(), "C:\\b.bin");
  }
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
}

TEST_F(CFileTest, ZeroLengthTransfersDoNotReachTheMachine) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\z.bin", CFile::modeReadWrite | CFile::modeCreate));
  machine_.InjectFault("ReadFile", 1, FileCause::hardIO);
  machine_.InjectFault("WriteFile", 1, FileCause::hardIO);
  EXPECT_EQ(file.Read(nullptr, 0), 0u);
  file.Write(nullptr, 0);
  EXPECT_EQ(machine_.PendingFaults(), 2u);
}

TEST_F(CFileTest, FileStaysOnTheMachineItWasOpenedOn) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\home.bin", CFile::modeWrite | CFile::modeCreate));
  testing::TempRoot otherRoot;
  SimMachine other(otherRoot.path());
  ScopedMachine scope(other);
  file.Write("here", 4);
  file.Close();
  EXPECT_EQ(HostBytes("home.bin"), "here");
  EXPECT_FALSE(std::filesystem::exists(otherRoot.path() / "C" / "home.bin"));
}

}  // namespace
}  // namespace velmora
