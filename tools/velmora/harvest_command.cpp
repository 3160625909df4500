// velmora harvest FOLDER [-o MANIFEST [--force]] [--title TEXT] [--name NAME]
//                        [--question TEXT] [--default PATH] [--ask-folders PATH,...]
//
// Writes a manifest that installs a folder as it is (docs/harvest.md): one
// directory step for the target, one more for each sub-folder --ask-folders
// names, and a file step for every file, named by its path below its
// directory step's folder ("DOCS\README.TXT"), with the file's times and
// read-only and hidden flags.  A name that cannot be a Windows file name is
// reported, and nothing is written.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/ansi_text.h"
#include "authoring/windows_file_name.h"
#include "commands.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

struct HarvestOptions {
  std::string folder;
  std::string output;  // "" = standard output
  std::string title;
  std::string name = "InstallDir";
  std::string question;
  std::string defaultPath;
  std::vector<std::string> askFolders;  // sub-folders with a question of their own
  bool force = false;                   // replace an existing manifest
};

struct HarvestedFile {
  fs::path path;            // on the host
  std::string windowsPath;  // relative to its directory step's folder, with backslashes
  std::int64_t created = 0;
  std::int64_t modified = 0;
  bool readOnly = false;
  bool hidden = false;
};

// A directory step and the files below its folder.
struct HarvestedFolder {
  std::string windowsPath;  // relative to the folder; "" for the folder itself
  std::string stepName;
  std::string parentStep;   // the step whose folder holds this one
  std::string defaultPath;  // this folder relative to that step's folder
  std::vector<HarvestedFile> files;
};

// A TOML basic string: quotes, backslashes and control characters escaped.
std::string Toml(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A time as a TOML date-time in UTC, as the package stores it.
std::string TomlTime(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

class Harvester {
 public:
  explicit Harvester(const HarvestOptions& options) : options_(options) {}

  // Walks the folder; the problems found are in Problems().
  void Walk() {
    root_ = fs::path(options_.folder);
    folders_.push_back({"", options_.name, "", "", {}});
    WalkFolder(root_, "", 0);
    for (const std::string& asked : options_.askFolders)
      if (std::none_of(folders_.begin(), folders_.end(),
                       [&](const HarvestedFolder& f) { return f.windowsPath == asked; }))
        problems_.push_back("--ask-folders " + asked + ": there is no such sub-folder");
  }

  const std::vector<std::string>& Problems() const { return problems_; }

  std::string Manifest(const fs::path& manifestFolder) const {
    std::ostringstream out;
    const std::string title = options_.title.empty() ? root_.filename().string() : options_.title;
    out << "# Harvested from " << options_.folder << " by velmora harvest.\n\n";
    out << "title = " << Toml(title) << "\n";
    for (const HarvestedFolder& folder : folders_) {
      out << "\n[[step]]\nclass = \"directory\"\nname = " << Toml(folder.stepName) << "\n";
      if (folder.windowsPath.empty()) {
        out << "question = " << Toml(options_.question) << "\n";
        out << "prefix = \"<None>\"\ndefault = " << Toml(options_.defaultPath) << "\n";
      } else {
        out << "question = "
            << Toml("The folder " + LastPart(folder.windowsPath) +
                    " will be made in the folder below.  To "
                    "put it elsewhere, type another folder.")
            << "\n";
        out << "prefix = " << Toml(folder.parentStep) << "\ndefault = " << Toml(folder.defaultPath)
            << "\n";
      }
      for (const HarvestedFile& file : folder.files) {
        out << "\n[[step]]\nclass = \"file\"\n";
        out << "source = " << Toml(fs::proximate(file.path, manifestFolder).generic_string())
            << "\n";
        out << "directory = " << Toml(folder.stepName) << "\n";
        if (file.windowsPath.find('\\') != std::string::npos)
          out << "name = " << Toml(file.windowsPath) << "\n";
        out << "created = " << TomlTime(file.created) << "\nmodified = " << TomlTime(file.modified)
            << "\n";
        if (file.readOnly) out << "read_only = true\n";
        if (file.hidden) out << "hidden = true\n";
      }
    }
    return out.str();
  }

  std::size_t Questions() const { return folders_.size(); }
  std::size_t Files() const {
    std::size_t count = 0;
    for (const HarvestedFolder& folder : folders_) count += folder.files.size();
    return count;
  }

 private:
  static std::string LastPart(const std::string& windowsPath) {
    const std::size_t slash = windowsPath.rfind('\\');
    return slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
  }
  // `folder` is `windowsPath` below the harvested folder; its files go into
  // the directory step `step`.
  void WalkFolder(const fs::path& folder, const std::string& windowsPath, std::size_t step) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      entries.push_back(*it);
    if (error) {
      problems_.push_back(folder.string() + ": " + error.message());
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                return a.path() < b.path();
              });
    std::map<std::string, std::string> caseKeys;  // upper-case name -> the name
    const std::string prefix = windowsPath.empty() ? "" : windowsPath + "\\";
    const std::string& stepPath = folders_[step].windowsPath;
    const std::string stepPrefix = stepPath.empty() ? "" : stepPath + "\\";
    for (const fs::directory_entry& entry : entries) {
      const std::string name = entry.path().filename().string();
      const std::string where = entry.path().string();
      if (const std::string problem = WindowsFileNameProblem(name); !problem.empty()) {
        problems_.push_back(where + ": cannot be a Windows file name: it " + problem);
        continue;
      }
      const auto [first, added] =
          caseKeys.emplace(WindowsCaseKey(Utf8ToAnsi(name).value_or(name)), name);
      if (!added) {
        problems_.push_back(where + ": differs from " + first->second +
                            " only by case, which Windows does not tell apart");
        continue;
      }
      if (entry.is_symlink(error)) {
        problems_.push_back(where + ": is a symbolic link");
      } else if (entry.is_directory(error)) {
        const std::string below = prefix + name;
        if (std::find(options_.askFolders.begin(), options_.askFolders.end(), below) ==
            options_.askFolders.end()) {
          WalkFolder(entry.path(), below, step);
          continue;
        }
        if (below == options_.name) {
          problems_.push_back(where + ": its directory step would be named " + name +
                              " as the target's is; give the target another with --name");
          continue;
        }
        folders_.push_back(
            {below, below, folders_[step].stepName, below.substr(stepPrefix.size()), {}});
        WalkFolder(entry.path(), below, folders_.size() - 1);
      } else if (entry.is_regular_file(error)) {
        AddFile(entry.path(), (prefix + name).substr(stepPrefix.size()), name, step);
      } else {
        problems_.push_back(where + ": is not a regular file or folder");
      }
    }
  }

  void AddFile(const fs::path& path, const std::string& windowsPath, const std::string& name,
               std::size_t folder) {
    struct statx status {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_MTIME | STATX_BTIME | STATX_MODE, &status) != 0) {
      problems_.push_back(path.string() + ": " + std::strerror(errno));
      return;
    }
    HarvestedFile file;
    file.path = fs::absolute(path);
    file.windowsPath = windowsPath;
    file.modified = status.stx_mtime.tv_sec;
    file.created = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec : file.modified;
    file.readOnly = (status.stx_mode & S_IWUSR) == 0;
    file.hidden = name.starts_with(".");
    if (file.modified < INT32_MIN || file.modified > INT32_MAX || file.created < INT32_MIN ||
        file.created > INT32_MAX) {
      problems_.push_back(path.string() +
                          ": its times lie outside 1901-12-13 to 2038-01-19, "
                          "which a package stores");
      return;
    }
    folders_[folder].files.push_back(std::move(file));
  }

  const HarvestOptions& options_;
  fs::path root_;
  std::vector<HarvestedFolder> folders_;
  std::vector<std::string> problems_;
};

