// velmora pack MANIFEST -o OUTDIR [--disk-size BYTES] [--chunk-size BYTES]
//                               [--setup FILE | --no-setup] [--check]
//
// Builds a package's media files from a manifest (docs/manifest.md) and puts
// SETUP.EXE beside them.  Every mistake of the manifest and every refusal
// of the step checks is reported in one run, and nothing is written while
// there is any; the output folder receives the files only once all of them
// are complete.  --check stops after reading every source.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/ansi_text.h"
#include "authoring/package_checks.h"
#include "authoring/package_description_writer.h"
#include "authoring/package_error.h"
#include "authoring/package_writer.h"
#include "authoring/payload_source.h"
#include "backends/sim/host_files.h"
#include "byte_size.h"
#include "commands.h"
#include "datafile/appended_media.h"
#include "framework/file_exception.h"
#include "manifest_loader.h"
#include "platform/machine.h"
#include "setup_program.h"
#include "source_file.h"
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
  std::string setup;  // --setup FILE
  bool noSetup = false;
  bool check = false;
  bool singleFile = false;
};

// The SETUP.EXE to put beside the media files; nullopt with --no-setup.
std::optional<std::filesystem::path> ChooseSetupProgram(const PackOptions& options) {
  if (options.noSetup) return std::nullopt;
  if (!options.setup.empty()) {
    const std::string why = CheckSetupProgram(options.setup);
    if (!why.empty()) Fail("--setup " + options.setup + ": " + why, kExitIoError);
    return std::filesystem::path(options.setup);
  }
  if (std::optional<std::filesystem::path> found = FindSetupProgram()) return found;
  std::string looked;
  for (const std::filesystem::path& candidate : SetupProgramCandidates())
    looked += (looked.empty() ? "" : ", ") + candidate.string();
  Fail("no SETUP.EXE to put beside the media files (looked for " + looked +
           "); give one with --setup FILE, or --no-setup for the data files alone",
       kExitIoError);
}

// Reads every source whole, as writing would, and says what was read.
void CheckSources(const PackOptions& options, const LoadedManifest& loaded,
                  const std::optional<std::filesystem::path>& setup) {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::vector<std::uint8_t> buffer(1 << 20);
  const auto readPart = [&](const PackagePart& part) {
    for (const PackageStep& step : part.steps) {
      if (!step.source) continue;
      const std::uint64_t size = step.source->Size();
      for (std::uint64_t at = 0; at < size;) {
        const auto length =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(buffer.size(), size - at));
        step.source->Read(at, length, buffer.data());
        at += length;
      }
      ++files;
      bytes += size;
    }
  };
  try {
    readPart(loaded.package.first);
    if (loaded.package.second) readPart(*loaded.package.second);
  } catch (const PayloadReadError& error) {
    Fail(error.what(), kExitIoError);
  }
  std::cout << "Checked " << options.manifest << ": " << loaded.package.first.steps.size()
            << " steps" << (loaded.package.second ? " in two parts" : "") << ", " << files
            << " source files, " << bytes << " bytes read; "
            << (setup ? "SETUP.EXE " + setup->string() : std::string("no SETUP.EXE"))
            << "; nothing written\n";
}

// The steps that put a question to the user: directory, user value,
// program group, agreement and readme steps.
std::size_t CountQuestions(const PackageDefinition& package) {
  std::size_t questions = 0;
  const auto count = [&](const PackagePart& part) {
    for (const PackageStep& step : part.steps) {
      if (!step.step) continue;
      const std::string kind = step.step->GetRuntimeClass()->m_lpszClassName;
      for (const char* asking : {"CStepDirectory", "CStepUserValue", "CStepPMG", "CStepFileDisplay",
                                 "CStepFileDisplayOptional"})
        if (kind == asking) ++questions;
    }
  };
  count(package.first);
  if (package.second) count(*package.second);
  return questions;
}

std::string Plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The closing line of every check: errors, warnings and questions.
std::string Summary(std::size_t errors, std::size_t warnings, const PackageDefinition& package) {
  return Plural(errors, "error") + ", " + Plural(warnings, "warning") + "; the package asks " +
         Plural(CountQuestions(package), "question");
}

// One line of the report: the manifest, the line, the step, the message.
void PrintProblem(const std::string& manifest, int line, const std::string& where,
                  const std::string& message, bool warning) {
  std::cerr << "velmora pack: " << manifest << (line > 0 ? ":" + std::to_string(line) : "") << ": "
            << (where.empty() ? "" : where + ": ") << (warning ? "warning: " : "") << message
            << '\n';
}

