// The installation run on damaged and hostile media files, on the
// simulated machine: cut short, bit flips and huge lengths.  The run must
// end (installed, or failed with its message and rolled back), never crash,
// and never write outside its targets: the Windows directory (files, ini
// file, uninstaller and log) and the machine's own registry and state.
//
// A run takes some 20 ms, so the cut and flip sweeps take every few bytes
// of the package rather than every byte.
#include <gtest/gtest.h>

#include "shell/run_setup.h"
#include "unit/authoring/hostile_packages.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"

namespace velmora::test {
namespace {

// How many positions the sweeps try.
constexpr std::size_t kSamples = 48;

// Runs the installation of `velmor1` on a machine of its own; checks what
// the run may and may not leave behind.
RunOutcome RunOnFreshMachine(const std::string& velmor1, const std::string& what) {
  IsolatedMachine isolated({{"velmor.1", velmor1}});
  const Snapshot before = Take(isolated.Machine());
  const RunOutcome outcome = RunInstallation();
  EXPECT_TRUE(outcome == RunOutcome::installed || outcome == RunOutcome::installFailed) << what;
  // Files change only in the Windows directory, and a failed run rolls
  // back: only the ini file it wrote stays.
  const std::string changed = Differences(
      before, Take(isolated.Machine()),
      [&](const std::string& key, const std::string*, const std::string*) {
        if (key.starts_with("reg ") || key.starts_with("group ") || key.starts_with("item "))
          return true;
        if (key.find(" C:\\WINDOWS\\") == std::string::npos) return false;
        return outcome == RunOutcome::installed || key.starts_with("ini ") || key.ends_with(".INI");
      });
  EXPECT_EQ(changed, "") << what;
  EXPECT_EQ(isolated.Shown("Install Failed.  Press OK to abort."),
            outcome == RunOutcome::installFailed)
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
    package.first.steps.push_back(
        IniValueStep({.value = "1", .iniFile = "RUN.INI", .iniSection = "Run", .iniEntry = "A"}));
    package.first.steps.push_back(FileStep({.name = "A.TXT", .payload = NoisyBytes(200)}));
    package.first.steps.push_back(GroupStep("Lantern"));
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
