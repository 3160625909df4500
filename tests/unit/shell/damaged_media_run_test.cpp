// A run whose media files or package description are damaged fails when it
// opens the damaged file, names it, and leaves the machine as it was.
#include <gtest/gtest.h>

#include "authoring/package_description_writer.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"

namespace velmora::test {
namespace {

class DamagedMediaRun : public ShellTest {};

bool Shows(const std::vector<std::string>& messages, const std::string& start) {
  for (const std::string& message : messages)
    if (message.starts_with(start)) return true;
  return false;
}

TEST_F(DamagedMediaRun, RefusesEachDamagedFileAndChangesNothing) {
  PackageDefinition package;
  package.first.title = "Lantern";
  package.first.steps.push_back(FileStep({.name = "A.DAT", .payload = Noise(15000, 1)}));
  package.second.emplace();
  package.second->title = "Lantern samples";
  package.second->steps.push_back(FileStep({.name = "B.DAT", .payload = Noise(7000, 2)}));
  WriterOptions options;
  options.diskSize = 5000;
  const WriteResult written = WritePackage(package, kMedia, options);
  WritePackageDescription(kMedia, written);
  std::vector<std::string> files = written.first.files;
  files.insert(files.end(), written.second->files.begin(), written.second->files.end());
  files.push_back(kDescriptionFileName);
  ASSERT_GE(files.size(), 6u);

  for (const std::string& name : files) {
    const std::string path = std::string(kMedia) + "\\" + name;
    const std::string original = testing::GetFile(machine_, path);
    std::string damaged = original;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x10);
    ASSERT_EQ(testing::PutFile(machine_, path, damaged), FileCause::none);
    const Snapshot before = Take(machine_);
    ui_.ClearTranscript();
    EXPECT_EQ(RunInstallation(), RunOutcome::installFailed) << name;
    const std::string named =
        name == kDescriptionFileName ? "The package description " + name : "The file " + name;
    EXPECT_TRUE(Shows(Messages(), named + " is damaged: ")) << name;
    EXPECT_EQ(Differences(before, Take(machine_), [](auto&&...) { return false; }), "") << name;
    ASSERT_EQ(testing::PutFile(machine_, path, original), FileCause::none);
  }
  ui_.ClearTranscript();
  EXPECT_EQ(RunInstallation(), RunOutcome::installed);
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\B.DAT").size(), 7000u);
}

}  // namespace
}  // namespace velmora::test
