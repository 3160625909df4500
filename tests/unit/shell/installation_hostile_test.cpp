// The installation run on damaged and hostile media files, on the
// simulated machine: cut short, bit flips and huge lengths.  The run must
// end (installed, or failed with its message and rolled back), never crash,
// and never write outside its targets: the Windows directory (files, ini
// file, uninstaller and log) and the machine's own registry and state.
//
// A run takes some 20 ms, so the cut and flip sweeps take every few bytes
// of the package rather than every byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "shell/setup_window.h"
#include "unit/authoring/hostile_packages.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// How many positions the sweeps try.
constexpr std::size_t kSamples = 48;

// Every file and folder below a host folder, with its contents.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    files[name] = entry.is_directory() ? "<folder>" : testing::ReadHostFile(entry.path());
  }
  return files;
}

// Runs the installation of `velmor1` on a machine of its own; checks what
// the run may and may not leave behind.
RunOutcome RunOnFreshMachine(const std::string& velmor1, const std::string& what) {
  IsolatedMachine isolated({{"velmor.1", velmor1}});
  const auto before = Snapshot(isolated.Root());
  RunOutcome outcome;
  {
    SetupWindow window("SETUP", "", kMediaSetup);
    window.OnTimer();
    outcome = window.Outcome();
  }
  EXPECT_TRUE(outcome == RunOutcome::installed || outcome == RunOutcome::installFailed) << what;
  const auto after = Snapshot(isolated.Root());
  for (const auto& [name, contents] : after) {
    const auto old = before.find(name);
    if (old != before.end() && old->second == contents) continue;
    const bool target = name.starts_with("C/WINDOWS/") || name.starts_with(".velmora/");
    EXPECT_TRUE(target) << what << ": wrote " << name;
    // A failed run rolls back: only the ini file it wrote stays.
    if (outcome == RunOutcome::installFailed && name.starts_with("C/WINDOWS/")) {
      EXPECT_TRUE(name.ends_with(".INI")) << what << ": left " << name;
    }
  }
  for (const auto& [name, contents] : before)
    EXPECT_TRUE(after.count(name) != 0 || name.starts_with(".velmora/")) << what << ": removed " << name;
  EXPECT_EQ(isolated.Shown("Install Failed.  Press OK to abort."), outcome == RunOutcome::installFailed)
      << what;
  return outcome;
}

class InstallationHostile : public ShellTest {
 protected:
  // A package of an ini value, a file and a program group, all in the
  // Windows directory; written by the package writer, as read back here.
  std::string SmallPackage() {
    PackageDefinition package;
    package.first.title = "Hostile";
    package.first.steps.push_back(MakeStep("CStepIniValue", {{"ini_file", "RUN.INI"},
                                                             {"ini_section", "Run"},
                                                             {"ini_entry", "A"},
                                                             {"default", "1"}}));
    package.first.steps.push_back(FileStep("A.TXT", NoisyBytes(200)));
    package.first.steps.push_back(MakeStep("CStepPMG", {{"name", "Lantern"}}));
    WritePackage(package, kMedia);
    return testing::GetFile(machine_, std::string(kMedia) + "\\velmor.1");
  }

  static std::size_t Stride(std::size_t size) { return size / kSamples + 1; }
};

TEST_F(InstallationHostile, UndamagedPackageInstallsInTheWindowsDirectory) {
  EXPECT_EQ(RunOnFreshMachine(SmallPackage(), "whole"), RunOutcome::installed);
}

TEST_F(InstallationHostile, TruncatedFileFailsTheRunAndRollsBack) {
  const std::string whole = SmallPackage();
  for (std::size_t length = 0; length < whole.size(); length += Stride(whole.size()))
    EXPECT_EQ(RunOnFreshMachine(whole.substr(0, length), "cut at " + std::to_string(length)),
              RunOutcome::installFailed);
}

TEST_F(InstallationHostile, BitFlipsNeverCrashTheRun) {
  const std::string whole = SmallPackage();
  int failures = 0;
  for (std::size_t at = 0; at < whole.size(); at += Stride(whole.size())) {
    std::string flipped = whole;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    if (RunOnFreshMachine(flipped, "flip at " + std::to_string(at)) == RunOutcome::installFailed)
      ++failures;
  }
  // Most flips land in a field that the readers check.
  EXPECT_GT(failures, static_cast<int>(kSamples / 4));
}

TEST_F(InstallationHostile, HugeLengthsFailTheRunWithoutTakingTheirMemory) {
  for (const HugeLengthCase& c : HugeLengthCases()) {
    WriteRaw(std::string(kMedia) + "\\velmor.1", c.stretches);
    const std::string velmor1 = testing::GetFile(machine_, std::string(kMedia) + "\\velmor.1");
    EXPECT_EQ(RunOnFreshMachine(velmor1, c.what), RunOutcome::installFailed);
  }
}

}  // namespace
}  // namespace velmora::test
