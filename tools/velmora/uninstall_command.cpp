// velmora uninstall --machine ROOT TITLE [--answers FILE] [--transcript FILE]
// velmora uninstall --machine ROOT --list
//
// Starts a product's uninstaller on a simulated machine the way the shell
// starts it: the "UninstallString" of its uninstall entry is the command
// line, its program part names the uninstaller (whose name selects
// uninstall mode) and the rest is its argument.  While it runs, the
// uninstaller's file is held open as a running program's image is, so it
// cannot delete itself and leaves that to the system's next start.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/simulated_machine.h"
#include "commands.h"
#include "console_ui.h"
#include "framework/file_exception.h"
#include "program_group_changes.h"
#include "services/registry.h"
#include "shell/run_setup.h"
#include "shell/uninstall_files.h"
#include "steps/installed_products.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

struct UninstallOptions {
  std::string machineRoot;
  std::string title;
  std::string answers;
  std::string transcript;
  bool list = false;
};

// Registry values are read through a 260-byte buffer by the runtime; the
// listing allows more so that no entry is shown cut.
constexpr std::uint32_t kValueBuffer = 4096;

std::string EntryValue(const std::string& key, const char* name) {
  return ReadRegistryString(hkey::localMachine, key, name, kValueBuffer);
}

void ListProducts() {
  std::vector<std::string> titles;
  std::vector<RegValue> values;
  CurrentMachine().ListRegKey(hkey::localMachine, kUninstallKey, titles, values);
  if (titles.empty()) {
    std::cout << "no installed products\n";
    return;
  }
  for (const std::string& title : titles) {
    const std::string key = UninstallKeyFor(title);
    std::string shown = EntryValue(key, "DisplayName");
    if (shown.empty()) shown = title;
    std::cout << shown << "\n  " << EntryValue(key, "UninstallString") << '\n';
  }
}

bool PendingDeletionNames(Machine& machine, const std::string& path) {
  RegData data;
  if (machine.QueryRegValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue, 1u << 20,
                            data) != winerror::success)
    return false;
  const std::string list(data.bytes.begin(), data.bytes.end());
  return list.find("\\??\\" + machine.GetFullPathName(path) + '\0') != std::string::npos;
}

void RunUninstall(const UninstallOptions& options) {
  std::error_code ec;
  if (!fs::is_directory(options.machineRoot, ec))
    Fail("machine folder '" + options.machineRoot + "' is not a folder", kExitIoError);
  std::unique_ptr<SimulatedMachine> machine;
  try {
    machine = MakeSimulatedMachine(fs::path(options.machineRoot));
  } catch (const std::exception& e) {
    Fail("cannot open the machine in '" + options.machineRoot + "': " + e.what(), kExitIoError);
  }
  ScopedMachine scopedMachine(*machine);
  if (options.list) {
    ListProducts();
    return;
  }
  if (options.title.empty()) Fail("name the product's TITLE, or give --list", kExitUsage);

  const std::string key = UninstallKeyFor(options.title);
  const std::string commandLine = EntryValue(key, "UninstallString");
  if (commandLine.empty())
    Fail("no uninstall entry for '" + options.title + "' on this machine (see --list)",
         kExitFailure);
  const CommandLine parts = SplitCommandLine(commandLine);
  const std::string program = machine->GetFullPathName(parts.program);
  if (program.empty() || ModeForProgramName(ProgramBaseName(program)) != RunMode::uninstall)
    Fail("the uninstall command '" + commandLine + "' does not name an uninstaller", kExitFailure);

  // The running program's image: open, sharing reading only.
  FileHandle image = kNoFile;
  const FileCause started = machine->OpenFile(program, FileAccess::read, FileShare::denyWrite,
                                              FileDisposition::openExisting, image);
  if (started != FileCause::none)
    Fail("cannot start '" + program + "': " + FileCauseName(static_cast<int>(started)),
         kExitFailure);

  ConsoleUi ui("uninstall", options.answers, options.transcript);
  std::cout << "starting " << commandLine << '\n';
  const std::vector<sim::ProgramGroup> groupsBefore = machine->ProgramGroups();
  RunOutcome outcome = RunOutcome::notRun;
  {
    ScopedUi scopedUi(ui);
    RunRequest request;
    request.mode = RunMode::uninstall;
    request.programPath = program;
    request.logPath = UninstallLogPathFromArguments(parts.arguments);
    outcome = RunSetup(request);
  }
  machine->CloseFile(image);
  ui.Finish();
  for (const std::string& line : ProgramGroupChanges(groupsBefore, machine->ProgramGroups()))
    std::cout << line << '\n';
  if (PendingDeletionNames(*machine, program))
    std::cout << "note: " << program << " is deleted when the system next starts\n";
  ui.WarnUnusedRules();
  if (outcome != RunOutcome::uninstalled) throw ExitCode{kExitFailure};
}

}  // namespace

void AddUninstallCommand(CLI::App& app) {
  auto options = std::make_shared<UninstallOptions>();
  CLI::App* uninstall =
      app.add_subcommand("uninstall", "Uninstall an installed product from a simulated machine.");
  uninstall->add_option("TITLE", options->title, "the product's title, as --list shows it");
  uninstall->add_option("--machine", options->machineRoot, "host folder of the simulated machine")
      ->required();
  uninstall->add_flag("--list", options->list,
                      "list the installed products and their uninstall commands");
  uninstall->add_option("--answers", options->answers,
                        "answer file for the prompts (docs/answer-file.md); unanswered "
                        "prompts take their default");
  uninstall->add_option("--transcript", options->transcript,
                        "write every prompt, answer and progress step to this file");
  uninstall->footer(
      std::string(
          "The product's uninstaller is started with the \"UninstallString\" of its uninstall\n"
          "entry as its command line, as the shell starts it.\n"
          "Exit codes: 0 \"Uninstall successfully performed\", 1 \"Uninstall unsuccessful\" or\n"
          "no such product, 2 bad command line or answer file, 3 machine or transcript not\n"
          "usable.\n") +
      kExitCodesDoc);
  uninstall->callback([options] { RunUninstall(*options); });
}

}  // namespace velmora::cli