// Reports the manifest's own mistakes and warnings, then the refusals of the
// step checks for the steps the manifest gave without a mistake, each at its
// step's manifest line; the closing line counts them.  Stops with exit code
// 1 when there is any error, or 3 when the only errors are files that
// cannot be read.  Answers the number of warnings.
std::size_t ReportProblems(LoadedManifest& loaded, const std::string& manifest) {
  std::size_t errors = 0;
  std::size_t warnings = 0;
  bool mistake = false;
  for (const ManifestProblem& problem : loaded.problems) {
    const bool warning = problem.kind == ProblemKind::warning;
    PrintProblem(manifest, problem.line, problem.where, problem.message, warning);
    ++(warning ? warnings : errors);
    mistake = mistake || problem.kind == ProblemKind::mistake;
  }
  for (const StepProblem& problem : CheckPackage(loaded.package)) {
    const std::vector<StepOrigin>& origins =
        problem.part == kSecondPart ? loaded.secondOrigins : loaded.firstOrigins;
    const StepOrigin origin =
        problem.index < origins.size() ? origins[problem.index] : StepOrigin{};
    if (origin.faulty) continue;
    PrintProblem(manifest, origin.line,
                 std::string(problem.part == kSecondPart ? "second part, " : "") + "step " +
                     std::to_string(problem.index + 1) + " (" + AnsiToUtf8(problem.step) + ")",
                 AnsiToUtf8(problem.message), false);
    ++errors;
    mistake = true;
  }
  if (errors == 0) return warnings;
  std::cerr << "velmora pack: " << Summary(errors, warnings, loaded.package) << '\n';
  throw ExitCode{mistake ? kExitFailure : kExitIoError};
}

// The sizes of what went in and what came out, e.g. "603 files, 12.4 MB
// in, 3.1 MB of media files (25%)".
std::string SizeLine(const PackageDefinition& package, const WriteResult& result) {
  std::uint64_t files = 0;
  std::uint64_t in = 0;
  std::uint64_t out = 0;
  const auto add = [&](const PackagePart& part, const WrittenPart& written) {
    for (const PackageStep& step : part.steps)
      if (step.source) {
        ++files;
        in += step.source->Size();
      }
    for (const std::uint64_t size : written.sizes) out += size;
  };
  add(package.first, result.first);
  if (package.second) add(*package.second, *result.second);
  std::string line =
      Plural(files, "file") + ", " + SizeText(in) + " in, " + SizeText(out) + " of media files";
  if (in != 0) line += " (" + std::to_string((out * 100 + in / 2) / in) + "%)";
  return line;
}

void PrintPart(const char* heading, const PackagePart& part, const WrittenPart& written) {
  std::cout << heading << " \"" << AnsiToUtf8(part.title) << "\": " << part.steps.size()
            << (part.steps.size() == 1 ? " step\n" : " steps\n");
  for (std::size_t i = 0; i < written.files.size(); ++i)
    std::printf("  %-12s %10u bytes\n", written.files[i].c_str(),
                static_cast<unsigned>(written.sizes[i]));
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PayloadPlacement& payload = written.payloads[i];
    std::printf("  %3zu  %-25s %s", i + 1, part.steps[i].step->GetRuntimeClass()->m_lpszClassName,
                AnsiToUtf8(part.steps[i].step->GetDescription()).c_str());
    if (payload.size != 0)
      std::printf("  [%u bytes in %u chunk%s, media file %u at %u]",
                  static_cast<unsigned>(payload.size), static_cast<unsigned>(payload.chunks),
                  payload.chunks == 1 ? "" : "s", static_cast<unsigned>(payload.disk),
                  static_cast<unsigned>(payload.offset));
    std::printf("\n");
  }
}