void RunHarvest(HarvestOptions options) {
  std::error_code error;
  if (!fs::is_directory(options.folder, error))
    Fail(options.folder + ": not a folder", kExitIoError);
  const std::string own = fs::absolute(options.folder).lexically_normal().filename().string();
  if (options.defaultPath.empty()) options.defaultPath = "C:\\" + (own.empty() ? "APP" : own);
  if (options.question.empty())
    options.question =
        "The files will be installed in the folder below.  To install them "
        "elsewhere, type another folder.";

  Harvester harvester(options);
  harvester.Walk();
  if (!harvester.Problems().empty()) {
    for (const std::string& problem : harvester.Problems())
      std::cerr << "velmora harvest: " << problem << '\n';
    std::cerr << "velmora harvest: " << harvester.Problems().size()
              << " name(s) cannot be packaged as they are; nothing written\n";
    throw ExitCode{kExitFailure};
  }
  const fs::path manifestFolder =
      options.output.empty() ? fs::current_path() : fs::absolute(options.output).parent_path();
  const std::string manifest = harvester.Manifest(manifestFolder);
  if (options.output.empty()) {
    std::cout << manifest;
  } else {
    if (!options.force && fs::exists(fs::symlink_status(options.output, error)))
      Fail(options.output + ": exists; give --force to replace it", kExitUsage);
    std::ofstream out(options.output, std::ios::trunc);
    out << manifest;
    out.close();
    if (!out) Fail("cannot write " + options.output, kExitIoError);
  }
  std::cerr << "velmora harvest: " << harvester.Files() << " file step(s) in "
            << harvester.Questions() << " directory step(s); the installation asks "
            << harvester.Questions() << " folder question(s)\n";
}

}  // namespace

void AddHarvestCommand(CLI::App& app) {
  auto options = std::make_shared<HarvestOptions>();
  CLI::App* harvest =
      app.add_subcommand("harvest", "Write a manifest that installs a folder as it is");
  harvest->add_option("FOLDER", options->folder, "The folder to install")->required();
  harvest->add_option("-o,--output", options->output,
                      "The manifest to write (default: standard output); sources are named "
                      "relative to its folder");
  harvest->add_option("--title", options->title, "The product title (default: the folder's name)");
  harvest->add_option("--name", options->name, "Name of the target's directory step")
      ->capture_default_str();
  harvest->add_option("--question", options->question, "The question that asks for the target");
  harvest->add_option("--default", options->defaultPath,
                      "The target suggested (default: C:\\ and the folder's name)");
  harvest
      ->add_option("--ask-folders", options->askFolders,
                   "Sub-folders (paths below FOLDER, parts joined by \\) that get a directory "
                   "step of their own, which asks where they go")
      ->delimiter(',');
  harvest->add_flag("--force", options->force, "Replace the manifest -o names if it exists");
  harvest->footer(std::string("One directory step asks for the target; files below it are named "
                              "by their path there,\nand the installation makes their folders.\n"
                              "Exit codes: 0 written, 1 a name cannot be a Windows file name, "
                              "2 bad command line,\n3 the folder cannot be read or the manifest "
                              "cannot be written.\n") +
                  kExitCodesDoc);
  harvest->callback([options] { RunHarvest(*options); });
}

}  // namespace velmora::cli
