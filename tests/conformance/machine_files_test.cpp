// Machine conformance: file contents through CFile, names, copies, moves,
// deletes, temporary files and attributes.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "conformance/machine_fixture.h"
#include "framework/file.h"

namespace velmora {
namespace {

using testing::GetFile;
using testing::PutFile;
using MachineFiles = testing::MachineTest;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

const DirEntry* FindEntry(const std::vector<DirEntry>& entries, const std::string& name) {
  const auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const DirEntry& e) { return e.name == name; });
  return it == entries.end() ? nullptr : &*it;
}

TEST_F(MachineFiles, CFileWritesReadsAndSeeks) {
  const std::string data = Pattern(10000);
  {
    CFile file;
    ASSERT_TRUE(file.Open(At("data.bin"), CFile::modeCreate | CFile::modeWrite));
    file.Write(data.data(), 6000);
    file.Write(data.data() + 6000, 4000);
    EXPECT_EQ(file.GetLength(), 10000u);
    EXPECT_EQ(file.GetPosition(), 10000u);
    file.Close();
  }
  CFile file;
  ASSERT_TRUE(file.Open(At("data.bin"), CFile::modeRead | CFile::shareDenyWrite));
  std::string back(10000, '\0');
  EXPECT_EQ(file.Read(back.data(), 4096), 4096u);
  EXPECT_EQ(file.Read(back.data() + 4096, 8000), 10000u - 4096);
  EXPECT_EQ(back, data);
  EXPECT_EQ(file.Seek(-10, CFile::end), 9990);
  char tail[20] = {};
  EXPECT_EQ(file.Read(tail, 20), 10u);
  EXPECT_EQ(std::string(tail, 10), data.substr(9990));
  EXPECT_EQ(file.Seek(100, CFile::begin), 100);
  EXPECT_EQ(file.Seek(-50, CFile::current), 50);
  EXPECT_EQ(file.Seek(20000, CFile::begin), 20000);  // past the end is allowed
  EXPECT_EQ(file.Read(tail, 1), 0u);
}

TEST_F(MachineFiles, CreateTruncatesAndNoTruncateKeeps) {
  ASSERT_EQ(PutFile(machine(), At("keep.txt"), "0123456789"), FileCause::none);
  {
    CFile file;
    ASSERT_TRUE(file.Open(At("keep.txt"),
                          CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(file.GetLength(), 10u);
    file.Seek(12, CFile::begin);
    file.Write("!", 1);
  }
  EXPECT_EQ(GetFile(machine(), At("keep.txt")), std::string("0123456789\0\0!", 13));
  {
    CFile file;
    ASSERT_TRUE(file.Open(At("keep.txt"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
  }
  EXPECT_EQ(GetFile(machine(), At("keep.txt")), "");
}

TEST_F(MachineFiles, NamesMatchWithoutCaseAndKeepTheirOwn) {
  ASSERT_EQ(PutFile(machine(), At("MixedCase.Txt"), "mixed"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("MIXEDCASE.TXT")), "mixed");
  EXPECT_EQ(GetFile(machine(), At("mixedcase.txt")), "mixed");
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine().ListDirectory(Scratch(), entries), FileCause::none);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "MixedCase.Txt");
}

TEST_F(MachineFiles, ListDirectoryShowsFilesAndFolders) {
  ASSERT_EQ(PutFile(machine(), At("three.bin"), "abc"), FileCause::none);
  ASSERT_EQ(PutFile(machine(), At("empty.bin"), ""), FileCause::none);
  ASSERT_EQ(machine().CreateDirectory(At("Sub")), FileCause::none);
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine().ListDirectory(Scratch(), entries), FileCause::none);
  EXPECT_EQ(entries.size(), 3u);  // no "." or ".."
  const DirEntry* three = FindEntry(entries, "three.bin");
  const DirEntry* empty = FindEntry(entries, "empty.bin");
  const DirEntry* sub = FindEntry(entries, "Sub");
  ASSERT_TRUE(three && empty && sub);
  EXPECT_EQ(three->size, 3u);
  EXPECT_EQ(empty->size, 0u);
  EXPECT_EQ(three->attributes & attr::directory, 0u);
  EXPECT_NE(sub->attributes & attr::directory, 0u);
  ASSERT_EQ(machine().ListDirectory(At("Sub"), entries), FileCause::none);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(machine().ListDirectory(At("none"), entries), FileCause::badPath);
}

TEST_F(MachineFiles, CopyRespectsFailIfExists) {
  ASSERT_EQ(PutFile(machine(), At("src.txt"), "source"), FileCause::none);
  ASSERT_EQ(machine().CopyFile(At("src.txt"), At("dst.txt"), true), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("dst.txt")), "source");
  ASSERT_EQ(PutFile(machine(), At("src.txt"), "changed"), FileCause::none);
  EXPECT_EQ(machine().CopyFile(At("src.txt"), At("DST.TXT"), true), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("dst.txt")), "source");
  EXPECT_EQ(machine().CopyFile(At("src.txt"), At("dst.txt"), false), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("dst.txt")), "changed");
  EXPECT_EQ(machine().CopyFile(At("none.txt"), At("x.txt"), false), FileCause::fileNotFound);
}

