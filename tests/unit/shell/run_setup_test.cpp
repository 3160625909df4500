// The main window: mode from the module name, the texts it shows, and the
// run dispatcher with its result messages.
#include <gtest/gtest.h>

#include "shell/setup_window.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

TEST(SetupWindowMode, OnlyTheNameSetupInAnyCaseInstalls) {
  for (const char* name : {"setup", "Setup", "SETUP", "sEtUp"}) EXPECT_TRUE(IsInstallModuleName(name)) << name;
  for (const char* name : {"setup1", "mysetup", "TUP", "XDemo", "XSETUP", "", "setup.exe"})
    EXPECT_FALSE(IsInstallModuleName(name)) << name;
}

TEST(SetupWindowMode, ConstructorSetsTextsAndTheLogPathOfAnUninstaller) {
  ScriptedUi ui;
  ScopedUi scoped(ui);
  {
    SetupWindow install("Setup", "ignored arguments");
    EXPECT_TRUE(install.InstallMode());
    EXPECT_EQ(install.ExeName(), "Setup");
    EXPECT_EQ(install.LogPath(), "");
    EXPECT_EQ(install.StatusText(),
              "Tarnwick's Velmora(TM) is preparing the installation.  Please wait.");
    EXPECT_EQ(install.HeadingText(), "Velmora(TM) is now installing ...");
    EXPECT_TRUE(install.CheckDates());
    EXPECT_TRUE(install.CheckVersions());
    EXPECT_FALSE(install.TwoParts());
    EXPECT_EQ(MainWindow(), &install);
  }
  EXPECT_EQ(MainWindow(), nullptr);

  SetupWindow uninstall("XDemo", "C:\\WINDOWS\\XDemo.VMU");
  EXPECT_FALSE(uninstall.InstallMode());
  EXPECT_EQ(uninstall.LogPath(), "C:\\WINDOWS\\XDemo.VMU");
  EXPECT_EQ(uninstall.StatusText(),
            "Tarnwick's Velmora(TM) is preparing the uninstallation.  Please wait.");
  EXPECT_EQ(uninstall.HeadingText(), "Velmora(TM) is now uninstalling ...");
}

TEST(SetupWindowMode, StatusChangesRepaintTheWindowOnce) {
  ScriptedUi ui;
  ScopedUi scoped(ui);
  SetupWindow window("SETUP", "");
  window.SetStatusText("Copying");
  window.SetStatusText("Copying");  // the same picture: one repaint is recorded
  window.SetStatusText("");
  ASSERT_EQ(ui.Transcript().size(), 2u);
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[0]),
            "window \"Velmora(TM) is now installing ...\" \"Copying\"");
  EXPECT_EQ(ui.Transcript()[1].text, "");
  EXPECT_EQ(window.StatusText(), "");
}

TEST(SetupWindowMode, UninstallationIsReportedUnsuccessfulUntilItIsWritten) {
  ScriptedUi ui;
  ScopedUi scoped(ui);
  SetupWindow window("XDemo", "C:\\WINDOWS\\XDemo.VMU");
  window.OnTimer();
  window.OnTimer();  // the timer fires once: no second run
  ASSERT_EQ(ui.Transcript().size(), 2u);
  EXPECT_EQ(ui.Transcript()[0].text, "Uninstall unsuccessful");
  EXPECT_EQ(ui.Transcript()[0].style, mb::ok | mb::iconInformation);
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[1]), "result \"uninstall failed\"");
  EXPECT_EQ(window.Outcome(), RunOutcome::uninstallFailed);
}

}  // namespace
}  // namespace velmora::test

namespace velmora {
namespace {

TEST(SetupWindowMode, OnlyASucceededRunExitsWithZero) {
  const std::pair<RunOutcome, int> cases[] = {
      {RunOutcome::installed, 0},       {RunOutcome::uninstalled, 0},
      {RunOutcome::installFailed, 1},   {RunOutcome::uninstallFailed, 1},
      {RunOutcome::notRun, 1},
  };
  for (const auto& [outcome, code] : cases) EXPECT_EQ(ExitCodeFor(outcome), code) << OutcomeName(outcome);
}

}  // namespace
}  // namespace velmora
