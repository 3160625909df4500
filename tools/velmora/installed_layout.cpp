#include "installed_layout.h"

#include "authoring/ansi_text.h"
#include "commands.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"

namespace velmora::cli {
namespace {

// The simulated machine's Windows and system directories (backends/sim).
constexpr const char* kWindowsDirectory = "C:\\WINDOWS";
constexpr const char* kSystemDirectory = "C:\\WINDOWS\\SYSTEM";

// Directory, exactly one backslash, default (steps/resolve_value.cpp).
std::string Join(std::string directory, const std::string& defaultValue) {
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  const std::size_t skip = !defaultValue.empty() && defaultValue.front() == '\\' ? 1 : 0;
  return directory + defaultValue.substr(skip);
}

bool IsDrivePath(const std::string& path) {
  const char drive = path.empty() ? '\0' : path[0];
  return path.size() >= 3 && ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) &&
         path[1] == ':' && path[2] == '\\';
}

std::string WithoutFinalBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::string InstalledLayout::Resolve(const std::string& prefix,
                                     const std::string& defaultValue) const {
  if (prefix == "<None>") return defaultValue;
  if (prefix == "<Windows>") return Join(kWindowsDirectory, defaultValue);
  if (prefix == "<Windows system>") return Join(kSystemDirectory, defaultValue);
  const auto found = directories_.find(prefix);
  // A run warns about a prefix that names no directory and takes the default.
  if (found == directories_.end() || !found->second.error.empty()) return defaultValue;
  return Join(found->second.path, defaultValue);
}

void InstalledLayout::AddDirectory(const CStepDirectory& step) {
  if (step.GetName().empty() || directories_.contains(step.GetName())) return;
  const std::string path = Resolve(step.GetDirectory(), step.GetDefault());
  Directory directory{WithoutFinalBackslash(path), {}};
  if (!IsDrivePath(path))
    directory.error = "directory step " + TextQuoted(step.GetName()) + ": its default path " +
                      TextQuoted(path) + " is not an absolute path with a drive (C:\\...)";
  directories_.emplace(step.GetName(), std::move(directory));
}

std::string InstalledLayout::TargetDirectory(const CStepFile& step) const {
  const std::string reference = step.GetDirectory();
  std::string directory;
  if (reference == "<Windows>") {
    directory = kWindowsDirectory;
  } else if (reference == "<Windows system>") {
    directory = kSystemDirectory;
  } else {
    const auto found = directories_.find(reference);
    if (found == directories_.end())
      Fail("file step " + TextQuoted(step.GetName()) + ": directory " + TextQuoted(reference) +
               " is defined by no directory step before it",
           kExitFailure);
    if (!found->second.error.empty()) Fail(found->second.error, kExitFailure);
    directory = found->second.path;
  }
  // On a fresh machine a shared file at its recommended location goes to
  // the system directory, any other file to its own (SimMachine's
  // FindFileLocation).
  if (step.GetUseRecommended() && step.GetShared()) directory = kSystemDirectory;
  return Join(directory, "");
}

SafeOutputPath InstalledLayout::OutputPath(const CStepFile& step) const {
  const std::string directory = TargetDirectory(step);
  const char drive = static_cast<char>(directory[0] & ~0x20);  // upper case
  return MakeSafeOutputPath({std::string(1, drive), directory.substr(3), step.GetName()});
}

}  // namespace velmora::cli
