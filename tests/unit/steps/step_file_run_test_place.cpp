// Placing, keeping, counting, registering, uninstalling and rolling back
// one file step on the simulated machine.  Without a main window both the
// date and the version checks are on.
#include <algorithm>

#include "services/shared_files.h"
#include "unit/steps/step_file_run_support.h"
#include "unit/support/media_folder.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

constexpr const char* kTarget = "C:\\WINDOWS\\APP.DLL";
constexpr std::int32_t kOld = 800000000;
constexpr std::int32_t kNew = 900000000;

class FilePlacement : public FileStepRun {
 protected:
  // An existing file dated kOld, or kNew + 1 when it is to be newer.
  void PutExisting(const std::string& content, bool newer = false, std::uint32_t bits = 0) {
    Put(kTarget, content);
    FileTimes times;
    times.creation = times.lastWrite = newer ? kNew + 1 : kOld;
    ASSERT_EQ(machine_.SetFileTimes(kTarget, times), FileCause::none);
    if (bits != 0) {
      ASSERT_EQ(machine_.SetFileAttributes(kTarget, bits), FileCause::none);
    }
  }
  std::unique_ptr<CStepFileCopy> NewStep(const std::string& name = "APP.DLL") {
    auto step =
        TakeStep<CStepFileCopy>(FileStep({.name = name, .created = kNew - 100, .modified = kNew}));
    step->JoinRun(&run_);
    return step;
  }
  std::uint32_t Count(const std::string& path = kTarget) { return ReadSharedCount(path, 999); }
  // Everything in C:\WINDOWS but the system directory.
  std::vector<std::string> Files() {
    auto names = Names("C:\\WINDOWS");
    std::erase(names, "SYSTEM");
    return names;
  }
};

