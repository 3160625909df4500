// A fault sweep over whole runs: a package spanning two media files is
// installed (and uninstalled) once to count the machine operations the run
// makes, then again once per counted call and failure kind, each time on a
// fresh copy of the same starting machine.  A failed installation must leave
// the machine exactly as it found it; a failed uninstallation must be
// finished by a second start and touch only what the installation made.
//
// By default each operation's first and last calls and every kSampleStep-th
// call between them are failed; VELMORA_FULL_SWEEP=1 in the environment
// fails every call.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "authoring/package_writer.h"
#include "services/registry.h"
#include "shell/run_setup.h"
#include "shell/uninstall_files.h"
#include "steps/step_file.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "Lantern";
constexpr const char* kKey = "Software\\Lantern";
constexpr const char* kSharedKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr std::int64_t kOldTime = 1000000000;      // 2001: older than the package's files
constexpr std::int64_t kPackageTime = 1300000000;  // 2011
constexpr std::int64_t kNewerTime = 1600000000;    // 2020: newer than the package's files
constexpr int kSampleStep = 16;

struct FileFlags {
  bool icon = false, readOnly = false, shared = false, registers = false;
};

PackageStep File(const std::string& name, const std::string& directory,
                 std::vector<std::uint8_t> bytes, FileFlags flags = {}) {
  PackageStep step = Step("CStepFileCopy");
  step.step->SetName(name);
  step.step->SetDirectory(directory);
  step.step->SetIcon(flags.icon);
  step.step->SetReadOnly(flags.readOnly);
  step.step->SetShared(flags.shared);
  step.step->SetRegister(flags.registers);
  auto* file = dynamic_cast<CStepFile*>(step.step.get());
  file->SetCreationTime(static_cast<std::int32_t>(kPackageTime));
  file->SetModificationTime(static_cast<std::int32_t>(kPackageTime));
  step.payload = std::move(bytes);
  return step;
}

PackageStep Setting(const std::string& className, const std::string& name,
                    const std::string& regEntry, const std::string& iniSection,
                    const std::string& iniEntry, const std::string& value) {
  PackageStep step = Step(className);
  step.step->SetName(name);
  step.step->SetQuestion("Where shall " + name + " go?");
  step.step->SetRegEntry(regEntry);
  if (!iniEntry.empty()) {
    step.step->SetIniFile("RUN.INI");
    step.step->SetIniSection(iniSection);
    step.step->SetIniEntry(iniEntry);
  }
  step.step->SetDefault(value);
  return step;
}

std::string Lantern(const std::string& value) {
  return "HKEY_LOCAL_MACHINE\\Software\\Lantern\\" + value;
}

PackageDefinition Package() {
  const auto library =
      PeBuilder().Export("DllRegisterServer").Export("DllUnregisterServer").Build();
  PackagePart part;
  part.title = kTitle;
  part.checkDates = true;  // the existing newer file is kept without asking
  part.steps =
      Steps(Setting("CStepDirectory", "Main", Lantern("Dir"), "Paths", "Main", "C:\\LANTERN"),
            IniValue("Existing", "new"), IniValue("Fresh", "1"),
            Setting("CStepRegistry", "", Lantern("Path"), "", "", "C:\\LANTERN"),
            Setting("CStepRegistry", "", Lantern("Version"), "", "", "2.0"),
            Setting("CStepUserValue", "Owner", Lantern("Owner"), "User", "Name", "Ann"),
            Setting("CStepPMG", "Lantern", "", "", "", ""),
            File("LANTERN.EXE", "Main", Noise(900, 1), {.icon = true}),
            File("README.TXT", "Main", Noise(300, 2), {.readOnly = true}),
            File("REPLACE.DLL", "<Windows>", Noise(700, 3), {.shared = true}),
            File("KEEP.TXT", "<Windows>", Noise(200, 4)),
            File("COMP.OCX", "<Windows>", library, {.registers = true}),
            File("HELP.HLP", "Main", Noise(400, 5), {.icon = true}));
  return {std::move(part), std::nullopt};
}

using MediaFiles = std::vector<std::pair<std::string, std::string>>;

// The package's media files, written once.
const MediaFiles& Media() {
  static const MediaFiles files = [] {
    IsolatedMachine writer({});
    WriterOptions options;
    options.diskSize = 3000;
    options.jobs = 1;
    const WriteResult written = WritePackage(Package(), "C:\\MEDIA", options);
    MediaFiles media;
    for (const std::string& name : written.first.files)
      media.emplace_back(name, testing::GetFile(writer.Machine(), "C:\\MEDIA\\" + name));
    return media;
  }();
  return files;
}

