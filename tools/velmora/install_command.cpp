// velmora install PKGDIR --machine ROOT [--answers FILE] [--transcript FILE]
//                [--record FILE]:
// runs the installation of a package headless, on a simulated machine, with
// the prompts answered from an answer file (docs/answer-file.md).
//
// The package folder becomes the removable drive A: of the machine, write
// protected, and its current directory, as if SETUP.EXE had been started
// from an installation disk.  A package without a Setup.exe is presented
// through a scratch folder holding links to its files (copies where the
// host cannot link) and a stand-in Setup.exe.  The package folder itself is
// only read.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "authoring/package_reader.h"
#include "backends/scripted/answer_recording_ui.h"
#include "backends/scripted/line_log.h"
#include "backends/sim/simulated_machine.h"
#include "commands.h"
#include "console_ui.h"
#include "framework/ascii.h"
#include "program_group_changes.h"
#include "shell/run_setup.h"
#include "shell/uninstall_files.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

struct InstallOptions {
  std::string package;
  std::string machineRoot;
  std::string answers;
  std::string transcript;
  std::string record;
  bool strict = false;
};

// What goes into A:\Setup.exe when the package has no setup program of its
// own: the run copies it as the uninstaller, and the copy only has to exist.
constexpr const char* kStandInSetup =
    "Stand-in for SETUP.EXE, written by 'velmora install' because the package folder "
    "holds no Setup.exe.\r\n";

// Scratch folders of runs that ended without cleaning up (killed, or the
// machine lost power) are named after a process that no longer exists.
void RemoveAbandonedScratch(const fs::path& privateFolder) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(privateFolder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("media-")) continue;
    char* end = nullptr;
    const long long pid = std::strtoll(name.c_str() + 6, &end, 10);
    if (end == name.c_str() + 6 || *end != '-' || pid <= 0) continue;
    const bool gone = pid > std::numeric_limits<pid_t>::max() ||
                      (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
    if (!gone) continue;
    std::error_code removeError;
    fs::remove_all(entry.path(), removeError);
  }
}

// The installation disk: the package folder itself, or a scratch folder
// of links to its files when a stand-in Setup.exe has to be added.
class InstallationDisk {
 public:
  explicit InstallationDisk(const fs::path& package) : folder_(package) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(package, ec)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      if (AsciiEqualIgnoringCase(name, kSetupProgramName)) hasSetup_ = true;
    }
    if (ec)
      Fail("cannot read package folder '" + package.string() + "': " + ec.message(), kExitIoError);
  }
  ~InstallationDisk() {
    std::error_code ec;
    if (!scratch_.empty()) fs::remove_all(scratch_, ec);
  }
  InstallationDisk(const InstallationDisk&) = delete;
  InstallationDisk& operator=(const InstallationDisk&) = delete;

  const fs::path& Folder() const { return folder_; }
  bool HasSetup() const { return hasSetup_; }

  // Adds the stand-in Setup.exe when the package has none: the disk is
  // then a scratch folder in the machine's private folder, on the
  // machine's disk, so a package on the same file system is linked rather
  // than copied.
  void AddStandInSetup(const fs::path& machineRoot) {
    if (hasSetup_) return;
    RemoveAbandonedScratch(machineRoot / ".velmora");
    const fs::path package = folder_;
    std::random_device random;
    scratch_ = machineRoot / ".velmora" /
               ("media-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::error_code ec;
    fs::create_directories(scratch_, ec);
    if (ec)
      Fail("cannot make a scratch folder " + scratch_.string() + ": " + ec.message(), kExitIoError);
    for (const fs::directory_entry& entry : fs::directory_iterator(package, ec)) {
      if (!entry.is_regular_file()) continue;
      const fs::path target = scratch_ / entry.path().filename();
      std::error_code linkError;
      fs::create_hard_link(entry.path(), target, linkError);
      if (linkError) fs::copy_file(entry.path(), target, ec);
      if (ec) Fail("cannot copy '" + entry.path().string() + "': " + ec.message(), kExitIoError);
    }
    if (ec)
      Fail("cannot read package folder '" + package.string() + "': " + ec.message(), kExitIoError);
    std::ofstream(scratch_ / kSetupProgramName, std::ios::binary) << kStandInSetup;
    folder_ = scratch_;
  }

 private:
  fs::path folder_;
  fs::path scratch_;  // empty: the package folder is the disk
  bool hasSetup_ = false;
};

// The header and step records of the first part, read before the run
// starts: a package whose first media file is missing, whose header or a
// record of the first part is damaged (or names a file outside its folder)
// or of another data file version ends the command with the reader's error
// and exit code, which name the record, not with a failed run.
void CheckFirstPart() {
  PackageReader reader("A:\\");
  PartContents contents;
  if (!reader.ReadPart(kFirstPart, contents)) throw AsReadError(reader.Failure());
}

