// velmora: the command-line tool for package authors and testers.
#include <exception>
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  CLI::App app{
      "velmora - build, inspect and test Velmora Setup installation packages.\n"
      "Run 'velmora COMMAND --help' for the options of one command."};
  app.require_subcommand(1);
  app.set_version_flag("--version", "velmora 0.1");

  velmora::cli::AddCodecCommand(app);
  velmora::cli::AddInstallCommand(app);
  velmora::cli::AddUninstallCommand(app);
  velmora::cli::AddPackCommand(app);
  velmora::cli::AddListCommand(app);
  velmora::cli::AddExtractCommand(app);
  velmora::cli::AddLogCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? velmora::cli::kExitOk : velmora::cli::kExitUsage;
  } catch (const velmora::cli::ExitCode& e) {
    return e.code;
  } catch (const std::exception& e) {
    std::cerr << "velmora: " << e.what() << '\n';
    return velmora::cli::kExitFailure;
  }
  return velmora::cli::kExitOk;
}