TEST_F(FilePlacement, NewFileGetsStoredTimesAndAttributes) {
  auto step = NewStep();
  step->SetReadOnly(true);
  step->SetHidden(true);
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  FileTimes times;
  ASSERT_EQ(machine_.GetFileTimes(kTarget, times), FileCause::none);
  EXPECT_EQ(times.creation, kNew - 100);
  EXPECT_EQ(times.lastWrite, kNew);
  EXPECT_EQ(Attributes(kTarget) & (attr::readOnly | attr::hidden), attr::readOnly | attr::hidden);
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

// The stored times are set only when there is a last-write time.
TEST_F(FilePlacement, ACreationTimeAloneIsNotSet) {
  auto step = NewStep();
  step->SetModificationTime(0);
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  FileTimes times;
  ASSERT_EQ(machine_.GetFileTimes(kTarget, times), FileCause::none);
  EXPECT_NE(times.creation, kNew - 100);
}

// A replaced file that cannot be deleted after success (in use) is left to
// the system's next start rather than forgotten in the target directory.
TEST_F(FilePlacement, AReplacedFileInUseIsDeletedAtTheNextStart) {
  PutExisting("old");
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  const std::string aside = step->GetKeptAsidePath();
  ASSERT_FALSE(aside.empty());
  machine_.InjectFault("DeleteFile", 1, FileCause::sharingViolation);
  step->OnInstallationSucceeded();
  EXPECT_TRUE(step->GetKeptAsidePath().empty());
  EXPECT_EQ(Files().size(), 2u);
  machine_.Restart();
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
  EXPECT_EQ(Read(kTarget), "new");
}

TEST_F(FilePlacement, ReadOnlyTargetIsReplacedAndLosesReadOnly) {
  PutExisting("old", false, attr::readOnly | attr::archive);
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "new");
  EXPECT_EQ(Attributes(kTarget) & attr::readOnly, 0u);
  EXPECT_FALSE(step->GetCreatedByInstall());
  // The replaced file waits beside it until the outcome is known.
  ASSERT_FALSE(step->GetKeptAsidePath().empty());
  EXPECT_EQ(Read(step->GetKeptAsidePath()), "old");
  step->OnInstallationSucceeded();
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FilePlacement, NewerExistingFileIsKeptAndTheTemporaryFileGoes) {
  PutExisting("old", true);
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "old");
  EXPECT_TRUE(step->GetTempPath().empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FilePlacement, SharedCounts) {
  auto created = NewStep();
  created->SetShared(true);
  ASSERT_EQ(InstallContent(*created, "new"), InstallResult::done);
  EXPECT_EQ(Count(), 1u);  // from missing

  Put("C:\\WINDOWS\\OTHER.DLL", "x");
  auto existing = NewStep("OTHER.DLL");
  existing->SetShared(true);
  ASSERT_EQ(InstallContent(*existing, "new"), InstallResult::done);
  EXPECT_EQ(Count("C:\\WINDOWS\\OTHER.DLL"), 2u);  // there without a count: already used once

  auto kept = NewStep();  // same date as the file now there: kept, still counted
  kept->SetShared(true);
  ASSERT_EQ(InstallContent(*kept, "same"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "new");
  EXPECT_EQ(Count(), 2u);

  // Uninstalling a shared file only counts down; the file stays.
  EXPECT_TRUE(kept->Uninstall());
  EXPECT_TRUE(created->Uninstall());
  EXPECT_EQ(Count(), 0u);
  EXPECT_TRUE(created->Uninstall());
  EXPECT_EQ(Count(), 0u);
  EXPECT_EQ(Read(kTarget), "new");
}

TEST_F(FilePlacement, UninstallRemovesAKeptFileToo) {
  PutExisting("old", true, attr::readOnly);
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_TRUE(step->Uninstall());
  EXPECT_TRUE(Files().empty());
}

TEST_F(FilePlacement, RollbackDeletesACreatedSharedFileAndItsCount) {
  auto step = NewStep();
  step->SetShared(true);
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_TRUE(step->Rollback());
  EXPECT_EQ(Count(), 999u);  // the count value it created is gone
  EXPECT_TRUE(Files().empty());
}

TEST_F(FilePlacement, RollbackKeepsAFileTheDecisionKept) {
  PutExisting("old", true);
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_TRUE(step->Rollback());
  EXPECT_EQ(Read(kTarget), "old");

  // Shared: only the count this installation added goes.
  ASSERT_TRUE(WriteSharedCount(kTarget, 3));
  auto shared = NewStep();
  shared->SetShared(true);
  ASSERT_EQ(InstallContent(*shared, "new"), InstallResult::done);
  EXPECT_EQ(Count(), 4u);
  EXPECT_TRUE(shared->Rollback());
  EXPECT_EQ(Count(), 3u);
  EXPECT_EQ(Read(kTarget), "old");
}

TEST_F(FilePlacement, RollbackBringsBackAReplacedFileWithItsAttributes) {
  PutExisting("old", false, attr::readOnly | attr::hidden);
  auto step = NewStep();
  ASSERT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "new");
  EXPECT_TRUE(step->Rollback());
  EXPECT_EQ(Read(kTarget), "old");
  EXPECT_EQ(Attributes(kTarget) & (attr::readOnly | attr::hidden), attr::readOnly | attr::hidden);
  FileTimes times;
  ASSERT_EQ(machine_.GetFileTimes(kTarget, times), FileCause::none);
  EXPECT_EQ(times.creation, kOld);
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FilePlacement, TwoStepsWithOneTargetRollBackToTheOriginal) {
  PutExisting("old");
  auto first = NewStep();
  ASSERT_EQ(InstallContent(*first, "first"), InstallResult::done);
  auto second = NewStep();
  second->SetModificationTime(kNew + 10);  // newer than the first step's file
  ASSERT_EQ(InstallContent(*second, "second"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "second");
  // The run rolls back in the order the steps completed.
  EXPECT_TRUE(first->Rollback());
  EXPECT_TRUE(second->Rollback());
  EXPECT_EQ(Read(kTarget), "old");
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FilePlacement, MoveFailureLeavesTheExistingFile) {
  PutExisting("old", false, attr::readOnly);
  auto step = NewStep();
  step->SetDataSize(3);
  WriteChunks(1, {{1, "new"}});
  ASSERT_TRUE(InstallData(*step));
  // The move that never replaces fails on the existing file, which is then
  // moved aside; the new one cannot be moved in.
  machine_.InjectFault("MoveFile", 3, FileCause::accessDenied);
  EXPECT_EQ(step->Install(), InstallResult::failed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Failed while attempting to create a new file"});
  EXPECT_EQ(Read(kTarget), "old");
  EXPECT_NE(Attributes(kTarget) & attr::readOnly, 0u);
  step.reset();
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

// A new target is placed by one move, without a probe; when that move fails,
// the probe and the usual move still place it.
TEST_F(FilePlacement, NewTargetIsMovedInWithoutAProbe) {
  for (const bool firstMoveFails : {false, true}) {
    SCOPED_TRACE(firstMoveFails);
    machine_.DeleteFile(kTarget);
    auto step = NewStep();
    step->SetDataSize(3);
    WriteChunks(1, {{1, "new"}});
    ASSERT_TRUE(InstallData(*step));
    const auto calls = machine_.OperationCalls();
    if (firstMoveFails) machine_.InjectFault("MoveFile", 1, FileCause::sharingViolation);
    EXPECT_EQ(step->Install(), InstallResult::done);
    const auto after = machine_.OperationCalls();
    EXPECT_EQ(Read(kTarget), "new");
    const auto added = [&](const char* operation) {
      const auto count = [operation](const std::map<std::string, int>& counts) {
        const auto found = counts.find(operation);
        return found == counts.end() ? 0 : found->second;
      };
      return count(after) - count(calls);
    };
    EXPECT_EQ(added("MoveFile"), firstMoveFails ? 2 : 1);
    EXPECT_EQ(added("OpenFile"), firstMoveFails ? 1 : 0);
    step->OnInstallationSucceeded();
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"APP.DLL"});
}

TEST_F(FilePlacement, StatusWriteFailures) {
  PutExisting("old", false, attr::readOnly);
  auto step = NewStep();
  step->SetDataSize(3);
  WriteChunks(1, {{1, "new"}});
  ASSERT_TRUE(InstallData(*step));
  machine_.InjectFault("SetFileAttributes", 1, FileCause::accessDenied);
  EXPECT_EQ(step->Install(), InstallResult::failed);  // clearing read-only of the existing file
  EXPECT_EQ(Read(kTarget), "old");

  auto placed = NewStep();
  placed->SetDataSize(3);
  placed->SetHidden(true);
  ASSERT_TRUE(InstallData(*placed));
  // Clearing read-only works; giving the placed file its attributes does not.
  machine_.InjectFault("SetFileAttributes", 2, FileCause::accessDenied);
  EXPECT_EQ(placed->Install(), InstallResult::failed);
  EXPECT_EQ(Read(kTarget), "old");
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Could not reset existing file status",
                                                  "Could not reset existing file status"}));
}