TEST_F(MachineFiles, MoveRenamesButNeverReplaces) {
  ASSERT_EQ(PutFile(machine(), At("a.txt"), "a"), FileCause::none);
  ASSERT_EQ(PutFile(machine(), At("b.txt"), "b"), FileCause::none);
  EXPECT_EQ(machine().MoveFile(At("a.txt"), At("B.txt")), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("a.txt")), "a");
  EXPECT_EQ(GetFile(machine(), At("b.txt")), "b");
  ASSERT_EQ(machine().CreateDirectory(At("sub")), FileCause::none);
  EXPECT_EQ(machine().MoveFile(At("a.txt"), At("sub\\c.txt")), FileCause::none);
  EXPECT_EQ(GetFile(machine(), At("a.txt")), "<fileNotFound>");
  EXPECT_EQ(GetFile(machine(), At("sub\\c.txt")), "a");
  EXPECT_EQ(machine().MoveFile(At("a.txt"), At("d.txt")), FileCause::fileNotFound);
  EXPECT_EQ(machine().MoveFile(At("b.txt"), At("none\\d.txt")), FileCause::badPath);
}

TEST_F(MachineFiles, DeleteRefusesFoldersAndReadOnlyFiles) {
  ASSERT_EQ(PutFile(machine(), At("gone.txt"), "g"), FileCause::none);
  EXPECT_EQ(machine().DeleteFile(At("gone.txt")), FileCause::none);
  EXPECT_EQ(machine().DeleteFile(At("gone.txt")), FileCause::fileNotFound);
  EXPECT_EQ(machine().DeleteFile(At("none\\gone.txt")), FileCause::badPath);
  ASSERT_EQ(machine().CreateDirectory(At("dir")), FileCause::none);
  EXPECT_EQ(machine().DeleteFile(At("dir")), FileCause::accessDenied);
  ASSERT_EQ(PutFile(machine(), At("ro.txt"), "r"), FileCause::none);
  ASSERT_EQ(machine().SetFileAttributes(At("ro.txt"), attr::readOnly), FileCause::none);
  EXPECT_EQ(machine().DeleteFile(At("ro.txt")), FileCause::accessDenied);
  EXPECT_EQ(GetFile(machine(), At("ro.txt")), "r");
}