void PutOld(SimMachine& machine, const std::string& path, const std::string& bytes,
            std::int64_t time, std::uint32_t attributes) {
  ASSERT_EQ(testing::PutFile(machine, path, bytes), FileCause::none);
  ASSERT_EQ(machine.SetFileTimes(path, {time, time + 5, time + 10}), FileCause::none);
  ASSERT_EQ(machine.SetFileAttributes(path, attributes), FileCause::none);
}

// The starting machine: files to replace, keep and leave alone, ini entries
// and registry values the steps find.
std::unique_ptr<IsolatedMachine> FreshMachine() {
  auto isolated = std::make_unique<IsolatedMachine>(Media());
  SimMachine& machine = isolated->Machine();
  PutOld(machine, "C:\\WINDOWS\\REPLACE.DLL", "old library", kOldTime,
         attr::readOnly | attr::hidden | attr::archive);
  PutOld(machine, "C:\\WINDOWS\\KEEP.TXT", "newer text", kNewerTime, attr::archive);
  PutOld(machine, "C:\\WINDOWS\\OTHER.TXT", "not ours", kOldTime, attr::normal);
  EXPECT_EQ(machine.CreateDirectory("C:\\DATA"), FileCause::none);
  PutOld(machine, "C:\\DATA\\NOTES.TXT", "notes", kNewerTime, attr::readOnly);
  EXPECT_EQ(machine.SetProfileString("RUN.INI", "Run", "Existing", "old"), FileCause::none);
  EXPECT_EQ(machine.SetProfileString("RUN.INI", "User", "Name", "Bea"), FileCause::none);
  EXPECT_EQ(machine.SetProfileString("RUN.INI", "Paths", "Other", "C:\\DATA"), FileCause::none);
  EXPECT_TRUE(WriteRegistryString(hkey::localMachine, kKey, "Path", "C:\\OLD"));
  EXPECT_TRUE(WriteRegistryString(hkey::localMachine, kKey, "Owner", "Bea"));
  EXPECT_TRUE(WriteRegistryDword(hkey::localMachine, kSharedKey, "C:\\WINDOWS\\REPLACE.DLL", 1));
  // The user types another owner than the one remembered.
  AnswerRule owner;
  owner.kind = TranscriptKind::user;
  owner.pattern = "*";
  owner.userActions = {{UserValueAction::type, "Cal"}, {UserValueAction::ok, ""}};
  isolated->Ui().AddRule(owner);
  return isolated;
}

bool FullSweep() {
  const char* full = std::getenv("VELMORA_FULL_SWEEP");
  return full != nullptr && std::string(full) == "1";
}

// The calls to fail out of `count`: all of them, or the sample.
std::vector<int> CallsToFail(int count) {
  std::vector<int> calls;
  for (int nth = 1; nth <= count; ++nth)
    if (FullSweep() || nth == 1 || nth == count || nth % kSampleStep == 0) calls.push_back(nth);
  return calls;
}

// Every fault for the counted calls: each machine call with each file
// cause, each registry call with each error, and the Program Manager
// failing its first transaction or all of them.
std::vector<Fault> Faults(const Counts& files, const Counts& registry, int transactions) {
  std::vector<Fault> faults;
  for (const auto& [operation, count] : files)
    for (int nth : CallsToFail(count))
      for (FileCause cause : {FileCause::generic, FileCause::diskFull, FileCause::accessDenied,
                              FileCause::sharingViolation})
        faults.push_back({Layer::files, operation, nth, static_cast<long>(cause)});
  for (const auto& [operation, count] : registry)
    for (int nth : CallsToFail(count))
      for (long error : {winerror::registryIoFailed, winerror::accessDenied})
        faults.push_back({Layer::registry, operation, nth, error});
  for (sim::DdeFault kind : {sim::DdeFault::noServer, sim::DdeFault::busy,
                             sim::DdeFault::notProcessed, sim::DdeFault::refused})
    for (int count : {1, transactions + 1})
      faults.push_back({Layer::programManager, "Dde", count, static_cast<long>(kind)});
  return faults;
}

std::string Format(const Counts& counts) {
  std::string text;
  for (const auto& [operation, calls] : counts)
    text += " " + operation + "=" + std::to_string(calls);
  return text;
}

// The calls a machine has counted so far.
struct Calls {
  Counts files, registry;
  int transactions = 0;
};

Calls CallsOf(SimMachine& machine) {
  return {machine.OperationCalls(), machine.Registry().Calls(),
          static_cast<int>(machine.ProgramManager().Transactions().size())};
}

