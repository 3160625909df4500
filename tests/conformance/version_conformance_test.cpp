// Machine conformance for installing files: version resources of real
// DLLs (built by windres and MinGW, see tests/data) and of hand-made
// images, file times, the recommended location and in-process
// registration.  The sim reads images with its own parser; on Windows the
// version library and the loader answer, and both must agree.
#include <gtest/gtest.h>

#include "conformance/machine_fixture.h"
#include "data/version_fixtures.inc"
#include "framework/ascii.h"
#include "steps/replace_decision.h"
#include "unit/support/pe_builder.h"

namespace velmora {
namespace {

using MachineVersions = testing::MachineTest;

template <std::size_t N>
std::string Bytes(const unsigned char (&data)[N]) {
  return std::string(reinterpret_cast<const char*>(data), N);
}

std::string Trimmed(std::string dir) {
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return AsciiUppered(dir);
}

TEST_F(MachineVersions, VersionResources) {
  ASSERT_EQ(testing::PutFile(machine(), At("v.dll"), Bytes(kVersionedDll)), FileCause::none);
  ASSERT_EQ(testing::PutFile(machine(), At("u.dll"), Bytes(kUnversionedDll)), FileCause::none);
  ASSERT_EQ(testing::PutFile(machine(), At("t.txt"), "plain text"), FileCause::none);
  const auto built = test::PeBuilder().Version(0x00020005, 0x00070009).Build();
  ASSERT_EQ(testing::PutFile(machine(), At("b.dll"), std::string(built.begin(), built.end())),
            FileCause::none);

  std::uint64_t version = 0;
  EXPECT_TRUE(machine().GetFileVersion(At("v.dll"), version));
  EXPECT_EQ(version, 0x000300010004009Full);
  EXPECT_EQ(FormatFileVersion(At("v.dll")), "0.3.0.1.0.4.0.159");
  EXPECT_TRUE(machine().GetFileVersion(At("b.dll"), version));
  EXPECT_EQ(version, 0x0002000500070009ull);
  EXPECT_FALSE(machine().GetFileVersion(At("u.dll"), version));
  EXPECT_FALSE(machine().GetFileVersion(At("t.txt"), version));
  EXPECT_FALSE(machine().GetFileVersion(At("missing.dll"), version));
  EXPECT_EQ(FormatFileVersion(At("missing.dll")), "0.0.0.0.0.0.0.0");
}

TEST_F(MachineVersions, FileTimesRoundTrip) {
  ASSERT_EQ(testing::PutFile(machine(), At("f.txt"), "x"), FileCause::none);
  FileTimes set;
  set.creation = 840000000;
  set.lastWrite = 841000000;
  ASSERT_EQ(machine().SetFileTimes(At("f.txt"), set), FileCause::none);
  FileTimes got;
  ASSERT_EQ(machine().GetFileTimes(At("f.txt"), got), FileCause::none);
  // Wine keeps no creation time on a Unix file system: it answers the
  // last-write time there.  Windows and the sim keep it.
  const bool keepsCreation = !UnderWine();
  if (keepsCreation) {
    EXPECT_EQ(got.creation, set.creation);
  }
  EXPECT_EQ(got.lastWrite, set.lastWrite);

  FileTimes onlyCreation;
  onlyCreation.creation = 830000000;  // the zero last-write time stays as it was
  ASSERT_EQ(machine().SetFileTimes(At("f.txt"), onlyCreation), FileCause::none);
  ASSERT_EQ(machine().GetFileTimes(At("f.txt"), got), FileCause::none);
  if (keepsCreation) {
    EXPECT_EQ(got.creation, 830000000);
  }
  EXPECT_EQ(got.lastWrite, 841000000);
  EXPECT_EQ(machine().GetFileTimes(At("missing.txt"), got), FileCause::fileNotFound);
}

// Times set through the handle of a file being written stay when it is
// closed and when it is moved; a handle that only reads may not set them.
TEST_F(MachineVersions, TimesOfAnOpenFileOutliveCloseAndMove) {
  FileTimes set;
  set.creation = 840000000;
  set.lastWrite = 841000000;
  std::string temp;
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine().CreateTempFileForWriting(Scratch(), "ins", temp, handle), FileCause::none);
  ASSERT_EQ(machine().WriteFile(handle, "data", 4), FileCause::none);
  ASSERT_EQ(machine().SetOpenFileTimes(handle, set), FileCause::none);
  ASSERT_EQ(machine().CloseFile(handle), FileCause::none);
  ASSERT_EQ(machine().MoveFile(temp, At("placed.txt")), FileCause::none);
  FileTimes got;
  ASSERT_EQ(machine().GetFileTimes(At("placed.txt"), got), FileCause::none);
  if (!UnderWine()) {
    EXPECT_EQ(got.creation, set.creation);
  }
  EXPECT_EQ(got.lastWrite, set.lastWrite);
  EXPECT_EQ(testing::GetFile(machine(), At("placed.txt")), "data");