TEST_F(MachineFiles, TempFilesAreNamedLikeGetTempFileName) {
  std::string first;
  std::string second;
  ASSERT_EQ(machine().CreateTempFile(Scratch(), "velmora", first), FileCause::none);
  ASSERT_EQ(machine().CreateTempFile(Scratch(), "velmora", second), FileCause::none);
  EXPECT_NE(first, second);
  const std::regex name(R"(vel[0-9a-f]{1,4}\.tmp)");
  for (const std::string& path : {first, second}) {
    ASSERT_GT(path.size(), Scratch().size() + 1);
    EXPECT_TRUE(testing::PathsEqual(path.substr(0, Scratch().size()), Scratch())) << path;
    EXPECT_TRUE(std::regex_match(path.substr(Scratch().size() + 1), name)) << path;
    EXPECT_EQ(GetFile(machine(), path), "");  // created, empty
  }
  std::string missing;
  EXPECT_EQ(machine().CreateTempFile(At("none"), "x", missing), FileCause::badPath);
}

TEST_F(MachineFiles, TempFileForWritingIsOpenWithoutSharing) {
  std::string path;
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine().CreateTempFileForWriting(Scratch(), "install", path, handle),
            FileCause::none);
  ASSERT_NE(handle, kNoFile);
  EXPECT_TRUE(
      std::regex_match(path.substr(Scratch().size() + 1), std::regex(R"(ins[0-9a-f]{1,4}\.tmp)")))
      << path;
  // Nobody else may open it while it is being written.
  FileHandle other = kNoFile;
  EXPECT_EQ(machine().OpenFile(path, FileAccess::read, FileShare::denyNone,
                               FileDisposition::openExisting, other),
            FileCause::sharingViolation);
  // A second one gets another name.
  std::string second;
  FileHandle secondHandle = kNoFile;
  ASSERT_EQ(machine().CreateTempFileForWriting(Scratch(), "install", second, secondHandle),
            FileCause::none);
  EXPECT_NE(second, path);
  EXPECT_EQ(machine().CloseFile(secondHandle), FileCause::none);
  const std::string data = Pattern(70000);
  ASSERT_EQ(machine().WriteFile(handle, data.data(), static_cast<std::uint32_t>(data.size())),
            FileCause::none);
  ASSERT_EQ(machine().CloseFile(handle), FileCause::none);
  EXPECT_EQ(GetFile(machine(), path), data);
  EXPECT_EQ(GetFile(machine(), second), "");

  std::string missing = "untouched";
  FileHandle none = kNoFile;
  EXPECT_EQ(machine().CreateTempFileForWriting(At("none"), "x", missing, none), FileCause::badPath);
  EXPECT_EQ(none, kNoFile);
  EXPECT_EQ(missing, "");
}

TEST_F(MachineFiles, AttributesRoundTrip) {
  constexpr std::uint32_t kBits = attr::readOnly | attr::hidden | attr::system;
  ASSERT_EQ(PutFile(machine(), At("f.txt"), "f"), FileCause::none);
  std::uint32_t bits = 0;
  ASSERT_EQ(machine().SetFileAttributes(At("f.txt"), attr::readOnly | attr::hidden),
            FileCause::none);
  ASSERT_EQ(machine().GetFileAttributes(At("F.TXT"), bits), FileCause::none);
  if ((bits & attr::hidden) == 0 && UnderWine())
    GTEST_SKIP() << "Wine keeps the hidden bit in an extended attribute, which a user other "
                    "than root cannot write on a file made read-only";
  EXPECT_EQ(bits & (kBits | attr::directory), attr::readOnly | attr::hidden);
  ASSERT_EQ(machine().SetFileAttributes(At("f.txt"), attr::normal), FileCause::none);
  ASSERT_EQ(machine().GetFileAttributes(At("f.txt"), bits), FileCause::none);
  EXPECT_EQ(bits & (kBits | attr::directory), 0u);
  EXPECT_NE(bits, 0u);  // normal or archive, never nothing
  ASSERT_EQ(machine().GetFileAttributes(Scratch(), bits), FileCause::none);
  EXPECT_NE(bits & attr::directory, 0u);
  EXPECT_EQ(machine().GetFileAttributes(At("none.txt"), bits), FileCause::fileNotFound);
  EXPECT_EQ(machine().SetFileAttributes(At("none.txt"), attr::hidden), FileCause::fileNotFound);
}

}  // namespace
}  // namespace velmora
