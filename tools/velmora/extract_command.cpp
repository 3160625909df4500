// velmora extract PKGDIR -o OUTDIR [--as-installed] [--test]
//
// Reads every file step's payload back through the runtime's readers and
// writes it to OUTDIR/<directory reference>/<name> with its stored
// modification time; display texts and background pictures go to
// OUTDIR/display/<name> and OUTDIR/background/<name>.  --as-installed lays
// the files out as an installation with the default answers places them
// instead (installed_layout.h) and leaves texts and pictures out.  Names
// come from the package and are made safe (safe_output_path.h): nothing is
// written outside OUTDIR, and nothing is written through a symbolic link.
// --test reads and checks everything without writing.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "authoring/package_location.h"
#include "authoring/package_reader.h"
#include "authoring/safe_output_path.h"
#include "backends/sim/host_files.h"
#include "commands.h"
#include "installed_layout.h"
#include "platform/machine.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"

namespace velmora::cli {
namespace {
namespace fs = std::filesystem;

struct ExtractOptions {
  std::string folder;
  std::string output;
  bool test = false;
  bool asInstalled = false;
};

struct Payload {
  int part;
  std::size_t index;  // step number in its part, from 1
  const CStepFile* step;
  SafeOutputPath output;
};

// The reader's failure, with the payload it was reading when there is one.
[[noreturn]] void ThrowFailure(ReadFailure failure, const Payload* payload) {
  if (payload != nullptr) {
    failure.message = "part " + std::to_string(payload->part) + " step " +
                      std::to_string(payload->index) + " (" + payload->step->GetName() +
                      "): " + failure.message;
  }
  throw AsReadError(failure);
}

// Where a payload goes below OUTDIR.
SafeOutputPath OutputPathOf(const CStepFile& step) {
  std::string folder = step.GetDirectory();
  if (folder.empty()) folder = step.IsBackgroundImage() ? "background" : "display";
  return MakeSafeOutputPath({folder, step.GetName()});
}

// Creates the folders of `path` below `root`, refusing any symbolic link
// on the way (it could point anywhere).
fs::path PrepareTarget(const fs::path& root, const SafeOutputPath& safe) {
  fs::path path = root;
  for (std::size_t i = 0; i < safe.components.size(); ++i) {
    path /= safe.components[i];
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (fs::is_symlink(status))
      Fail(path.string() + ": is a symbolic link; not followed", kExitIoError);
    if (i + 1 == safe.components.size()) break;
    if (!fs::exists(status) && !fs::create_directory(path, ec))
      Fail(path.string() + ": cannot create folder: " + ec.message(), kExitIoError);
    if (!fs::is_directory(path, ec)) Fail(path.string() + ": not a folder", kExitIoError);
  }
  return path;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& data, std::int32_t modified) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) Fail(path.string() + ": cannot write", kExitIoError);
  if (modified != 0) {
    const std::chrono::sys_seconds when{std::chrono::seconds(modified)};
    std::error_code ec;
    fs::last_write_time(path, std::chrono::file_clock::from_sys(when), ec);
  }
}

class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total), terminal_(::isatty(::fileno(stderr)) != 0) {}
  void Step(std::size_t done, const std::string& name) {
    if (!terminal_ || total_ == 0) return;
    const std::size_t filled = done * kWidth / total_;
    std::fprintf(stderr, "\r[%s%s] %3zu%% %-40.40s", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), done * 100 / total_, name.c_str());
    std::fflush(stderr);
  }
  void Done() {
    if (terminal_ && total_ != 0) std::fprintf(stderr, "\r%*s\r", 80, "");
  }

 private:
  static constexpr std::size_t kWidth = 30;
  std::size_t total_;
  bool terminal_;
};