  FileHandle reader = kNoFile;
  ASSERT_EQ(machine().OpenFile(At("placed.txt"), FileAccess::read, FileShare::denyNone,
                               FileDisposition::openExisting, reader),
            FileCause::none);
  FileTimes other;
  other.lastWrite = 850000000;
  // SetFileTime needs FILE_WRITE_ATTRIBUTES, which a handle opened to read
  // lacks; Wine does not check it and sets the times anyway.
  if (!UnderWine()) {
    EXPECT_EQ(machine().SetOpenFileTimes(reader, other), FileCause::accessDenied);
    ASSERT_EQ(machine().GetFileTimes(At("placed.txt"), got), FileCause::none);
    EXPECT_EQ(got.lastWrite, set.lastWrite);
  }
  EXPECT_EQ(machine().CloseFile(reader), FileCause::none);
  EXPECT_EQ(machine().SetOpenFileTimes(reader, other), FileCause::invalidFile);
}

TEST_F(MachineVersions, RecommendedLocation) {
  const std::string windows = machine().GetWindowsDirectory();
  const std::string system = machine().GetSystemDirectory();
  const std::string name = "vlm" + std::to_string(Scratch().size() * 7919 % 100000) + ".dll";
  std::string current, destination;

  machine().FindFileLocation(0, name, windows, Scratch(), current, destination);
  EXPECT_EQ(current, "");
  EXPECT_EQ(Trimmed(destination), AsciiUppered(Scratch()));
  machine().FindFileLocation(verfind::sharedFile, name, windows, Scratch(), current, destination);
  EXPECT_EQ(current, "");
  EXPECT_EQ(Trimmed(destination), Trimmed(system));

  ASSERT_EQ(testing::PutFile(machine(), At(name), "x"), FileCause::none);
  machine().FindFileLocation(0, name, windows, Scratch(), current, destination);
  EXPECT_EQ(Trimmed(current), AsciiUppered(Scratch()));
  machine().FindFileLocation(verfind::sharedFile, name, windows, Scratch(), current, destination);
  EXPECT_EQ(Trimmed(current), AsciiUppered(Scratch()));
  EXPECT_EQ(Trimmed(destination), Trimmed(system));
}

TEST_F(MachineVersions, InProcessRegistration) {
  ASSERT_EQ(testing::PutFile(machine(), At("v.dll"), Bytes(kVersionedDll)), FileCause::none);
  ASSERT_EQ(testing::PutFile(machine(), At("t.dll"), "not a library"), FileCause::none);
  long result = -1;
  EXPECT_EQ(machine().CallRegistrationEntry(At("v.dll"), "DllRegisterServer", result),
            RegistrationCall::called);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(machine().CallRegistrationEntry(At("v.dll"), "DllUnregisterServer", result),
            RegistrationCall::called);
  EXPECT_EQ(machine().CallRegistrationEntry(At("v.dll"), "DllInstall", result),
            RegistrationCall::noEntryPoint);
  EXPECT_EQ(machine().CallRegistrationEntry(At("t.dll"), "DllRegisterServer", result),
            RegistrationCall::loadFailed);
  EXPECT_EQ(machine().CallRegistrationEntry(At("none.dll"), "DllRegisterServer", result),
            RegistrationCall::loadFailed);
}

}  // namespace
}  // namespace velmora