// Makes SETUP.EXE in `folder` of the program and, appended to it, the
// package's files there (media files of both parts, the description),
// which are then removed: one file that carries its package.
void MakeSingleFile(const std::filesystem::path& folder, const std::filesystem::path& setup,
                    const WriteResult& result) {
  namespace fs = std::filesystem;
  std::vector<std::string> names = result.first.files;
  if (result.second)
    names.insert(names.end(), result.second->files.begin(), result.second->files.end());
  names.emplace_back(kDescriptionFileName);
  std::uint64_t total = fs::file_size(setup);
  std::vector<AppendedMember> members;
  for (const std::string& name : names) {
    const std::uint64_t length = fs::file_size(folder / name);
    const std::uint64_t offset = total - fs::file_size(setup);
    members.push_back(
        {name, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
    total += length;
  }
  const std::string trailer = AppendedTableAndTrailer(members);
  if (total + trailer.size() > 0xFFFFFFFFu)
    Fail("--single-file: the program and the package would be " +
             std::to_string(total + trailer.size()) + " bytes, more than a 32-bit offset reaches",
         kExitFailure);
  std::ofstream out(folder / "SETUP.EXE", std::ios::binary | std::ios::trunc);
  std::ifstream program(setup, std::ios::binary);
  out << program.rdbuf();
  for (const std::string& name : names) {
    std::ifstream in(folder / name, std::ios::binary);
    out << in.rdbuf();
  }
  out << trailer;
  out.close();
  if (!out) Fail("cannot write " + (folder / "SETUP.EXE").string(), kExitIoError);
  for (const std::string& name : names) fs::remove(folder / name);
}

void RunPack(const PackOptions& options) {
  if (!options.check && options.output.empty())
    Fail("-o OUTDIR is required (only --check writes nothing)", kExitUsage);
  try {
    SourceDateEpoch();
  } catch (const std::invalid_argument& error) {
    Fail(error.what(), kExitUsage);
  }
  LoadedManifest loaded;
  try {
    loaded = LoadManifest(options.manifest);
  } catch (const ManifestError& error) {
    Fail(error.what(), error.IsIo() ? kExitIoError : kExitFailure);
  }
  const std::size_t warnings = ReportProblems(loaded, options.manifest);
  const std::optional<std::filesystem::path> setup = ChooseSetupProgram(options);
  if (options.check) {
    CheckSources(options, loaded, setup);
    std::cout << Summary(0, warnings, loaded.package) << '\n';
    return;
  }

  WriterOptions writer;
  writer.diskSize = options.diskSize;
  writer.chunkSize = options.chunkSize;
  writer.jobs = options.jobs;
  WriteResult result;
  std::uintmax_t descriptionSize = 0;
  try {
    StagingFolder staging(options.output);
    {
      std::unique_ptr<Machine> host = MakeHostFileMachine();
      ScopedMachine scoped(*host);
      const std::string folder = HostPathToWindows(staging.Path().string());
      result = WritePackage(loaded.package, folder, writer);
      WritePackageDescription(folder, result, loaded.product);
    }
    descriptionSize = std::filesystem::file_size(staging.Path() / kDescriptionFileName);
    if (setup && options.singleFile) MakeSingleFile(staging.Path(), *setup, result);
    else if (setup) std::filesystem::copy_file(*setup, staging.Path() / "SETUP.EXE");
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
  if (setup && !options.singleFile) {
    std::printf("  %-12s %10llu bytes (%s)\n", "SETUP.EXE",
                static_cast<unsigned long long>(std::filesystem::file_size(*setup)),
                setup->string().c_str());
  }
  if (options.singleFile)
    std::printf("  %-12s %10llu bytes (%s with the files below appended)\n", "SETUP.EXE",
                static_cast<unsigned long long>(std::filesystem::file_size(
                    std::filesystem::path(options.output) / "SETUP.EXE")),
                setup->string().c_str());
  PrintPart("First part", loaded.package.first, result.first);
  if (loaded.package.second) PrintPart("Second part", *loaded.package.second, *result.second);
  std::printf("  %-12s %10llu bytes (package description: every media file's size and CRC-32)\n",
              kDescriptionFileName, static_cast<unsigned long long>(descriptionSize));
  std::cout << "velmora pack: " << SizeLine(loaded.package, result) << '\n';
  std::cout << Summary(0, warnings, loaded.package) << '\n';
}

}  // namespace

void AddPackCommand(CLI::App& app) {
  auto options = std::make_shared<PackOptions>();
  CLI::App* pack = app.add_subcommand("pack", "Build a package's media files from a TOML manifest");
  pack->add_option("MANIFEST", options->manifest, "The package manifest (docs/manifest.md)")
      ->required();
  pack->add_option("-o,--output", options->output,
                   "Folder that receives the media files (not needed with --check)");
  pack->add_option("--disk-size", options->diskSize,
                   "Largest media file: bytes, K or M (1.44M), or floppy (1457664); the "
                   "package spans several files when needed (default: no limit)")
      ->transform(ByteSizeOption())
      ->check(CLI::Range(std::uint32_t{1}, kLargestMediaFile));
  pack->add_option("--chunk-size", options->chunkSize,
                   "Largest number of file bytes in one payload chunk: bytes, K or M")
      ->capture_default_str()
      ->transform(ByteSizeOption())
      ->check(CLI::Range(std::uint32_t{1}, kLargestMediaFile));
  pack->add_option("--jobs", options->jobs,
                   "Threads that compress file contents (default 0: one per processor); "
                   "the media files are the same whatever the number")
      ->check(CLI::Range(0u, 64u));
  pack->add_option("--setup", options->setup,
                   "The SETUP.EXE to put beside the media files (default: the one built with this "
                   "tool, beside it or in ../share/velmora)");
  pack->add_flag("--no-setup", options->noSetup, "Write the media files alone, without SETUP.EXE")
      ->excludes(pack->get_option("--setup"));
  pack->add_flag("--single-file", options->singleFile,
                 "Write one SETUP.EXE: the program with the media files and the package "
                 "description appended (docs/single-file.md)")
      ->excludes(pack->get_option("--no-setup"));
  pack->add_flag("--check", options->check,
                 "Check the manifest and read every source; write nothing");
  pack->footer(
      std::string("Every mistake of the manifest is reported, then the checks of its steps.\n"
                  "Exit codes: 0 packed (or checked), 1 the manifest or a step is refused, "
                  "2 bad command line,\n"
                  "3 a file cannot be read or written (and the manifest is sound otherwise), or "
                  "no SETUP.EXE is found.\n"
                  "SOURCE_DATE_EPOCH, when set, replaces the file times taken from the "
                  "sources.\n") +
      kExitCodesDoc);
  pack->callback([options] { RunPack(*options); });
}

}  // namespace velmora::cli