void RunExtract(const ExtractOptions& options) {
  std::error_code error;
  const bool isFolder = fs::is_directory(options.folder, error);
  if (!isFolder && !fs::is_regular_file(options.folder, error))
    Fail(options.folder + ": not a folder or a file", kExitIoError);
  fs::path root;
  if (!options.test) {
    root = fs::absolute(options.output);
    if (fs::is_symlink(fs::symlink_status(root, error)))
      Fail(root.string() + ": is a symbolic link; not followed", kExitIoError);
    fs::create_directories(root, error);
    if (!fs::is_directory(root, error))
      Fail(root.string() + ": cannot create folder", kExitIoError);
  }

  std::unique_ptr<Machine> host = MakeHostFileMachine();
  ScopedMachine scoped(*host);
  PackageReader reader(PackageLocationAt(HostPathToWindows(options.folder), isFolder));
  PackageContents contents;
  if (!reader.ReadPackage(contents)) ThrowFailure(reader.Failure(), nullptr);

  // Every output path is known before anything is written.
  std::vector<Payload> payloads;
  InstalledLayout layout;
  for (const PartContents* part :
       {&contents.first, contents.second ? &*contents.second : nullptr}) {
    if (part == nullptr) continue;
    for (std::size_t i = 0; i < part->steps.size(); ++i) {
      const CStep* step = part->steps[i].get();
      if (const auto* directory = dynamic_cast<const CStepDirectory*>(step))
        layout.AddDirectory(*directory);
      const auto* file = dynamic_cast<const CStepFile*>(step);
      if (file == nullptr) continue;
      // Texts and pictures are shown by a run, not installed.
      if (options.asInstalled && (file->IsDisplayText() || file->IsBackgroundImage())) continue;
      payloads.push_back({part->part, i + 1, file,
                          options.asInstalled ? layout.OutputPath(*file) : OutputPathOf(*file)});
    }
  }

  Progress progress(payloads.size());
  std::uint64_t bytes = 0;
  std::size_t warnings = 0;
  std::vector<std::uint8_t> data;
  for (std::size_t n = 0; n < payloads.size(); ++n) {
    const Payload& payload = payloads[n];
    const SafeOutputPath& safe = payload.output;
    progress.Step(n, safe.Joined());
    if (!reader.ReadPayload(payload.part, *payload.step, data)) {
      progress.Done();
      ThrowFailure(reader.Failure(), &payload);
    }
    bytes += data.size();
    for (const std::string& warning : safe.warnings) {
      progress.Done();
      std::cerr << "velmora extract: warning: step " << payload.index << ": " << warning << '\n';
      ++warnings;
    }
    if (!options.test)
      WriteFile(PrepareTarget(root, safe), data, payload.step->GetModificationTime());
  }
  progress.Step(payloads.size(), "");
  progress.Done();
  if (options.test) {
    std::cout << "Tested " << payloads.size() << " files (" << bytes << " bytes): all OK\n";
  } else {
    std::cout << "Extracted " << payloads.size() << " files (" << bytes << " bytes) to "
              << root.string() << '\n';
  }
  if (warnings != 0) std::cout << warnings << " names were made safe (see the warnings above)\n";
}

}  // namespace

void AddExtractCommand(CLI::App& app) {
  auto options = std::make_shared<ExtractOptions>();
  CLI::App* extract =
      app.add_subcommand("extract", "Write the files a package holds into a folder");
  extract
      ->add_option(
          "PKGDIR", options->folder,
          "Folder holding the media files (velmor.1, ...), or a SETUP.EXE that carries them")
      ->required();
  extract->add_option("-o,--output", options->output, "Folder to write the files into");
  extract->add_flag("--as-installed", options->asInstalled,
                    "Lay the files out where an installation with the default answers puts them "
                    "(OUTDIR/C/...); texts and pictures are left out");
  extract->add_flag("--test", options->test,
                    "Read and check every payload (chunk numbers and sizes) without writing");
  extract->footer(
      std::string(
          "Layout of OUTDIR:\n"
          "  OUTDIR/<directory>/<name>   a file step's file: <directory> is the name of the\n"
          "                              directory step it goes to (LanternDir), or\n"
          "                              _Windows_ or _Windows system_; a name with\n"
          "                              folders (BIN\\TOOL.EXE) makes sub-folders\n"
          "  OUTDIR/display/<name>       agreement and readme texts\n"
          "  OUTDIR/background/<name>    background pictures\n"
          "With --as-installed, OUTDIR/<drive>/<path>/<name>: a directory step's path is its\n"
          "default after its prefix, <Windows> is C:\\WINDOWS and <Windows system>\n"
          "C:\\WINDOWS\\SYSTEM (as on 'velmora install --machine'), a shared file at its\n"
          "recommended location goes to C:\\WINDOWS\\SYSTEM (C:\\LANTERN\\BIN\\TOOL.EXE ->\n"
          "OUTDIR/C/LANTERN/BIN/TOOL.EXE).  Texts and pictures are shown by an\n"
          "installation, not installed, and are left out.  A directory whose default is not\n"
          "an absolute path with a drive ends the command with 1, before anything is\n"
          "written.  Names are made safe: nothing is written outside OUTDIR or through a\n"
          "symbolic link; each change is a warning.\n") +
      std::string("Exit codes: 0 every file extracted (or tested), 1 damaged package, 2 bad\n"
                  "command line, 3 I/O error, 4 unsupported data file version, 5 missing\n"
                  "media file.\n") +
      kExitCodesDoc);
  extract->callback([options, extract] {
    if (!options->test && options->output.empty()) {
      std::cerr << "velmora extract: -o OUTDIR is required (or --test)\n" << extract->help();
      throw ExitCode{kExitUsage};
    }
    RunExtract(*options);
  });
}

}  // namespace velmora::cli
