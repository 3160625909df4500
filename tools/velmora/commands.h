// Subcommands of the velmora tool.  Each file adds one subcommand to the
// application; main() wires them up and turns errors into exit codes.
#pragma once

#include <CLI/CLI.hpp>

namespace velmora::cli {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;    // the operation ran and failed (bad data, failed install)
inline constexpr int kExitUsage = 2;      // bad command line
inline constexpr int kExitIoError = 3;    // input unreadable or output unwritable

// Thrown by a subcommand's callback to end the tool with that exit code
// after it has printed its own message.
struct ExitCode {
  int code;
};

void AddCodecCommand(CLI::App& app);
void AddInstallCommand(CLI::App& app);
void AddUninstallCommand(CLI::App& app);
void AddPackCommand(CLI::App& app);
void AddListCommand(CLI::App& app);
void AddExtractCommand(CLI::App& app);
void AddLogCommand(CLI::App& app);

}  // namespace velmora::cli
