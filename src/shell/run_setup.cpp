#include "shell/setup_window.h"

#include <exception>
#include <utility>

#include "dialogs/progress_dialog.h"
#include "framework/ascii.h"
#include "platform/ui.h"
#include "shell/uninstall_registration.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

SetupWindow* g_mainWindow = nullptr;

}  // namespace

bool IsInstallModuleName(const std::string& baseName) { return AsciiUppered(baseName) == "SETUP"; }

SetupWindow* MainWindow() { return g_mainWindow; }

SetupWindow::SetupWindow(std::string moduleBaseName, const std::string& commandLine,
                         std::string modulePath)
    : m_installMode(IsInstallModuleName(moduleBaseName)), m_exeName(std::move(moduleBaseName)) {
  m_statusText = m_installMode
                     ? "Tarnwick's Velmora(TM) is preparing the installation.  Please wait."
                     : "Tarnwick's Velmora(TM) is preparing the uninstallation.  Please wait.";
  if (!m_installMode) m_logPath = UninstallLogPathFromArguments(commandLine);
  m_modulePath = std::move(modulePath);
  // Opened without sharing write or delete access: the program file can
  // then be neither changed nor renamed, so the uninstaller copied from it
  // is the program that runs.
  if (m_installMode && !m_modulePath.empty() &&
      CurrentMachine().OpenFile(m_modulePath, FileAccess::read, FileShare::denyWrite,
                                FileDisposition::openExisting, m_programImage) != FileCause::none)
    m_programImage = kNoFile;
  g_mainWindow = this;
  SetCurrentReplaceChecks(this);
  SetCurrentBackgroundWindow(this);
  SetCurrentInstalledProducts(&m_products);
}

SetupWindow::~SetupWindow() {
  for (CStep* step : m_pendingSteps) delete step;
  m_pendingSteps.clear();
  for (CStep* step : m_doneSteps) delete step;
  m_doneSteps.clear();
  m_progress.reset();
  m_dataFile.Abort();
  if (m_programImage != kNoFile) CurrentMachine().CloseFile(m_programImage);
  if (g_mainWindow == this) g_mainWindow = nullptr;
  if (CurrentReplaceChecks() == this) SetCurrentReplaceChecks(nullptr);
  if (CurrentBackgroundWindow() == this) SetCurrentBackgroundWindow(nullptr);
  if (CurrentInstalledProducts() == &m_products) SetCurrentInstalledProducts(nullptr);
}

std::string SetupWindow::HeadingText() const {
  const std::string lead = m_installMode ? "Velmora(TM) is now installing "
                                         : "Velmora(TM) is now uninstalling ";
  return lead + (m_title.empty() ? "..." : m_title);
}

void SetupWindow::SetStatusText(const std::string& text) {
  m_statusText = text;
  Repaint();
}

void SetupWindow::Repaint() {
  CurrentUi().MainWindowChanged(HeadingText(), m_statusText,
                                m_background != nullptr ? this : nullptr);
}

void SetupWindow::PaintPicture(CDC& dc) {
  if (m_background != nullptr) m_background->Paint(&dc);
}

void SetupWindow::DestroyProgress() { m_progress.reset(); }

void SetupWindow::OnTimer() {
  if (m_timerFired) return;  // the timer is killed on its first tick
  m_timerFired = true;

  if (m_installMode) {
    bool installed = false;
    try {
      installed = RunInstallation();
    } catch (const std::exception&) {
      // Nothing the run does should throw past its own guards; if something
      // does (memory exhausted), the installation has failed and is rolled
      // back like any other failure rather than ending the process half done.
      installed = false;
    }
    // The registration is part of the installation: without it nothing
    // could remove the product, so it is written while everything can
    // still be rolled back.
    if (installed && !WriteUninstallLog()) installed = false;
    if (installed) {
      CommitFileSteps(m_doneSteps);  // files kept aside for a roll-back go
      CommitUninstallers();
      CommitRegistration();
      AppMessageBox("Install Successful", mb::ok | mb::iconInformation);
      m_outcome = RunOutcome::installed;
    } else {
      AppMessageBox("Install Failed.  Press OK to abort.", mb::ok | mb::iconExclamation);
      RollBackInstallation();
      m_outcome = RunOutcome::installFailed;
    }
    CurrentUi().Note(RunNote::result, OutcomeName(m_outcome));
    return;
  }

  bool uninstalled = false;
  try {
    uninstalled = RunUninstallation();
  } catch (const std::exception&) {
    uninstalled = false;
  }
  AppMessageBox(uninstalled ? "Uninstall successfully performed" : "Uninstall unsuccessful",
                mb::ok | mb::iconInformation);
  m_outcome = uninstalled ? RunOutcome::uninstalled : RunOutcome::uninstallFailed;
  CurrentUi().Note(RunNote::result, OutcomeName(m_outcome));
}

const char* OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::notRun: return "not run";
    case RunOutcome::installed: return "installed";
    case RunOutcome::installFailed: return "install failed";
    case RunOutcome::uninstalled: return "uninstalled";
    case RunOutcome::uninstallFailed: return "uninstall failed";
  }
  return "not run";
}

int ExitCodeFor(RunOutcome outcome) {
  return outcome == RunOutcome::installed || outcome == RunOutcome::uninstalled ? kExitSucceeded
                                                                                : kExitFailed;
}

}  // namespace velmora
