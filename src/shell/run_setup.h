// SetupWindow: the main window of the setup program, in portable form.  It
// decides from the program's own name whether this process installs or
// uninstalls, owns everything a run shares (the data file stream, the
// pending and done step lists, the progress dialog, the header values) and
// runs the chosen operation from OnTimer.  A host window (Win32, or the
// headless `velmora install`) paints HeadingText() and StatusText(), calls
// OnTimer once on its first timer tick and closes itself when it returns.
//
// One SetupWindow at a time is the process's main window (MainWindow()), and
// the ReplaceChecks that file steps ask for the header's check flags.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datafile/compressed_file.h"
#include "platform/device_context.h"
#include "platform/machine.h"
#include "steps/background_window.h"
#include "steps/installed_products.h"
#include "steps/replace_decision.h"
#include "steps/step.h"
#include "steps/step_factory.h"

namespace velmora {

class CProgressDialog;

// What OnTimer ended with.
enum class RunOutcome {
  notRun,
  installed,        // "Install Successful"
  installFailed,    // "Install Failed.  Press OK to abort.", rolled back
  uninstalled,      // "Uninstall successfully performed"
  uninstallFailed,  // "Uninstall unsuccessful"
};

class SetupWindow : public MediaSource,
                    public ReplaceChecks,
                    public BackgroundWindow,
                    public WindowPicture {
 public:
  // moduleBaseName: the program's file name without directory and
  // extension ("SETUP", "XDemo"); commandLine: its arguments, which in
  // uninstall mode name the uninstall log (quoted or not); modulePath: the
  // running program's full path.  An installation opens it at once, so that
  // it cannot be renamed or replaced while the run lasts, and copies the
  // uninstaller from it ("": no uninstaller can be made, the installation
  // fails).  An uninstaller accepts only the log beside it with its own
  // name, and deletes its program file at its end ("": no log is accepted).
  SetupWindow(std::string moduleBaseName, const std::string& commandLine,
              std::string modulePath = {});
  // The window's destruction: deletes every step on both lists and the
  // progress dialog, closes the data file.
  ~SetupWindow() override;
  SetupWindow(const SetupWindow&) = delete;
  SetupWindow& operator=(const SetupWindow&) = delete;

  // ---- what the window shows -------------------------------------------------
  // "Velmora(TM) is now installing " (or "uninstalling ") and the title, or
  // "..." while the title is not known.
  std::string HeadingText() const;
  const std::string& StatusText() const { return m_statusText; }
  // Replaces the status line and repaints the window at once.
  void SetStatusText(const std::string& text);
  // The background image step that paints the middle of the window (set
  // and cleared by that step); null while the icon is there.
  CStep* Background() const override { return m_background; }
  void SetBackground(CStep* step) override { m_background = step; }
  void RepaintNow() override { Repaint(); }
  // The background step's picture; nothing without one.
  void PaintPicture(CDC& dc) override;

  // ---- the run -----------------------------------------------------------------
  // The run dispatcher of the first timer tick: the whole installation or
  // uninstallation with its result message.  Runs once; later calls do
  // nothing.
  void OnTimer();
  RunOutcome Outcome() const { return m_outcome; }

  bool RunInstallation();
  bool RollBackInstallation();
  // Opens media file m_currentDisk + 1 of the current part (asking for the
  // disk while it is missing), positioned after its plain prefix with
  // decompression on.  Also the run's MediaSource.
  bool OpenNextMediaFile() override;
  // Copies the running program to the uninstaller's path.  An uninstaller already
  // there (an earlier installation's) is kept aside until the outcome is
  // known: a roll-back puts it back, success deletes it.
  bool CreateUninstallExecutable();
  // Writes the log (through a temporary file; the log of an earlier
  // installation waits aside until the outcome is known) and the uninstall
  // entry.  On failure it shows which of the two could not be written and
  // puts back what was there, and the installation is rolled back.
  bool WriteUninstallLog();
  bool RunUninstallation();

  // ---- state for hosts, steps and tests -----------------------------------------
  bool InstallMode() const { return m_installMode; }
  const std::string& ExeName() const { return m_exeName; }
  const std::string& LogPath() const { return m_logPath; }
  const std::string& Title() const { return m_title; }
  const std::string& UninstallExePath() const { return m_uninstallExePath; }
  bool CheckDates() const override { return m_checkDates; }
  bool CheckVersions() const override { return m_checkVersions; }
  bool TwoParts() const { return m_twoParts; }
  // True while the second part's media files are read.
  bool SecondPart() const { return m_secondPart; }
  std::uint32_t CurrentDisk() const { return m_currentDisk; }
  const StepList& DoneSteps() const { return m_doneSteps; }
  CProgressDialog* Progress() const { return m_progress.get(); }

 private:
  bool RunPart(std::int64_t& totalWeight, std::int64_t& doneWeight, CStep*& programGroup);
  bool ReadHeader();
  bool ReadSteps(std::int64_t& totalWeight, CStep*& programGroup);
  bool ExecutePending(std::int64_t totalWeight, std::int64_t& doneWeight);
  void AddProgramItems(const CStep* programGroup);
  void DestroyProgress();
  void Repaint();
  // The uninstaller copies of this installation (one per part title).
  void RestoreUninstallers();
  void CommitUninstallers();
  // The log and entry of this installation, and the earlier ones.
  void RestoreRegistration();
  void CommitRegistration();
  LogAdditions MakeLogAdditions(const StepList& logged) const;
  StepList StepsToLog() const;
  // Program items this installation added, taken back by a roll-back.
  void RemoveAddedProgramItems();
  // Uninstallation: undoes the steps.
  bool UndoLoggedSteps(std::uint32_t count);
  void KeepWhatIsLeftInTheLog();
  bool IsOwnLog(const UninstallLogListing& listing) const;
  void RemoveProgramGroup(const CStep* programGroup);
  bool MayDeleteGroup(const std::string& group) const;

  std::uint32_t m_currentDisk = 0;
  bool m_dataFileOpen = false;
  CCompressedFile m_dataFile;
  CStep* m_background = nullptr;
  std::unique_ptr<CProgressDialog> m_progress;
  std::string m_title;
  std::string m_uninstallExePath;
  std::string m_logPath;
  std::int32_t m_stepCount = 0;
  StepList m_pendingSteps;
  StepList m_doneSteps;
  bool m_installMode = true;
  std::string m_exeName;
  std::string m_statusText;
  bool m_checkVersions = true;
  bool m_checkDates = true;
  bool m_twoParts = false;
  bool m_secondPart = false;

  // An uninstaller this installation made, and the earlier one it replaced.
  struct UninstallerCopy {
    std::string path;
    std::string keptAside;  // "" when there was none or it could not be kept
    std::uint32_t keptAttributes = 0;
    bool deletionCancelled = false;  // a deletion at the next start was waiting for the path
  };
  std::vector<UninstallerCopy> m_uninstallers;
  std::string m_modulePath;
  // The running program, open from the start of an installation.
  FileHandle m_programImage = kNoFile;

  // The installed products' logs: the earlier installation of this title
  // and the others.  While uninstalling, the own log's additions.
  InstalledProducts m_products;
  bool m_productsRead = false;
  // The program group and items of this installation.
  std::string m_group;
  std::string m_groupCreator;
  std::vector<LogProgramItem> m_addedItems;
  // The registration written by this installation, and what it replaced.
  bool m_logWritten = false;
  std::string m_earlierLogAside;
  bool m_entryWritten = false;
  std::vector<std::string> m_earlierEntry;  // earlier values; empty: no entry before

  bool m_timerFired = false;
  RunOutcome m_outcome = RunOutcome::notRun;
};

// Shown when the installed products' entries or logs cannot be read: a run
// that cannot tell what other products hold changes nothing.
inline constexpr const char* kProductsUnreadable =
    "Unable to read the uninstall entries of the installed products.";
// Shown when an uninstaller is given a log that is not its own: another
// folder or name than its own beside it, another product's title, or file
// entries outside the folders the installation recorded.  Nothing is undone.
std::string ForeignLogMessage(const std::string& logPath);

// "installed", "install failed", ... for logs.
const char* OutcomeName(RunOutcome outcome);

// The process exit codes of SETUP.EXE and its uninstaller copies.
inline constexpr int kExitSucceeded = 0;    // "Install Successful", "Uninstall successfully performed"
inline constexpr int kExitFailed = 1;       // failed, cancelled or refused, and rolled back
inline constexpr int kExitBadCommandLine = 2;
int ExitCodeFor(RunOutcome outcome);

// The process's main window; null while there is none.
SetupWindow* MainWindow();

// True when the module base name selects install mode: SETUP in any case.
bool IsInstallModuleName(const std::string& baseName);

}  // namespace velmora
