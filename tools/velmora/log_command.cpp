// velmora log FILE.VMU [--json]
//
// Reads an uninstall log through the uninstallation's own readers and shows
// the product title and every entry with its stored fields, as text or as
// one JSON document (docs/uninstall-log.md).  On a damaged log it names the
// entry and the byte offset where reading stopped; an entry of a newer
// stored version is told apart from damage (docs/exit-codes.md), and a file
// that does not start as a log is said to be none.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "authoring/uninstall_log_listing.h"
#include "authoring/uninstall_log_reader.h"
#include "backends/sim/host_files.h"
#include "commands.h"
#include "file_cause_text.h"
#include "framework/file.h"
#include "platform/machine.h"

namespace velmora::cli {
namespace {

struct LogOptions {
  std::string file;
  bool json = false;
};

void RunLog(const LogOptions& options) {
  std::error_code error;
  if (std::filesystem::is_directory(options.file, error))
    Fail(options.file + ": is a folder, not an uninstall log", kExitIoError);
  std::unique_ptr<Machine> host = MakeHostFileMachine();
  ScopedMachine scoped(*host);
  CFile file;
  CFileException openError;
  const std::string path = HostPathToWindows(options.file);
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &openError))
    Fail(options.file + ": cannot read: " + FileCauseText(openError.Cause()), kExitIoError);

  UninstallLogListing listing;
  UninstallLogError failure;
  if (!ReadUninstallLog(file, listing, failure)) {
    const std::string reason = NotALogReason(failure);
    if (!reason.empty())
      Fail(options.file + ": not an uninstall log (" + reason + ")", kExitFailure);
    throw AsReadError(failure, options.file);
  }
  if (options.json) WriteLogListingJson(std::cout, listing);
  else WriteLogListingText(std::cout, listing);
}

}  // namespace

void AddLogCommand(CLI::App& app) {
  auto options = std::make_shared<LogOptions>();
  CLI::App* log = app.add_subcommand(
      "log", "Show an uninstall log: the product title and every entry with its stored fields");
  log->add_option("FILE.VMU", options->file,
                  "the uninstall log an installation left beside its uninstaller")
      ->required();
  log->add_flag("--json", options->json, "Print one JSON document (docs/uninstall-log.md)");
  log->footer(
      std::string("Reads the log as the uninstallation does; fields are keyed by their record tag\n"
                  "(NAME, GROU, ICON, ...), as 'velmora list' shows them.\n"
                  "Exit codes: 0 the log was read, 1 the log is damaged (the message names the\n"
                  "entry and the byte offset) or the file is no uninstall log (it does not start\n"
                  "with a product title, an entry count and a step class name), 2 bad command\n"
                  "line, 3 the file cannot be read, 4 an entry of a stored version newer than\n"
                  "this program reads.\n") +
      kExitCodesDoc);
  log->callback([options] { RunLog(*options); });
}

}  // namespace velmora::cli
