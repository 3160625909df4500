// Machine conformance: profile (.ini) files read and written through the
// machine, and the bytes they leave on disk.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "conformance/machine_fixture.h"

namespace velmora {
namespace {

using testing::GetFile;
using testing::PutFile;

class MachineProfiles : public testing::MachineTest {
 protected:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback = "<none>", std::uint32_t size = 260) {
    return machine().QueryProfileString(file, section, key, fallback, size);
  }
  FileCause Write(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
    return machine().SetProfileString(file, section, key, value);
  }
};

TEST_F(MachineProfiles, NewFileGetsSectionsInOrderWithCrLf) {
  const std::string ini = At("order.ini");
  ASSERT_EQ(Write(ini, "Probe Section", "Key1", "Value One"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[Probe Section]\r\nKey1=Value One\r\n");
  ASSERT_EQ(Write(ini, "Other", "K", "V"), FileCause::none);
  // A second key goes into its existing section, ahead of the later one.
  ASSERT_EQ(Write(ini, "Probe Section", "Key2", "Two"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini),
            "[Probe Section]\r\nKey1=Value One\r\nKey2=Two\r\n[Other]\r\nK=V\r\n");
  EXPECT_EQ(Read(ini, "Probe Section", "Key1"), "Value One");
  EXPECT_EQ(Read(ini, "Other", "K"), "V");
}

TEST_F(MachineProfiles, NamesMatchWithoutCaseAndKeepTheFirstSpelling) {
  const std::string ini = At("case.ini");
  ASSERT_EQ(Write(ini, "Sec A", "Key1", "v1"), FileCause::none);
  ASSERT_EQ(Write(ini, "SEC a", "KEY1", "v2"), FileCause::none);
  ASSERT_EQ(Write(ini, "sec a", "kEy2", "v3"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[Sec A]\r\nKey1=v2\r\nkEy2=v3\r\n");
  EXPECT_EQ(Read(ini, "sEC A", "key1"), "v2");
  EXPECT_EQ(Read(ini, " Sec A ", " KEY2 "), "v3");  // blanks around names do not count
}

TEST_F(MachineProfiles, BareNameIsTheFileInTheWindowsDirectory) {
  std::random_device random;
  const std::string name = "vlm" + std::to_string(random() % 100000) + ".ini";
  const std::string inWindows = machine().GetWindowsDirectory() + "\\" + name;
  ASSERT_EQ(machine().SetCurrentDirectory(Scratch()), FileCause::none);
  ASSERT_EQ(Write(name, "s", "k", "bare"), FileCause::none);
  const std::string content = GetFile(machine(), inWindows);
  machine().DeleteFile(inWindows);
  EXPECT_EQ(content, "[s]\r\nk=bare\r\n");
  std::uint32_t bits = 0;
  EXPECT_EQ(machine().GetFileAttributes(At(name), bits), FileCause::fileNotFound);
}

TEST_F(MachineProfiles, OtherNamesAreRelativeToTheCurrentDirectory) {
  ASSERT_EQ(machine().CreateDirectory(At("sub")), FileCause::none);
  ASSERT_EQ(machine().SetCurrentDirectory(Scratch()), FileCause::none);
  ASSERT_EQ(Write("sub\\rel.ini", "s", "k", "1"), FileCause::none);
  ASSERT_EQ(Write("sub/fwd.ini", "s", "k", "2"), FileCause::none);
  ASSERT_EQ(Write("C:drive.ini", "s", "k", "3"), FileCause::none);  // not the Windows directory
  EXPECT_EQ(GetFile(machine(), At("sub\\rel.ini")), "[s]\r\nk=1\r\n");
  EXPECT_EQ(GetFile(machine(), At("sub\\fwd.ini")), "[s]\r\nk=2\r\n");
  EXPECT_EQ(GetFile(machine(), At("drive.ini")), "[s]\r\nk=3\r\n");
  EXPECT_EQ(Read("sub\\rel.ini", "s", "k"), "1");
}

TEST_F(MachineProfiles, ReadsAreCutToTheBufferSize) {
  const std::string ini = At("long.ini");
  std::string value(300, 'x');
  value.front() = 'A';
  ASSERT_EQ(Write(ini, "s", "long", value), FileCause::none);
  EXPECT_EQ(Read(ini, "s", "long"), value.substr(0, 259));
  EXPECT_EQ(Read(ini, "s", "long", "", 301), value);
  EXPECT_EQ(Read(ini, "s", "long", "", 2), "A");
  EXPECT_EQ(Read(ini, "s", "long", "", 1), "");
  EXPECT_EQ(Read(ini, "s", "missing", "dflt", 3), "df");  // the default is cut too
}

TEST_F(MachineProfiles, MissingEntriesGiveTheDefault) {
  const std::string ini = At("dflt.ini");
  EXPECT_EQ(Read(ini, "s", "k", "dflt"), "dflt");  // no file at all
  ASSERT_EQ(PutFile(machine(), ini, "[s]\r\nk=\r\nbare\r\n"), FileCause::none);
  EXPECT_EQ(Read(ini, "s", "k", "dflt"), "");            // present but empty
  EXPECT_EQ(Read(ini, "s", "bare", "dflt"), "dflt");     // a line without '='
  EXPECT_EQ(Read(ini, "s", "other", "dflt  "), "dflt");  // trailing spaces dropped
  EXPECT_EQ(Read(ini, "t", "k", "'q'"), "q");            // and quotes stripped
}

TEST_F(MachineProfiles, DeletesKeysAndSections) {
  const std::string ini = At("del.ini");
  ASSERT_EQ(Write(ini, "A", "k1", "1"), FileCause::none);
  ASSERT_EQ(Write(ini, "A", "k2", "2"), FileCause::none);
  ASSERT_EQ(Write(ini, "B", "k", "3"), FileCause::none);
  ASSERT_EQ(machine().DeleteProfileKey(ini, "a", "K1"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[A]\r\nk2=2\r\n[B]\r\nk=3\r\n");
  ASSERT_EQ(machine().DeleteProfileSection(ini, "b"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[A]\r\nk2=2\r\n");
  EXPECT_EQ(Read(ini, "B", "k"), "<none>");
  // Deleting what is not there succeeds and creates nothing.
  EXPECT_EQ(machine().DeleteProfileKey(At("none.ini"), "A", "k"), FileCause::none);
  EXPECT_EQ(machine().DeleteProfileSection(At("none.ini"), "A"), FileCause::none);
  std::uint32_t bits = 0;
  EXPECT_EQ(machine().GetFileAttributes(At("none.ini"), bits), FileCause::fileNotFound);
}

TEST_F(MachineProfiles, ValuesLoseTheirBlanks) {
  const std::string ini = At("trim.ini");
  ASSERT_EQ(Write(ini, "s", "k", "  spaced  "), FileCause::none);
  // Leading blanks go on writing; trailing ones reach the file but not a
  // reader, and go from the file at its next rewrite.
  EXPECT_EQ(GetFile(machine(), ini), "[s]\r\nk=spaced  \r\n");
  EXPECT_EQ(Read(ini, "s", "k"), "spaced");
  ASSERT_EQ(Write(ini, "s", "j", "\t\r\nx"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[s]\r\nk=spaced\r\nj=x\r\n");
}

TEST_F(MachineProfiles, QuotesAroundAValueAreStrippedOnReading) {
  const std::string ini = At("quotes.ini");
  ASSERT_EQ(PutFile(machine(), ini,
                    "[q]\r\na=\"abc\"\r\nb='abc'\r\nc=\"abc\r\nd=\"abc'\r\ne=\"\"\r\nf=\"\r\n"
                    "g=x\"y\"\r\nh=\"0123456789\"\r\n"),
            FileCause::none);
  EXPECT_EQ(Read(ini, "q", "a"), "abc");
  EXPECT_EQ(Read(ini, "q", "b"), "abc");
  EXPECT_EQ(Read(ini, "q", "c"), "\"abc");
  EXPECT_EQ(Read(ini, "q", "d"), "\"abc'");
  EXPECT_EQ(Read(ini, "q", "e"), "");
  EXPECT_EQ(Read(ini, "q", "f"), "\"");
  EXPECT_EQ(Read(ini, "q", "g"), "x\"y\"");
  EXPECT_EQ(Read(ini, "q", "h", "", 12), "0123456789");
  EXPECT_EQ(Read(ini, "q", "h", "", 11), "012345678");  // one short: one more lost
  EXPECT_EQ(Read(ini, "q", "h", "", 5), "0123");
  ASSERT_EQ(Write(ini, "q", "w", "\"  inner  \""), FileCause::none);
  EXPECT_EQ(Read(ini, "q", "w"), "  inner  ");
}

TEST_F(MachineProfiles, RewriteKeepsCommentsAndDropsBlankLines) {
  const std::string ini = At("layout.ini");
  ASSERT_EQ(PutFile(machine(), ini,
                    "; lead\r\n\r\n[S1]\r\n  k  =  v  \r\nnoequals\r\n\r\n; c2\r\n[S2] tail\r\n"
                    " a=1\r\n\r\n[S1]\r\nk=second\r\ndup=1\r\n"),
            FileCause::none);
  EXPECT_EQ(Read(ini, "S1", "k"), "v");
  EXPECT_EQ(Read(ini, "S1", "dup"), "<none>");  // only the first S1 counts
  ASSERT_EQ(Write(ini, "S1", "new", "2"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini),
            "; lead\r\n[S1]\r\nk=v\r\nnoequals\r\n; c2\r\nnew=2\r\n[S2]\r\na=1\r\n"
            "[S1]\r\nk=second\r\ndup=1\r\n");
}

TEST_F(MachineProfiles, MissingDirectoryFails) {
  const std::string ini = At("nodir\\x.ini");
  EXPECT_EQ(Write(ini, "s", "k", "v"), FileCause::badPath);
  EXPECT_EQ(machine().DeleteProfileSection(ini, "s"), FileCause::badPath);
  EXPECT_EQ(Read(ini, "s", "k", "\"q\""), "\"q\"");  // the default, quotes kept
  std::uint32_t bits = 0;
  EXPECT_EQ(machine().GetFileAttributes(At("nodir"), bits), FileCause::fileNotFound);
}

TEST_F(MachineProfiles, FileHeldWithoutWriteSharingRefusesWriting) {
  const std::string ini = At("held.ini");
  ASSERT_EQ(Write(ini, "s", "k", "1"), FileCause::none);
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine().OpenFile(ini, FileAccess::read, FileShare::denyWrite,
                               FileDisposition::openExisting, handle),
            FileCause::none);
  EXPECT_EQ(Write(ini, "s", "k", "2"), FileCause::sharingViolation);
  EXPECT_EQ(Read(ini, "s", "k"), "1");
  machine().CloseFile(handle);

  ASSERT_EQ(machine().OpenFile(ini, FileAccess::read, FileShare::exclusive,
                               FileDisposition::openExisting, handle),
            FileCause::none);
  EXPECT_EQ(Read(ini, "s", "k", "'d'"), "'d'");
  machine().CloseFile(handle);
  EXPECT_EQ(GetFile(machine(), ini), "[s]\r\nk=1\r\n");
}

TEST_F(MachineProfiles, HiddenFileIsRewritten) {
  const std::string ini = At("hidden.ini");
  ASSERT_EQ(PutFile(machine(), ini, "[h]\r\nk=1\r\nold=long value\r\n"), FileCause::none);
  ASSERT_EQ(machine().SetFileAttributes(ini, attr::hidden), FileCause::none);
  ASSERT_EQ(machine().DeleteProfileKey(ini, "h", "old"), FileCause::none);
  EXPECT_EQ(GetFile(machine(), ini), "[h]\r\nk=1\r\n");
}

}  // namespace
}  // namespace velmora
