// Where a run finds its media: the current directory, beside the program
// when it is started from another folder, or appended to the program
// itself; the uninstaller copied from a program that carries its package
// is the program alone.
#include <gtest/gtest.h>

#include "authoring/package_description_writer.h"
#include "datafile/appended_media.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

constexpr const char* kBuild = "C:\\BUILD";
constexpr const char* kElsewhere = "C:\\ELSEWHERE";

class SingleFileRun : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(machine_.CreateDirectory(kBuild), FileCause::none);
    ASSERT_EQ(machine_.CreateDirectory(kElsewhere), FileCause::none);
    PackageDefinition package;
    package.first.title = "Lantern";
    package.first.steps.push_back(FileStep({.name = "A.DAT", .payload = Noise(9000, 1)}));
    WriterOptions options;
    options.diskSize = 4000;
    const WriteResult written = WritePackage(package, kBuild, options);
    WritePackageDescription(kBuild, written);
    files_ = written.first.files;
    files_.push_back(kDescriptionFileName);
    const std::vector<std::uint8_t> image = PeBuilder().Version(0x00010000, 0).Build();
    program_.assign(image.begin(), image.end());
  }

  // The program with the package's files appended, as pack --single-file
  // writes it; `damage` changes one byte of the first file.
  std::string SingleFile(bool damage = false) {
    std::string bytes = program_;
    std::vector<AppendedMember> members;
    for (const std::string& name : files_) {
      const std::string file = testing::GetFile(machine_, std::string(kBuild) + "\\" + name);
      members.push_back({name, static_cast<std::uint32_t>(bytes.size() - program_.size()),
                         static_cast<std::uint32_t>(file.size())});
      bytes += file;
    }
    if (damage) bytes[program_.size() + 100] = static_cast<char>(bytes[program_.size() + 100] ^ 1);
    return bytes + AppendedTableAndTrailer(members);
  }

  RunOutcome RunFromElsewhere(const std::string& program) {
    EXPECT_EQ(machine_.SetCurrentDirectory(kElsewhere), FileCause::none);
    ui_.ClearTranscript();
    return RunInstallation(program);
  }

  std::string Installed() { return testing::GetFile(machine_, "C:\\WINDOWS\\A.DAT"); }
  std::string Uninstaller() { return testing::GetFile(machine_, "C:\\WINDOWS\\XLantern.exe"); }

  std::string program_;
  std::vector<std::string> files_;
};

TEST_F(SingleFileRun, MediaBesideTheProgramStartedFromElsewhere) {
  ASSERT_EQ(testing::PutFile(machine_, "C:\\BUILD\\Setup.exe", program_), FileCause::none);
  EXPECT_EQ(RunFromElsewhere("C:\\BUILD\\Setup.exe"), RunOutcome::installed);
  EXPECT_EQ(Installed().size(), 9000u);
  EXPECT_EQ(Uninstaller(), program_);
}

TEST_F(SingleFileRun, MediaInsideTheProgramAndAnUninstallerWithoutThem) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\DL"), FileCause::none);
  ASSERT_EQ(testing::PutFile(machine_, "C:\\DL\\SETUP.EXE", SingleFile(true)), FileCause::none);
  const Snapshot before = Take(machine_);
  EXPECT_EQ(RunFromElsewhere("C:\\DL\\SETUP.EXE"), RunOutcome::installFailed);
  EXPECT_EQ(Messages().front().rfind("The file velmor.1 is damaged: ", 0), 0u)
      << Messages().front();
  EXPECT_EQ(Differences(before, Take(machine_), [](auto&&...) { return false; }), "");

  ASSERT_EQ(testing::PutFile(machine_, "C:\\DL\\SETUP.EXE", SingleFile()), FileCause::none);
  EXPECT_EQ(RunFromElsewhere("C:\\DL\\SETUP.EXE"), RunOutcome::installed);
  EXPECT_EQ(Installed().size(), 9000u);
  EXPECT_EQ(Uninstaller(), program_);
}

}  // namespace
}  // namespace velmora::test
