// velmora list PKGDIR [--json] [--verify]
//
// Reads a package back through the runtime's own readers and shows its
// header and steps, as text or as one JSON document (docs/list-json.md).
// On a damaged package it names the media file and the offset where
// reading stopped, with the file error reports the readers made; the kind
// of failure sets the exit code (docs/exit-codes.md).
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "authoring/package_listing.h"
#include "authoring/package_location.h"
#include "authoring/package_reader.h"
#include "backends/sim/host_files.h"
#include "commands.h"
#include "platform/machine.h"
#include "steps/step.h"

namespace velmora::cli {
namespace {

struct ListOptions {
  std::string folder;
  bool json = false;
  bool verify = false;
};

void VerifyPayloads(PackageReader& reader, const PartContents& part) {
  std::vector<std::uint8_t> data;
  for (const auto& step : part.steps)
    if (!reader.ReadPayload(part.part, *step, data)) throw AsReadError(reader.Failure());
}

void RunList(const ListOptions& options) {
  std::error_code error;
  const bool isFolder = std::filesystem::is_directory(options.folder, error);
  if (!isFolder && !std::filesystem::is_regular_file(options.folder, error))
    Fail(options.folder + ": not a folder or a file", kExitIoError);
  std::unique_ptr<Machine> host = MakeHostFileMachine();
  ScopedMachine scoped(*host);
  PackageReader reader(PackageLocationAt(HostPathToWindows(options.folder), isFolder));
  PackageContents contents;
  if (!reader.ReadPackage(contents)) throw AsReadError(reader.Failure());

  std::vector<ListedPart> parts = {{&contents.first, reader.MediaFiles(kFirstPart)}};
  if (contents.second) parts.push_back({&*contents.second, reader.MediaFiles(kSecondPart)});
  if (options.verify)
    for (const ListedPart& part : parts) VerifyPayloads(reader, *part.contents);
  if (options.json) WriteListingJson(std::cout, parts);
  else WriteListingText(std::cout, parts);
}

}  // namespace

void AddListCommand(CLI::App& app) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* list = app.add_subcommand("list", "Show a package's header and steps");
  list->add_option(
          "PKGDIR", options->folder,
          "Folder holding the media files (velmor.1, ...), or a SETUP.EXE that carries them")
      ->required();
  list->add_flag("--json", options->json, "Print one JSON document (docs/list-json.md)");
  list->add_flag("--verify", options->verify,
                 "Also read every file step's payload, chunk by chunk, as an installation does");
  list->footer(
      std::string("Exit codes: 0 listed, 1 damaged package, 2 bad command line, 3 I/O error,\n"
                  "4 unsupported data file version, 5 missing media file.\n") +
      kExitCodesDoc);
  list->callback([options] { RunList(*options); });
}

}  // namespace velmora::cli
