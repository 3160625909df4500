// The in-memory machine of the fuzz targets and benchmarks behaves as the
// readers expect of files.
#include "unit/support/memory_machine.h"

#include <gtest/gtest.h>

#include "framework/file.h"

namespace velmora::test {
namespace {

TEST(MemoryMachine, FilesThroughCFile) {
  MemoryMachine machine;
  ScopedMachine scoped(machine);
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open("C:\\MISSING", CFile::modeRead, &error));
  EXPECT_EQ(error.Cause(), FileCause::fileNotFound);

  ASSERT_TRUE(file.Open("c:/New.txt", CFile::modeCreate | CFile::modeReadWrite));
  file.Write("hello", 5);
  file.Seek(8, CFile::begin);
  file.Write("!", 1);  // past the end: the gap reads as zeros
  EXPECT_EQ(file.GetLength(), 9u);
  file.SeekToBegin();
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 9u);
  EXPECT_EQ(std::string(buffer, 9), std::string("hello\0\0\0!", 9));
  EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
  file.Close();
  EXPECT_EQ(machine.GetFile("\\NEW.TXT").size(), 9u);  // on drive C:, any case
}

TEST(MemoryMachine, SharingAsWindowsHasIt) {
  MemoryMachine machine;
  ScopedMachine scoped(machine);
  machine.SetFile("C:\\SUB\\F", "data");
  CFile reader;
  ASSERT_TRUE(reader.Open("C:\\SUB\\F", CFile::modeRead | CFile::shareDenyWrite));
  CFile writer;
  CFileException error;
  EXPECT_FALSE(writer.Open("C:\\SUB\\F", CFile::modeWrite | CFile::shareDenyNone, &error));
  EXPECT_EQ(error.Cause(), FileCause::sharingViolation);
  CFile second;
  EXPECT_TRUE(second.Open("C:\\SUB\\F", CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_EQ(machine.DeleteFile("C:\\SUB\\F"), FileCause::sharingViolation);
  reader.Close();
  second.Close();
  EXPECT_TRUE(writer.Open("C:\\SUB\\F", CFile::modeWrite | CFile::shareDenyNone));
  writer.Close();
  EXPECT_EQ(machine.DeleteFile("C:\\SUB\\F"), FileCause::none);
}

}  // namespace
}  // namespace velmora::test
