// The in-memory test machine behaves as the file tests expect.
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
  EXPECT_FALSE(file.Open("C:\\NODIR\\F", CFile::modeCreate | CFile::modeWrite, &error));
  EXPECT_EQ(error.Cause(), FileCause::badPath);

  ASSERT_TRUE(file.Open("c:/dir/../New.txt", CFile::modeCreate | CFile::modeReadWrite));
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
  EXPECT_EQ(machine.GetText("C:\\NEW.TXT").size(), 9u);
}

TEST(MemoryMachine, SharingAndReadOnly) {
  MemoryMachine machine;
  ScopedMachine scoped(machine);
  machine.SetFile("C:\\SUB\\F", "data");  // creates C:\SUB
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
  EXPECT_EQ(machine.SetFileAttributes("C:\\SUB\\F", attr::readOnly), FileCause::none);
  EXPECT_FALSE(writer.Open("C:\\SUB\\F", CFile::modeWrite, &error));
  EXPECT_EQ(error.Cause(), FileCause::accessDenied);
  EXPECT_EQ(machine.DeleteFile("C:\\SUB\\F"), FileCause::accessDenied);
}

TEST(MemoryMachine, DirectoriesAndNames) {
  MemoryMachine machine;
  EXPECT_EQ(machine.CreateDirectory("C:\\APP"), FileCause::none);
  EXPECT_EQ(machine.CreateDirectory("C:\\app"), FileCause::accessDenied);
  EXPECT_EQ(machine.SetCurrentDirectory("C:\\App"), FileCause::none);
  EXPECT_EQ(machine.GetCurrentDirectory(), "C:\\APP");
  EXPECT_EQ(machine.GetFullPathName("x\\..\\Readme.txt"), "C:\\APP\\Readme.txt");
  machine.SetFile("Readme.txt", "r");
  std::string temp;
  EXPECT_EQ(machine.CreateTempFile("C:\\APP", "velmora", temp), FileCause::none);
  EXPECT_EQ(temp.substr(0, 10), "C:\\APP\\vel");
  std::vector<DirEntry> entries;
  EXPECT_EQ(machine.ListDirectory("C:\\APP", entries), FileCause::none);
  EXPECT_EQ(entries.size(), 2u);
  EXPECT_EQ(machine.MoveFile("C:\\APP\\README.TXT", "C:\\R2"), FileCause::none);
  EXPECT_TRUE(machine.HasFile("c:\\r2"));
  EXPECT_EQ(machine.RemoveDirectory("C:\\APP"), FileCause::removeCurrentDir);
  EXPECT_EQ(machine.SetCurrentDirectory("C:\\"), FileCause::none);
  EXPECT_EQ(machine.RemoveDirectory("C:\\APP"), FileCause::accessDenied);  // not empty
  EXPECT_EQ(machine.DeleteFile(temp), FileCause::none);
  EXPECT_EQ(machine.RemoveDirectory("C:\\APP"), FileCause::none);
  EXPECT_EQ(machine.GetDriveType("C:\\"), DriveType::fixed);
  EXPECT_EQ(machine.GetDriveType("D:\\"), DriveType::noRootDir);
}

TEST(MemoryMachine, Registry) {
  MemoryMachine machine;
  const std::uint32_t one = 1;
  EXPECT_EQ(machine.SetRegValue(hkey::localMachine, "Software\\Velmora\\App", "Count", regtype::dword,
                                &one, 4),
            winerror::success);
  EXPECT_EQ(machine.SetRegValue(hkey::localMachine, "SOFTWARE\\velmora", "", regtype::sz, "x", 1),
            winerror::success);
  RegData data;
  EXPECT_EQ(machine.QueryRegValue(hkey::localMachine, "software\\VELMORA\\app", "COUNT", 4, data),
            winerror::success);
  EXPECT_EQ(data.type, regtype::dword);
  EXPECT_EQ(data.bytes.size(), 4u);
  EXPECT_EQ(machine.QueryRegValue(hkey::localMachine, "Software\\Velmora", "", 1, data),
            winerror::moreData);  // "x" plus the added terminator
  EXPECT_EQ(data.size, 2u);
  EXPECT_EQ(machine.QueryRegValue(hkey::localMachine, "Software\\None", "", 10, data),
            winerror::fileNotFound);
  EXPECT_EQ(machine.QueryRegValue(hkey::localMachine, "\\Software", "", 10, data),
            winerror::badPathname);
  EXPECT_EQ(machine.QueryRegValue(0x1234, "Software", "", 10, data), winerror::invalidHandle);
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  EXPECT_EQ(machine.ListRegKey(hkey::localMachine, "Software\\Velmora", subKeys, values),
            winerror::success);
  EXPECT_EQ(subKeys, std::vector<std::string>{"App"});
  EXPECT_EQ(values.size(), 1u);
  EXPECT_EQ(machine.DeleteRegKey(hkey::localMachine, "Software\\Velmora"), winerror::accessDenied);
  EXPECT_EQ(machine.DeleteRegKey(hkey::localMachine, "Software\\Velmora\\App"), winerror::success);
  EXPECT_EQ(machine.DeleteRegKey(hkey::localMachine, "Software\\Velmora"), winerror::success);
  EXPECT_EQ(machine.DeleteRegKey(hkey::localMachine, ""), winerror::accessDenied);
}

}  // namespace
}  // namespace velmora::test
