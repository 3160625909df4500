// The entry into a run: the mode a program name selects, the window's texts,
// and the result messages and exit codes.
#include "shell/run_setup.h"

#include <gtest/gtest.h>

#include "shell/run_window.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

TEST(RunSetupEntry, OnlyTheNameSetupInAnyCaseInstalls) {
  for (const char* name : {"setup", "Setup", "SETUP", "sEtUp"})
    EXPECT_EQ(ModeForProgramName(name), RunMode::install) << name;
  for (const char* name : {"setup1", "mysetup", "TUP", "XDemo", "XSETUP", "", "setup.exe"})
    EXPECT_EQ(ModeForProgramName(name), RunMode::uninstall) << name;
}

TEST(RunSetupEntry, TheProgramNameLosesItsFolderAndOnlyItsLastExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\DISK1\\Setup.exe", "Setup"},
      {"Z:\\tmp\\media\\SETUP.EXE", "SETUP"},
      {"C:\\windows\\XMy Product.exe", "XMy Product"},
      {"setup", "setup"},
      {"C:\\v1.2\\setup", "setup"},
      {"C:\\a\\setup.old.exe", "setup.old"},
      {"C:\\a\\.exe", ""},
      {"Z:/tmp/work/Setup.exe", "Setup"},
      {"C:SETUP.EXE", "SETUP"},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(ProgramBaseName(path), name) << path;
}

TEST(RunSetupEntry, TheWindowShowsTheModeAndTheTitleAndRepaintsOnEveryChange) {
  ScriptedUi ui;
  ScopedUi scoped(ui);
  RunWindow install(RunMode::install);
  EXPECT_EQ(install.StatusText(),
            "Tarnwick's Velmora(TM) is preparing the installation.  Please wait.");
  EXPECT_EQ(install.HeadingText(), "Velmora(TM) is now installing ...");
  RunWindow uninstall(RunMode::uninstall);
  EXPECT_EQ(uninstall.StatusText(),
            "Tarnwick's Velmora(TM) is preparing the uninstallation.  Please wait.");
  EXPECT_EQ(uninstall.HeadingText(), "Velmora(TM) is now uninstalling ...");

  install.SetStatusText("Copying");
  install.SetStatusText("Copying");  // the same picture: one repaint is recorded
  install.SetTitle("Demo");
  ASSERT_EQ(ui.Transcript().size(), 2u);
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[0]),
            "window \"Velmora(TM) is now installing ...\" \"Copying\"");
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[1]),
            "window \"Velmora(TM) is now installing Demo\" \"Copying\"");
}

// Without a machine every call throws: the run's guard turns that into a
// failed run with its message.
TEST(RunSetupEntry, ARunThatThrowsIsReportedAsFailed) {
  ScriptedUi ui;
  ScopedUi scoped(ui);
  RunRequest request;
  request.mode = RunMode::uninstall;
  request.programPath = "C:\\WINDOWS\\XDemo.exe";
  request.logPath = "C:\\WINDOWS\\XDemo.VMU";
  EXPECT_EQ(RunSetup(request), RunOutcome::uninstallFailed);
  ASSERT_EQ(ui.Transcript().size(), 2u);
  EXPECT_EQ(ui.Transcript()[0].text, "Uninstall unsuccessful");
  EXPECT_EQ(ui.Transcript()[0].style, mb::ok | mb::iconInformation);
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[1]), "result \"uninstall failed\"");
}

TEST(RunSetupEntry, OnlyASucceededRunExitsWithZero) {
  const std::pair<RunOutcome, int> cases[] = {
      {RunOutcome::installed, 0},     {RunOutcome::uninstalled, 0},
      {RunOutcome::installFailed, 1}, {RunOutcome::uninstallFailed, 1},
      {RunOutcome::notRun, 1},
  };
  for (const auto& [outcome, code] : cases)
    EXPECT_EQ(ExitCodeFor(outcome), code) << OutcomeName(outcome);
}

}  // namespace
}  // namespace velmora::test
