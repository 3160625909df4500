// The simulated machine's profile files: the exact bytes it leaves (checked
// against what Wine's profile functions wrote for the same calls), damaged
// and unusual files, and failures of the file operations underneath.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "backends/sim/sim_machine.h"
#include "backends/sim/sim_profile_text.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

using testing::GetFile;
using testing::PutFile;

// A literal with its NUL bytes.
template <std::size_t N>
std::string Raw(const char (&text)[N]) {
  return std::string(text, N - 1);
}

class SimProfile : public ::testing::Test {
 protected:
  const std::string ini = "C:\\p.ini";

  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback = "<none>", std::uint32_t size = 260) {
    return sim.QueryProfileString(ini, section, key, fallback, size);
  }
  FileCause Write(const std::string& section, const std::string& key, const std::string& value) {
    return sim.SetProfileString(ini, section, key, value);
  }
  std::string Bytes() { return GetFile(sim, ini); }

  testing::TempRoot root{"profile"};
  SimMachine sim{root.path()};
};

// Each step and the file Wine left after it.
TEST_F(SimProfile, FileBytesAfterEachWriteMatchWine) {
  ASSERT_EQ(Write("Sec A", "Key1", "v1"), FileCause::none);
  EXPECT_EQ(Bytes(), "[Sec A]\r\nKey1=v1\r\n");
  ASSERT_EQ(Write("sec a", "KEY2", "  v2  "), FileCause::none);
  EXPECT_EQ(Bytes(), "[Sec A]\r\nKey1=v1\r\nKEY2=v2  \r\n");
  ASSERT_EQ(Write("Other", "x", "1"), FileCause::none);
  EXPECT_EQ(Bytes(), "[Sec A]\r\nKey1=v1\r\nKEY2=v2\r\n[Other]\r\nx=1\r\n");
  ASSERT_EQ(Write("SEC A", "key1", "new"), FileCause::none);
  ASSERT_EQ(Write("Sec A", "Key3", "\"quoted\""), FileCause::none);
  ASSERT_EQ(Write("Sec A", "Key4", ""), FileCause::none);
  ASSERT_EQ(Write("Sec A", " Spaced Key ", "\tv\t"), FileCause::none);
  EXPECT_EQ(Bytes(),
            "[Sec A]\r\nKey1=new\r\nKEY2=v2\r\nKey3=\"quoted\"\r\nKey4=\r\nSpaced Key =v\t\r\n"
            "[Other]\r\nx=1\r\n");
  ASSERT_EQ(Write(" Other ", "y", "2"), FileCause::none);
  ASSERT_EQ(sim.DeleteProfileKey(ini, "Sec A", "KEY2"), FileCause::none);
  ASSERT_EQ(sim.DeleteProfileSection(ini, "other"), FileCause::none);
  EXPECT_EQ(Bytes(), "[Sec A]\r\nKey1=new\r\nKey3=\"quoted\"\r\nKey4=\r\nSpaced Key=v\r\n");
  EXPECT_EQ(Read("Sec A", "Key4", "d"), "");
  EXPECT_EQ(Read("Sec A", "nokey", "  dflt"), "  dflt");
  EXPECT_EQ(Read("Sec A", "nokey", "   "), " ");  // the first character always stays
}

TEST_F(SimProfile, OddLayoutsFollowWine) {
  ASSERT_EQ(PutFile(sim, ini,
                    "[q]\r\na=\"a\"\r\nb=\"ab\"\r\n[]\r\nx=1\r\n=e1\r\n=e2\r\n[ spaced ]\r\nz=9\r\n"
                    "[d]\r\nk=1\r\n[d]\r\nk2=2\r\n"),
            FileCause::none);
  EXPECT_EQ(Read("q", "a", "", 2), "");  // the quoted text only just fits
  EXPECT_EQ(Read("q", "a", "", 3), "a");
  EXPECT_EQ(Read("q", "b", "", 3), "a");
  EXPECT_EQ(Read("q", "b", "", 4), "ab");
  EXPECT_EQ(Read("", "x"), "<none>");  // "" is the head, not the "[]" section
  EXPECT_EQ(Read("spaced", "z"), "9");
  // Deleting compares names as given: blanks make them differ, and nothing
  // is rewritten.
  ASSERT_EQ(sim.DeleteProfileKey(ini, " d ", " k2 "), FileCause::none);
  ASSERT_EQ(sim.DeleteProfileSection(ini, " d "), FileCause::none);
  EXPECT_NE(Bytes().find("=e2"), std::string::npos);
  // The key is looked for in every [d]; the header of the nameless section
  // and the second of two empty names go with the rewrite.
  ASSERT_EQ(sim.DeleteProfileKey(ini, "d", "k2"), FileCause::none);
  EXPECT_EQ(Bytes(),
            "[q]\r\na=\"a\"\r\nb=\"ab\"\r\nx=1\r\n=e1\r\n[spaced]\r\nz=9\r\n[d]\r\nk=1\r\n[d]\r\n");
  ASSERT_EQ(sim.DeleteProfileSection(ini, "D"), FileCause::none);
  ASSERT_EQ(Write("new sec  ", "  new key  ", "v"), FileCause::none);
  EXPECT_EQ(Bytes(),
            "[q]\r\na=\"a\"\r\nb=\"ab\"\r\nx=1\r\n=e1\r\n[spaced]\r\nz=9\r\n[d]\r\n"
            "[new sec  ]\r\nnew key  =v\r\n");
  EXPECT_EQ(Read("new sec", "new key"), "v");
}