class FaultSweep : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Media().size(), 2u) << "the package spans two media files"; }

  RunOutcome Install(SimMachine& machine) {
    return Run(machine, [] { return RunInstallation(); });
  }

  // Starts the uninstaller from its uninstall entry, its program file held
  // open as a running program's image is.
  RunOutcome Uninstall(SimMachine& machine) {
    return Run(machine, [&machine] { return RunUninstallEntry(machine, kTitle); });
  }

  // Runs the program, from the making of its window to its end, with fault_
  // armed for its own calls only, and counts the calls it makes.
  template <typename Start>
  RunOutcome Run(SimMachine& machine, const Start& start) {
    const Calls before = CallsOf(machine);
    if (fault_ != nullptr) Arm(machine, *fault_);
    const RunOutcome outcome = start();
    ClearFaults(machine);
    fault_ = nullptr;
    const Calls end = CallsOf(machine);
    made_ = {Since(end.files, before.files), Since(end.registry, before.registry),
             end.transactions - before.transactions};
    return outcome;
  }

  // Every fault for the calls the last run made, which ran without any.
  std::vector<Fault> FaultsOfLastRun(const char* what) {
    std::cout << what << " calls:" << Format(made_.files) << Format(made_.registry)
              << " Dde=" << made_.transactions << "\n";
    return Faults(made_.files, made_.registry, made_.transactions);
  }

  const Fault* fault_ = nullptr;
  Calls made_;
};

TEST_F(FaultSweep, AFailedInstallationLeavesTheMachineAsItWas) {
  {
    auto isolated = FreshMachine();
    ASSERT_EQ(Install(isolated->Machine()), RunOutcome::installed);
  }
  const std::vector<Fault> faults = FaultsOfLastRun("install");
  int installed = 0, rolledBack = 0;
  for (const Fault& fault : faults) {
    auto isolated = FreshMachine();
    SimMachine& machine = isolated->Machine();
    const Snapshot before = Take(machine);
    fault_ = &fault;
    if (Install(machine) == RunOutcome::installed) {
      ++installed;
      continue;
    }
    ++rolledBack;
    EXPECT_EQ(Differences(before, Take(machine), [](auto&&...) { return false; }), "")
        << Describe(fault);
  }
  std::cout << "install sweep: " << faults.size() << " runs, " << installed << " installed, "
            << rolledBack << " rolled back\n";
}

TEST_F(FaultSweep, AFailedUninstallationIsFinishedByASecondStartAndTouchesOnlyWhatWasInstalled) {
  Snapshot before, installed;
  auto installOn = [&](SimMachine& machine) {
    before = Take(machine);
    ASSERT_EQ(Install(machine), RunOutcome::installed);
    installed = Take(machine);
  };
  {
    auto isolated = FreshMachine();
    installOn(isolated->Machine());
    ASSERT_EQ(Uninstall(isolated->Machine()), RunOutcome::uninstalled);
  }
  const std::vector<Fault> faults = FaultsOfLastRun("uninstall");
  // Only what the installation changed may change.  Files in use (the
  // uninstaller's own, held open while it runs) are left to the system's
  // next start, which comes before the machine is compared.
  // What the installation did not change is as it was.  What it changed
  // holds what was there before or what the installation left (values of
  // the directory, ini, registry and user value steps stay), never a third
  // thing; a shared count comes back to what the other users hold, and one
  // the installation made stays at 0.
  auto same = [](const std::string* a, const std::string* b) { return a ? b && *a == *b : !b; };
  auto madeByInstall = [&](const std::string& key, const std::string* was, const std::string* now) {
    const auto made = installed.find(key);
    const std::string* left = made == installed.end() ? nullptr : &made->second;
    if (same(was, left)) return false;
    if (key.find("\\SharedDLLs ") != std::string::npos)
      return was == nullptr && now != nullptr && *now == std::string("4:\0\0\0\0", 6);
    return same(now, was) || same(now, left);
  };
  int first = 0, second = 0;
  for (const Fault& fault : faults) {
    auto isolated = FreshMachine();
    SimMachine& machine = isolated->Machine();
    installOn(machine);
    fault_ = &fault;
    if (Uninstall(machine) == RunOutcome::uninstalled) {
      ++first;
    } else {
      ++second;
      EXPECT_EQ(Uninstall(machine), RunOutcome::uninstalled) << Describe(fault);
    }
    machine.Restart();
    EXPECT_EQ(Differences(before, Take(machine), madeByInstall), "") << Describe(fault);
  }
  std::cout << "uninstall sweep: " << faults.size() << " runs, " << first
            << " uninstalled at once, " << second << " by a second start\n";
}

}  // namespace
}  // namespace velmora::test
