// velmora pack MANIFEST -o OUTDIR [--disk-size BYTES] [--chunk-size BYTES]
//
// Builds a package's media files from a manifest (docs/manifest.md).  Every
// step passes its own Validate before anything is written, and the output
// folder receives the media files only once all of them are complete.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "authoring/ansi_text.h"
#include "authoring/package_checks.h"
#include "authoring/package_error.h"
#include "authoring/package_writer.h"
#include "authoring/payload_source.h"
#include "commands.h"
#include "framework/file_exception.h"
#include "manifest_loader.h"
#include "platform/machine.h"
#include "platform/sim/host_files.h"
#include "staging_folder.h"
#include "steps/step.h"

namespace velmora::cli {
namespace {

struct PackOptions {
  std::string manifest;
  std::string output;
  std::uint32_t diskSize = 0;
  std::uint32_t chunkSize = kDefaultChunkSize;
  unsigned jobs = 0;
};

// Refusals of the steps' own checks, each at its step's manifest line.
void ReportProblems(const std::vector<StepProblem>& problems, const LoadedManifest& loaded,
                    const std::string& manifest) {
  for (const StepProblem& problem : problems) {
    const std::vector<int>& lines = problem.part == kSecondPart ? loaded.secondLines : loaded.firstLines;
    const int line = problem.index < lines.size() ? lines[problem.index] : 0;
    std::cerr << "velmora pack: " << manifest << ":" << line << ": "
              << (problem.part == kSecondPart ? "second part, " : "") << "step " << problem.index + 1
              << " (" << AnsiToUtf8(problem.step) << "): " << AnsiToUtf8(problem.message) << '\n';
  }
  throw ExitCode{kExitFailure};
}

void PrintPart(const char* heading, const PackagePart& part, const WrittenPart& written) {
  std::cout << heading << " \"" << AnsiToUtf8(part.title) << "\": " << part.steps.size()
            << (part.steps.size() == 1 ? " step\n" : " steps\n");
  for (std::size_t i = 0; i < written.files.size(); ++i)
    std::printf("  %-12s %10u bytes\n", written.files[i].c_str(), static_cast<unsigned>(written.sizes[i]));
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PayloadPlacement& payload = written.payloads[i];
    std::printf("  %3zu  %-25s %s", i + 1, part.steps[i].step->GetRuntimeClass()->m_lpszClassName,
                AnsiToUtf8(part.steps[i].step->GetDescription()).c_str());
    if (payload.size != 0)
      std::printf("  [%u bytes in %u chunk%s, media file %u at %u]", static_cast<unsigned>(payload.size),
                  static_cast<unsigned>(payload.chunks), payload.chunks == 1 ? "" : "s",
                  static_cast<unsigned>(payload.disk), static_cast<unsigned>(payload.offset));
    std::printf("\n");
  }
}

void RunPack(const PackOptions& options) {
  LoadedManifest loaded;
  try {
    loaded = LoadManifest(options.manifest);
  } catch (const ManifestError& error) {
    Fail(error.what(), error.IsIo() ? kExitIoError : kExitFailure);
  }
  const std::vector<StepProblem> problems = CheckPackage(loaded.package);
  if (!problems.empty()) ReportProblems(problems, loaded, options.manifest);

  WriterOptions writer;
  writer.diskSize = options.diskSize;
  writer.chunkSize = options.chunkSize;
  writer.jobs = options.jobs;
  WriteResult result;
  try {
    StagingFolder staging(options.output);
    {
      std::unique_ptr<Machine> host = MakeHostFileMachine();
      ScopedMachine scoped(*host);
      result = WritePackage(loaded.package, HostPathToWindows(staging.Path().string()), writer);
    }
    staging.Commit();
  } catch (const PayloadReadError& error) {
    Fail(error.what(), kExitIoError);
  } catch (const PackageError& error) {
    Fail(error.what(), kExitFailure);
  } catch (const CFileException& error) {
    Fail(std::string("writing failed: ") + error.what(), kExitIoError);
  } catch (const std::filesystem::filesystem_error& error) {
    Fail(error.what(), kExitIoError);
  }

  std::cout << "Packed " << options.manifest << " into " << options.output << "\n";
  PrintPart("First part", loaded.package.first, result.first);
  if (loaded.package.second) PrintPart("Second part", *loaded.package.second, *result.second);
}

}  // namespace

void AddPackCommand(CLI::App& app) {
  auto options = std::make_shared<PackOptions>();
  CLI::App* pack = app.add_subcommand("pack", "Build a package's media files from a TOML manifest");
  pack->add_option("MANIFEST", options->manifest, "The package manifest (docs/manifest.md)")
      ->required();
  pack->add_option("-o,--output", options->output, "Folder that receives the media files")
      ->required();
  pack->add_option("--disk-size", options->diskSize,
                   "Largest media file in bytes; the package spans several files when needed "
                   "(default: no limit)")
      ->check(CLI::Range(std::uint32_t{1}, kLargestMediaFile));
  pack->add_option("--chunk-size", options->chunkSize,
                   "Largest number of file bytes in one payload chunk")
      ->capture_default_str()
      ->check(CLI::Range(std::uint32_t{1}, kLargestMediaFile));
  pack->add_option("--jobs", options->jobs,
                   "Threads that compress file contents (default 0: one per processor); "
                   "the media files are the same whatever the number")
      ->check(CLI::Range(0u, 64u));
  pack->footer(std::string("Exit codes: 0 packed, 1 the manifest or a step is refused, 2 bad command line,\n"
                           "3 a file cannot be read or written.\n") +
               kExitCodesDoc);
  pack->callback([options] { RunPack(*options); });
}

}  // namespace velmora::cli