TEST_F(SimProfile, DamagedFilesReadAndRewriteAsWineDoes) {
  ASSERT_EQ(
      PutFile(sim, ini, Raw("[g]\r\nk=ab\0cd\r\nz\0z=1\r\n[h\0i]\r\nm=2\r\n\xff\xfe\x01=3\r\n")),
      FileCause::none);
  EXPECT_EQ(Read("g", "k"), "ab");  // names and values end at a NUL
  EXPECT_EQ(Read("g", "z"), "1");
  EXPECT_EQ(Read("h", "\xff\xfe\x01"), "3");
  ASSERT_EQ(Write("g", "n", "5"), FileCause::none);
  EXPECT_EQ(Bytes(), "[g]\r\nk=ab\r\nz=1\r\nn=5\r\n[h]\r\nm=2\r\n\xff\xfe\x01=3\r\n");

  // Bare LF and bare CR end lines too; a last line needs no break.
  ASSERT_EQ(PutFile(sim, ini, "[a]\nx=1\ny=2\r[b]\rz=3"), FileCause::none);
  EXPECT_EQ(Read("a", "y"), "2");
  EXPECT_EQ(Read("b", "z"), "3");
  ASSERT_EQ(Write("a", "n", "4"), FileCause::none);
  EXPECT_EQ(Bytes(), "[a]\r\nx=1\r\ny=2\r\nn=4\r\n[b]\r\nz=3\r\n");

  // A very long line without '=' or ']' is one unnamed-value line.
  const std::string longLine = "[" + std::string(200000, 'q');
  ASSERT_EQ(PutFile(sim, ini, longLine + "\r\n[s]\r\nk=v"), FileCause::none);
  EXPECT_EQ(Read("s", "k"), "v");
  ASSERT_EQ(Write("s", "k", "w"), FileCause::none);
  EXPECT_EQ(Bytes(), longLine + "\r\n[s]\r\nk=w\r\n");

  // A first line made of byte-order mark bytes does not turn the file into
  // UTF-16 when it is written back.
  ASSERT_EQ(PutFile(sim, ini, Raw("\0x\r\n\xfe\xff\r\n[s]\r\nk=v")), FileCause::none);
  ASSERT_EQ(Write("s", "k", "w"), FileCause::none);
  EXPECT_EQ(Read("s", "k"), "w");
  EXPECT_EQ(Bytes(), Raw("\r\n\xfe\xff\r\n[s]\r\nk=w\r\n"));
}

// Random bytes never break the parser, rewriting settles, and an entry set
// in any text is found again after a rewrite.
TEST(SimProfileText, AnyBytesParseAndRewriteStably) {
  std::mt19937 random(20240611);
  const std::string alphabet = Raw("[]=;\"' \t\r\n\x1a\0abcK\x80\xff");
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    if (round % 3 == 0) bytes.insert(0, round % 2 ? "\xEF\xBB\xBF" : "\xFF\xFE");
    sim::ProfileText text = sim::ParseProfile(bytes);
    // The first rewrite may still change: a value cut at a NUL can end in
    // blanks, which go when it is read again.  After that it must hold.
    const std::string twice = sim::FormatProfile(sim::ParseProfile(sim::FormatProfile(text)));
    EXPECT_EQ(sim::FormatProfile(sim::ParseProfile(twice)), twice) << "round " << round;
    sim::SetProfileLine(text, "K", "a", "v");
    const sim::ProfileText reread = sim::ParseProfile(sim::FormatProfile(text));
    const sim::ProfileLine* line = sim::FindProfileLine(reread, "k", "A");
    ASSERT_NE(line, nullptr) << "round " << round;
    EXPECT_EQ(line->value, "v");
  }
}

