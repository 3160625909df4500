// velmora: the command-line tool for package authors and testers.
#include <algorithm>
#include <exception>
#include <iostream>

#include "authoring/read_error.h"
#include "commands.h"
#include "platform/program_version.h"

namespace velmora::cli {

int ExitCodeFor(ReadErrorKind kind) {
  switch (kind) {
    case ReadErrorKind::corrupt: return kExitFailure;
    case ReadErrorKind::unsupported: return kExitUnsupported;
    case ReadErrorKind::missingMedia: return kExitMissingMedia;
    case ReadErrorKind::io: return kExitIoError;
  }
  return kExitFailure;
}

void Fail(const std::string& message, int code) { throw CommandFailure{message, code}; }

namespace {

// "velmora list", "velmora codec encode": the command that ran.
std::string CommandName(const CLI::App& app) {
  std::string name = "velmora";
  for (const CLI::App* command = &app; !command->get_subcommands().empty();) {
    command = command->get_subcommands().front();
    name += " " + command->get_name();
  }
  return name;
}

// A command line the parser refused: one line that names the command and
// what is wrong, one that says where the options are told.
void TellUsageError(const std::string& command, std::string what) {
  std::replace(what.begin(), what.end(), '\n', ' ');
  std::cerr << command << ": " << what << "\nRun '" << command << " --help' for the options.\n";
}

}  // namespace
}  // namespace velmora::cli

namespace velmora::cli {
namespace {

int Run(int argc, char** argv) {
  CLI::App app{
      "velmora - build, inspect and test Velmora Setup installation packages.\n"
      "Run 'velmora COMMAND --help' for the options of one command."};
  app.require_subcommand(1);
  app.set_version_flag("--version", "velmora " VELMORA_VERSION_TEXT);
  app.footer(kExitCodesDoc);

  AddCodecCommand(app);
  AddInstallCommand(app);
  AddUninstallCommand(app);
  AddPackCommand(app);
  AddListCommand(app);
  AddExtractCommand(app);
  AddLogCommand(app);
  AddHarvestCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end the parse with an exit code of 0.
    if (e.get_exit_code() == 0) return app.exit(e);
    TellUsageError(CommandName(app), e.what());
    return kExitUsage;
  } catch (const ExitCode& e) {
    return e.code;
  } catch (const CommandFailure& e) {
    std::cerr << CommandName(app) << ": " << e.message << '\n';
    return e.code;
  } catch (const velmora::ReadError& e) {
    std::cerr << CommandName(app) << ": " << e.what() << '\n';
    return ExitCodeFor(e.Kind());
  } catch (const std::exception& e) {
    std::cerr << "velmora: " << e.what() << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace
}  // namespace velmora::cli

int main(int argc, char** argv) {
  try {
    return velmora::cli::Run(argc, argv);
  } catch (...) {
    // Nothing above lets an exception out but the memory running out while
    // the command line is set up or an error is told.
    return velmora::cli::kExitFailure;
  }
}