TEST_F(FilePlacement, AttributesAlreadyRightAreNotWritten) {
  // A new plain file: the move gives it the attributes it must have, so a
  // refused attribute write is never met.
  auto step = NewStep();
  machine_.InjectFault("SetFileAttributes", 1, FileCause::accessDenied);
  EXPECT_EQ(InstallContent(*step, "new"), InstallResult::done);
  EXPECT_EQ(Read(kTarget), "new");
  EXPECT_EQ(Attributes(kTarget) & (attr::readOnly | attr::hidden), 0u);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FilePlacement, TargetInUseCannotBeProbed) {
  PutExisting("old");
  FileHandle handle = kNoFile;
  ASSERT_EQ(machine_.OpenFile(kTarget, FileAccess::readWrite, FileShare::exclusive,
                              FileDisposition::openExisting, handle),
            FileCause::none);
  auto step = NewStep();
  EXPECT_EQ(InstallContent(*step, "new"), InstallResult::failed);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Could not open existing file to see if it needed updated"});
  machine_.CloseFile(handle);
}

// A shared file nobody counts could be deleted by another product's
// uninstaller while this one uses it: the step fails and leaves no file.
TEST_F(FilePlacement, SharedCountWriteFailureFailsTheStep) {
  machine_.Registry().InjectFault("SetRegValue", 1, 5);
  auto step = NewStep();
  step->SetShared(true);
  EXPECT_EQ(InstallContent(*step, "new"), InstallResult::failed);
  EXPECT_EQ(Count(), 999u);
  EXPECT_TRUE(Files().empty());
}