TEST_F(SimProfile, UnicodeFilesKeepTheirEncoding) {
  ASSERT_EQ(PutFile(sim, ini, "\xEF\xBB\xBF[b]\r\nk=v\r\n"), FileCause::none);
  EXPECT_EQ(Read("b", "k"), "v");
  ASSERT_EQ(Write("b", "n", "1"), FileCause::none);
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[b]\r\nk=v\r\nn=1\r\n");

  // x= a surrogate pair, then a lone low surrogate.
  const std::string utf16 =
      Raw("\xff\xfe[\0u\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"
          "x\0=\0\x3d\xd8\x00\xde\x00\xdc\r\0\n\0");
  ASSERT_EQ(PutFile(sim, ini, utf16), FileCause::none);
  EXPECT_EQ(Read("u", "k"), "v");
  ASSERT_EQ(Write("u", "n", "1"), FileCause::none);
  EXPECT_EQ(Bytes(), utf16 + Raw("n\0=\0"
                                 "1\0\r\0\n\0"));

  const std::string bigEndian = Raw("\xfe\xff\0[\0u\0]\0\n\0k\0=\0v");
  ASSERT_EQ(PutFile(sim, ini, bigEndian), FileCause::none);
  EXPECT_EQ(Read("u", "k"), "v");
  ASSERT_EQ(Write("u", "k", "w"), FileCause::none);
  EXPECT_EQ(Bytes(), Raw("\xfe\xff\0[\0u\0]\0\r\0\n\0k\0=\0w\0\r\0\n"));
}

TEST_F(SimProfile, ReadOnlyFileIsRefusedAndLeftAlone) {
  ASSERT_EQ(PutFile(sim, ini, "[s]\r\n\r\nk=1\r\n"), FileCause::none);
  ASSERT_EQ(sim.SetFileAttributes(ini, attr::readOnly), FileCause::none);
  EXPECT_EQ(Write("s", "k", "2"), FileCause::accessDenied);
  EXPECT_EQ(Write("s", "k", "1"), FileCause::accessDenied);  // even with nothing to change
  EXPECT_EQ(sim.DeleteProfileSection(ini, "s"), FileCause::accessDenied);
  EXPECT_EQ(Bytes(), "[s]\r\n\r\nk=1\r\n");
  EXPECT_EQ(Read("s", "k"), "1");
}

TEST_F(SimProfile, HiddenFileKeepsItsBits) {
  ASSERT_EQ(PutFile(sim, ini, "[s]\r\nk=1\r\n"), FileCause::none);
  ASSERT_EQ(sim.SetFileAttributes(ini, attr::hidden | attr::system), FileCause::none);
  ASSERT_EQ(Write("s", "k", "2"), FileCause::none);
  std::uint32_t bits = 0;
  ASSERT_EQ(sim.GetFileAttributes(ini, bits), FileCause::none);
  EXPECT_EQ(bits, attr::hidden | attr::system | attr::archive);
  EXPECT_EQ(Read("s", "k"), "2");
}

TEST_F(SimProfile, FailedSaveKeepsThePreviousContent) {
  const std::string before = "; keep me\r\n[s]\r\n\r\nk=1\r\n";
  ASSERT_EQ(PutFile(sim, ini, before), FileCause::none);
  sim.InjectFault("WriteFile", 1, FileCause::hardIO);
  EXPECT_EQ(Write("s", "k", "2"), FileCause::hardIO);
  EXPECT_EQ(Bytes(), before);

  sim.SetFreeSpace('C', 4);  // too little for the longer file
  EXPECT_EQ(Write("s", "k", "a much longer value"), FileCause::diskFull);
  sim.SetFreeSpace('C', std::nullopt);
  EXPECT_EQ(Bytes(), before);

  sim.InjectFault("OpenFile", 2, FileCause::sharingViolation);  // the reopen for saving
  EXPECT_EQ(Write("s", "k", "3"), FileCause::sharingViolation);
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(sim.OpenFileCount(), 0u);
}

TEST_F(SimProfile, FailedFirstWriteLeavesNoFile) {
  sim.InjectFault("WriteFile", 1, FileCause::diskFull);
  EXPECT_EQ(Write("s", "k", "v"), FileCause::diskFull);
  std::uint32_t bits = 0;
  EXPECT_EQ(sim.GetFileAttributes(ini, bits), FileCause::fileNotFound);
}

TEST_F(SimProfile, WriteThatChangesNothingWritesNothing) {
  ASSERT_EQ(PutFile(sim, ini, "[s]\r\n\r\nk=1\r\n"), FileCause::none);
  sim.InjectFault("WriteFile", 1, FileCause::hardIO);
  EXPECT_EQ(Write(" S ", "K", "  1"), FileCause::none);
  EXPECT_EQ(sim.DeleteProfileKey(ini, "s", "none"), FileCause::none);
  EXPECT_EQ(sim.PendingFaults(), 1u);  // no write was tried
  EXPECT_EQ(Bytes(), "[s]\r\n\r\nk=1\r\n");
}

TEST_F(SimProfile, FailedReadGivesTheDefaultAsItStands) {
  ASSERT_EQ(PutFile(sim, ini, "[s]\r\nk=1\r\n"), FileCause::none);
  sim.InjectFault("ReadFile", 1, FileCause::hardIO);
  EXPECT_EQ(Read("s", "k", "'d'  "), "'d'");
  EXPECT_EQ(Read("s", "k", "'d'"), "1");
}

}  // namespace
}  // namespace velmora