void RunInstall(const InstallOptions& options) {
  std::error_code ec;
  const fs::path package(options.package);
  if (!fs::is_directory(package, ec))
    Fail("package folder '" + options.package + "' is not a folder", kExitIoError);

  ConsoleUi ui("install", options.answers, options.transcript);
  // Opened as SETUP.EXE opens it (a link or a directory is refused), written
  // when the run has ended, however it ended.
  LineLog record;
  std::string reason;
  if (!options.record.empty() && !record.Open(options.record, reason))
    Fail("cannot write record file '" + options.record + "': " + reason, kExitIoError);
  AnswerRecordingUi recorder(ui);

  InstallationDisk disk(package);
  if (!disk.HasSetup())
    std::cout << "note: the package has no Setup.exe; the uninstaller copy is a stand-in file\n";

  std::unique_ptr<SimulatedMachine> machine;
  try {
    machine = MakeSimulatedMachine(fs::path(options.machineRoot));
  } catch (const std::exception& e) {
    Fail("cannot set up the machine in '" + options.machineRoot + "': " + e.what(), kExitIoError);
  }
  disk.AddStandInSetup(machine->Root());
  try {
    machine->SetDriveType('A', DriveType::removable);
    machine->Mount('A', disk.Folder(), SimulatedMachine::MountAccess::writeProtected);
  } catch (const std::exception& e) {
    Fail("cannot set up the machine in '" + options.machineRoot + "': " + e.what(), kExitIoError);
  }
  if (machine->SetCurrentDirectory("A:\\") != FileCause::none)
    Fail("cannot enter the installation disk A:", kExitIoError);

  const std::vector<sim::ProgramGroup> groupsBefore = machine->ProgramGroups();
  RunOutcome outcome = RunOutcome::notRun;
  std::string refusal;  // why --strict refused the answers before the run
  {
    ScopedMachine scopedMachine(*machine);
    CheckFirstPart();
    ScopedUi scopedUi(record.IsOpen() ? static_cast<Ui&>(recorder) : ui);
    RunRequest request;
    request.mode = RunMode::install;
    request.programPath = std::string("A:\\") + kSetupProgramName;
    if (options.strict) {
      request.promptsCheck = [&ui, &refusal](const PossiblePrompts& prompts) {
        return refusal = ui.RulesNoPromptCanMatchText(prompts);
      };
      request.finalCheck = [&ui] { return ui.UnusedRulesText(); };
    }
    outcome = RunSetup(request);
  }
  ui.Finish();
  if (record.IsOpen()) recorder.WriteAnswers(record);
  for (const std::string& line : ProgramGroupChanges(groupsBefore, machine->ProgramGroups()))
    std::cout << line << '\n';
  if (outcome == RunOutcome::answersRefused) Fail(refusal, kExitUsage);
  ui.WarnUnusedRules();
  if (outcome != RunOutcome::installed) throw ExitCode{kExitFailure};
}

}  // namespace

void AddInstallCommand(CLI::App& app) {
  auto options = std::make_shared<InstallOptions>();
  CLI::App* install = app.add_subcommand(
      "install", "Run the installation of a package headless on a simulated machine.");
  install->add_option("PKGDIR", options->package, "folder holding the package's media files")
      ->required();
  install
      ->add_option("--machine", options->machineRoot,
                   "host folder of the simulated machine (created when missing)")
      ->required();
  install->add_option("--answers", options->answers,
                      "answer file for the prompts (docs/answer-file.md); unanswered "
                      "prompts take their default");
  install->add_option("--transcript", options->transcript,
                      "write every prompt, answer and progress step to this file");
  install->add_flag("--strict", options->strict,
                    "an answer rule that no prompt of the package can match is a bad answer "
                    "file (exit 2, nothing installed); one that never answered a prompt "
                    "fails the installation, which is rolled back (without it: a warning)");
  install->add_option("--record", options->record,
                      "write every answer given as an answer file that makes the same "
                      "installation again (--answers FILE, SETUP.EXE /quiet /answers FILE)");
  install->footer(
      std::string(
          "The package folder is drive A: (write protected) and the run starts from there.\n"
          "Exit codes: 0 \"Install Successful\", 1 the installation failed or the header of\n"
          "velmor.1 is damaged, 2 bad command line or answer file, 3 package, machine,\n"
          "transcript or record file not usable, 4 unsupported data file version, 5 "
          "no\nvelmor.1.\n") +
      kExitCodesDoc);
  install->callback([options] { RunInstall(*options); });
}

}  // namespace velmora::cli
