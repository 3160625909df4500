// A file step that fails on a machine call tells why: the machine's cause
// and the path it failed on, for the run's transcript.
#include "unit/steps/step_file_run_support.h"

namespace velmora::test {
namespace {

struct ReasonCase {
  const char* name;
  const char* operation;  // the machine call that fails
  int nth;                // on its nth call
  FileCause cause;
  bool duringData;          // armed before InstallData (else before Install)
  const char* stepName;     // placed in C:\WINDOWS
  bool readOnly;            // the step's file is to be read-only
  const char* reasonStart;  // FailureReason() starts with this
};

const ReasonCase kReasonCases[] = {
    {"TempFileNotMade", "CreateTempFile", 1, FileCause::diskFull, true, "APP.DLL", false,
     "Disk Full: C:\\WINDOWS\\"},
    {"PayloadNotWritten", "WriteFile", 1, FileCause::hardIO, true, "APP.DLL", false,
     "Hardware error: C:\\WINDOWS\\"},
    {"NotMovedIntoPlace", "MoveFile", 1, FileCause::accessDenied, false, "APP.DLL", false,
     "Access Denied: C:\\WINDOWS\\APP.DLL"},
    {"StatusNotSet", "SetFileAttributes", 1, FileCause::accessDenied, false, "APP.DLL", true,
     "Access Denied: C:\\WINDOWS\\APP.DLL"},
    {"FolderNotMade", "CreateDirectory", 1, FileCause::badPath, false, "SUB\\APP.DLL", false,
     "Bad path specified in file name: C:\\WINDOWS\\SUB"},
};

class FileStepFailureReason : public FileStepRun,
                              public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(FileStepFailureReason, NamesTheCauseAndThePath) {
  const ReasonCase& c = GetParam();
  auto step = MakeStep(c.stepName, 3);
  step->SetReadOnly(c.readOnly);
  WriteChunks(1, {{1, "new"}});
  if (c.duringData) machine_.InjectFault(c.operation, c.nth, c.cause);
  bool failed = !InstallData(*step);
  if (!failed) {
    EXPECT_TRUE(step->FailureReason().empty());
    // A move into place that fails is tried again after the probe.
    machine_.InjectFault(c.operation, c.nth, c.cause);
    if (std::string(c.operation) == "MoveFile") machine_.InjectFault(c.operation, 2, c.cause);
    failed = step->Install() == InstallResult::failed;
  }
  ASSERT_TRUE(failed);
  EXPECT_EQ(step->FailureReason().rfind(c.reasonStart, 0), 0u) << step->FailureReason();
}

INSTANTIATE_TEST_SUITE_P(Faults, FileStepFailureReason, ::testing::ValuesIn(kReasonCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A probe of an existing target that fails keeps its message box and tells
// the cause beside it.
TEST_F(FileStepRun, AFailedProbeKeepsItsMessageAndTellsTheCause) {
  ASSERT_EQ(testing::PutFile(machine_, "C:\\WINDOWS\\APP.DLL", "old"), FileCause::none);
  auto step = MakeStep("APP.DLL", 3);
  WriteChunks(1, {{1, "new"}});
  ASSERT_TRUE(InstallData(*step));
  machine_.InjectFault("MoveFile", 1, FileCause::accessDenied);
  machine_.InjectFault("OpenFile", 1, FileCause::sharingViolation);
  ASSERT_EQ(step->Install(), InstallResult::failed);
  EXPECT_EQ(Messages().back(), "Could not open existing file to see if it needed updated");
  EXPECT_EQ(step->FailureReason(),
            "share.exe not loaded or shared region was locked: C:\\WINDOWS\\APP.DLL");
}

}  // namespace
}  // namespace velmora::test
