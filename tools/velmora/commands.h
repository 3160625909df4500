// Subcommands of the velmora tool.  Each file adds one subcommand to the
// application; main() wires them up and turns errors into exit codes.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "datafile/read_error_kind.h"

namespace velmora::cli {

// Exit codes shared by every subcommand; docs/exit-codes.md explains them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;       // the operation ran and failed; damaged input
inline constexpr int kExitUsage = 2;         // bad command line
inline constexpr int kExitIoError = 3;       // input unreadable or output unwritable
inline constexpr int kExitUnsupported = 4;   // a format version this program does not read
inline constexpr int kExitMissingMedia = 5;  // a media file of the package is not there

// The exit code for a reader's error of that kind.
int ExitCodeFor(ReadErrorKind kind);

// The last line of every command's --help.
inline constexpr const char* kExitCodesDoc = "All exit codes: docs/exit-codes.md";

// Thrown by a subcommand's callback to end the tool with that exit code
// after it has printed its own message.
struct ExitCode {
  int code;
};

// Thrown by Fail: main() prints "velmora COMMAND: " and the message.
struct CommandFailure {
  std::string message;
  int code;
};

// Ends the command with `message` and exit code `code`.
[[noreturn]] void Fail(const std::string& message, int code);

void AddCodecCommand(CLI::App& app);
void AddInstallCommand(CLI::App& app);
void AddUninstallCommand(CLI::App& app);
void AddPackCommand(CLI::App& app);
void AddListCommand(CLI::App& app);
void AddExtractCommand(CLI::App& app);
void AddLogCommand(CLI::App& app);
void AddHarvestCommand(CLI::App& app);

}  // namespace velmora::cli