// The registration program is only ever the system directory's, run and
// waited for: one planted in the current directory (the media) never runs,
// and its exit code decides the outcome.
TEST_F(FilePlacement, Registration) {
  const std::string program = "C:\\WINDOWS\\SYSTEM\\regsvr32.exe";
  Put(program, "MZ registration program");
  MakeMediaFolder(machine_, {{"Regsvr32.exe", "MZ planted"}});
  const auto library =
      PeBuilder().Export("DllRegisterServer").Export("DllUnregisterServer").Build();
  auto step = NewStep("COMP.OCX");
  step->SetRegister(true);
  ASSERT_EQ(InstallContent(*step, std::string(library.begin(), library.end())),
            InstallResult::done);
  EXPECT_EQ(machine_.InstallState().registrations,
            std::vector<std::string>{"DllRegisterServer C:\\WINDOWS\\COMP.OCX"});
  EXPECT_TRUE(machine_.InstallState().programRuns.empty());

  // Not a library: the registration program, and nothing in-process.
  auto typeLibrary = NewStep("DATA.TLB");
  typeLibrary->SetRegister(true);
  ASSERT_EQ(InstallContent(*typeLibrary, "tlb"), InstallResult::done);
  EXPECT_EQ(machine_.InstallState().programRuns,
            std::vector<std::string>{program + " /s \"C:\\WINDOWS\\DATA.TLB\""});

  // An entry point that fails falls back to the program; a program that
  // answers a failure is told, and the uninstallation goes on.
  machine_.InstallState().entryResults["C:\\WINDOWS\\COMP.OCX"] = 1;  // S_FALSE
  machine_.InstallState().exitCodes["C:\\WINDOWS\\SYSTEM\\REGSVR32.EXE"] = 3;
  EXPECT_TRUE(step->Uninstall());
  EXPECT_EQ(machine_.InstallState().programRuns.back(),
            program + " /s /u \"C:\\WINDOWS\\COMP.OCX\"");
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Unable to unregister file C:\\WINDOWS\\COMP.OCX.  Continuing "
                                     "un-installation."});
  EXPECT_EQ(Files(), std::vector<std::string>{"DATA.TLB"});
}

// Without the system's registration program nothing is started in its
// place: the registration fails, is told, and the file stays.
TEST_F(FilePlacement, RegistrationFailureIsToldAndTheFileStays) {
  MakeMediaFolder(machine_, {{"Regsvr32.exe", "MZ planted"}});
  auto step = MakeStep("DATA.TLB", 0, "<Windows>");
  step->SetRegister(true);
  EXPECT_EQ(InstallContent(*step, "x"), InstallResult::done);
  EXPECT_TRUE(machine_.InstallState().programRuns.empty());
  EXPECT_EQ(Messages(), std::vector<std::string>{"Unable to register file C:\\WINDOWS\\DATA.TLB.  "
                                                 "Continuing installation."});
  EXPECT_EQ(Read("C:\\WINDOWS\\DATA.TLB"), "x");
}

}  // namespace
}  // namespace velmora::test
