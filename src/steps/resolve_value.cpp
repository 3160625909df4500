#include "steps/resolve_value.h"

#include "platform/machine.h"
#include "platform/ui.h"
#include "steps/run_context.h"
#include "steps/step_directory.h"

namespace velmora {
namespace {

void Warn(const char* text) { AppMessageBox(text, mb::ok | mb::iconExclamation); }

std::optional<std::string> Fitting(std::string value) {
  if (value.size() > kMaxResolvedLength) return std::nullopt;
  return value;
}

// Directory, exactly one backslash, default.
std::optional<std::string> Join(std::string directory, const std::string& defaultValue) {
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  const std::size_t skip = !defaultValue.empty() && defaultValue.front() == '\\' ? 1 : 0;
  return Fitting(directory + defaultValue.substr(skip));
}

// A directory of the machine, or the placeholder text in front of the
// default when it cannot be had.
std::optional<std::string> JoinMachineDirectory(const std::string& directory,
                                                const std::string& defaultValue,
                                                const char* missing, const char* tooLong,
                                                const char* placeholder) {
  if (directory.empty()) {
    Warn(missing);
    return Fitting(placeholder + defaultValue);
  }
  // The platform's directory buffer holds the directory and its terminator.
  if (directory.size() >= kMaxPathBytes) {
    Warn(tooLong);
    return Fitting(placeholder + defaultValue);
  }
  return Join(directory, defaultValue);
}

}  // namespace

std::optional<std::string> ResolveDirectoryReference(const RunContext* run,
                                                     const std::string& prefix,
                                                     const std::string& defaultValue) {
  if (prefix == "<None>") return defaultValue;
  if (prefix == "<Windows>")
    return JoinMachineDirectory(CurrentMachine().GetWindowsDirectory(), defaultValue,
                                "Can't get Windows directory", "Windows directory too long (!)",
                                "<type windows directory>\\");
  if (prefix == "<Windows system>")
    return JoinMachineDirectory(CurrentMachine().GetSystemDirectory(), defaultValue,
                                "Can't get System directory", "System directory too long (!)",
                                "<type windows system directory>\\");
  CStepDirectory* directory = run == nullptr ? nullptr : run->FindDirectory(prefix);
  if (directory == nullptr) {
    Warn(
        "Ensure that the directory is defined before the file to be copied, in the Velmora "
        "program");
    return defaultValue;
  }
  const std::string path = directory->GetPath();
  if (path.empty()) return defaultValue;
  return Join(path, defaultValue);
}

}  // namespace velmora
