// SETUP.EXE: installs a package from the data files beside it, or, under any
// other name than SETUP, uninstalls one.
//
//   SETUP.EXE [/quiet] [/answers FILE] [/record FILE] [/log FILE]
//   XTitle.exe [/quiet] [/log FILE] LOGPATH
//
// A bare start shows the windows and asks the user.  /quiet shows nothing:
// prompts are answered by the answer file's rules or take their defaults.
// /answers without /quiet answers the prompts its rules match and leaves
// the others to the user.  /record writes every answer given as an answer
// file that makes the same installation again under /quiet /answers.  /log
// writes what happens, line by line.  Exit codes: 0 succeeded, 1 failed or
// cancelled (and rolled back), 2 a bad command line.
#include <stdexcept>
#include <string>

#include "backends/scripted/answer_recording_ui.h"
#include "backends/scripted/line_log.h"
#include "backends/scripted/scripted_ui.h"
#include "backends/win32/module_name.h"
#include "backends/win32/native.h"
#include "backends/win32/system_library.h"
#include "host_window.h"
#include "platform/program_version.h"
#include "shell/run_setup.h"
#include "shell/run_window.h"
#include "shell/setup_command_line.h"

namespace {

// Runs the operation behind the full-screen window, answering prompts
// through the current Ui; the window closes itself when it is done.
velmora::RunOutcome RunWithWindow(HINSTANCE instance, velmora::RunRequest request) {
  velmora::RunWindow runWindow(request.mode);
  request.window = &runWindow;
  velmora::setup::HostWindow window(instance, runWindow, request);
  if (!window.Create()) return velmora::RunOutcome::notRun;
  ::ShowWindow(window.Handle(), SW_SHOWMAXIMIZED);
  ::UpdateWindow(window.Handle());
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return window.Outcome();
}

// A bad command line: one message box (none when quiet), a line in the log
// when there is one.
int RefuseCommandLine(const velmora::SetupOptions& options, const std::string& problem,
                      velmora::ScriptedUi& log) {
  log.Note(velmora::RunNote::badCommandLine, problem);
  if (!options.quiet)
    velmora::NativeUi().MessageBox("Bad command line: " + problem, "Setup",
                                   velmora::mb::ok | velmora::mb::iconStop);
  return velmora::kExitBadCommandLine;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything loads a library by name: never from the current
  // directory and, where the system allows, from its own directory only.
  velmora::RestrictLibrarySearch();
  // Every step acts on the real machine.
  velmora::ScopedMachine machine(velmora::NativeMachine());
  // The uninstaller is started with the path of its log on its command line
  // and deletes its own file at the end.
  const std::string modulePath = velmora::ModulePath();
  const velmora::RunMode mode = velmora::ModeForProgramName(velmora::ProgramBaseName(modulePath));
  const std::string arguments = commandLine != nullptr ? commandLine : "";
  const velmora::SetupOptions options =
      velmora::ParseSetupCommandLine(arguments, mode == velmora::RunMode::install);

  // The log is the scripted Ui's transcript, written line by line.
  velmora::ScriptedUi scripted;
  velmora::LineLog log;
  if (!options.logPath.empty()) {
    std::string reason;
    if (!log.Open(options.logPath, reason))
      return RefuseCommandLine(
          options, "cannot write the log file " + options.logPath + ": " + reason, scripted);
    scripted.SetEcho([&log](const std::string& line) { log.WriteLine(line); });
  }
  scripted.Note(velmora::RunNote::program,
                "Velmora Setup " VELMORA_VERSION_TEXT ": " + modulePath + " " + arguments);
  if (!options.error.empty()) return RefuseCommandLine(options, options.error, scripted);

  velmora::RunRequest request;
  request.mode = mode;
  request.programPath = modulePath;
  request.logPath = options.uninstallLogPath;
  if (options.strict && !options.answersPath.empty()) {
    request.promptsCheck = [&scripted, &options](const velmora::PossiblePrompts& prompts) {
      return scripted.RulesNoPromptCanMatchSummary(options.answersPath, prompts);
    };
    request.finalCheck = [&scripted, &options] {
      return scripted.UnusedRulesSummary(options.answersPath);
    };
  }
  // A bare start: the windows, and nothing between them and the user but,
  // with /record, the recording of the answers.
  const bool bare = !options.quiet && options.answersPath.empty() && !log.IsOpen();
  if (!bare && !options.quiet) scripted.SetFallback(&velmora::NativeUi());
  if (!options.answersPath.empty()) {
    std::string answers;
    if (!velmora::ReadTextFile(options.answersPath, answers))
      return RefuseCommandLine(options, "cannot read the answer file " + options.answersPath,
                               scripted);
    try {
      scripted.LoadAnswerText(answers, options.answersPath);
    } catch (const std::runtime_error& error) {
      return RefuseCommandLine(options, error.what(), scripted);
    }
  }
  // Opened (and emptied) before the run, written when it has ended, however
  // it ended: the answers given up to a failure or a cancel are recorded.
  velmora::LineLog record;
  if (!options.recordPath.empty()) {
    std::string reason;
    if (!record.Open(options.recordPath, reason))
      return RefuseCommandLine(
          options, "cannot write the record file " + options.recordPath + ": " + reason, scripted);
  }
  velmora::Ui& runUi = bare ? velmora::NativeUi() : static_cast<velmora::Ui&>(scripted);
  velmora::AnswerRecordingUi recorder(runUi);
  velmora::ScopedUi ui(record.IsOpen() ? recorder : runUi);
  // Quiet: no window, the whole run here and now.
  const velmora::RunOutcome outcome =
      options.quiet ? velmora::RunSetup(request) : RunWithWindow(instance, request);
  if (record.IsOpen()) recorder.WriteAnswers(record);
  if (!options.answersPath.empty())
    if (const std::string unused = scripted.UnusedRulesSummary(options.answersPath);
        !unused.empty())
      scripted.Note(velmora::RunNote::warning, unused);
  return velmora::ExitCodeFor(outcome);
}
