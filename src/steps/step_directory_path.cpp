// The directory step at run time: asking for the directory (GetPath), its
// turn in the run (Install) and its roll-back.
#include <optional>
#include <utility>
#include <vector>

#include "dialogs/directory_dialog.h"
#include "framework/path_within.h"
#include "platform/machine.h"
#include "platform/path_limit.h"
#include "platform/ui.h"
#include "steps/step_directory.h"

namespace velmora {
namespace {

// Makes every level of `path` that cannot be entered, from the top down,
// and adds each one made to `created`.  Entering a level moves the working
// directory, so the path must be full.  Outside the Windows directory and
// the program files folder, whose permissions already keep users out, a
// level is made with permissions of its own: a folder directly under a
// drive's root would otherwise let every user change the programs and
// libraries installed there.
bool CreateLevels(Machine& machine, const std::string& path, std::vector<std::string>& created) {
  const bool inherits = IsPathAtOrBelow(path, machine.GetWindowsDirectory()) ||
                        IsPathAtOrBelow(path, machine.GetProgramFilesDirectory());
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] != '\\' && i + 1 != path.size()) continue;
    const std::string level = path.substr(0, i + 1);
    if (machine.SetCurrentDirectory(level) == FileCause::none) continue;
    const FileCause cause =
        inherits ? machine.CreateDirectory(level) : machine.CreateProtectedDirectory(level);
    if (cause != FileCause::none) return false;
    created.push_back(level);
  }
  return true;
}

// A folder that is a link to another place (a junction, a symbolic link)
// would put the files wherever the link leads, and a user may change it.
bool IsLink(Machine& machine, const std::string& path) {
  std::uint32_t attributes = 0;
  return machine.GetFileAttributes(path, attributes) == FileCause::none &&
         (attributes & attr::reparsePoint) != 0;
}

}  // namespace

std::string CStepDirectory::GetPath() {
  if (!m_directory.empty()) return m_directory;
  // A prefix that leads back to this step while it is asking would ask
  // forever; the referring step gets no directory instead.
  if (m_asking) return {};

  Machine& machine = CurrentMachine();
  const std::string saved = machine.GetCurrentDirectory();
  if (saved.empty() || saved.size() >= kMaxPathBytes) {
    SetFailureReason("the working directory cannot be read");
    return {};
  }

  // A remembered location replaces the suggestion, registry first.
  if (!SuggestRememberedValue(m_regEntry, m_previousRegistryValue)) {
    SetFailureReason("not a registry value: " + m_regEntry);
    return {};
  }

  m_asking = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{m_asking};

  CDirectoryDialog dialog;
  const std::optional<std::string> suggestion = SuggestedValue("location");
  if (!suggestion) {
    SetFailureReason(TooLongReason() + ": the suggested location");
    return {};
  }
  dialog.m_path = *suggestion;
  dialog.m_question = m_question;
  dialog.m_stepName = m_name;

  std::string path;
  bool created = false;
  for (;;) {
    if (dialog.DoModal() != id::ok) {
      SetFailureReason("the question was cancelled");
      machine.SetCurrentDirectory(saved);
      return {};
    }
    // An empty field names no directory: the question is asked again.
    if (dialog.m_path.empty()) continue;
    // Taken against the working directory once, so that creating the levels
    // (which moves the working directory) and the steps that later use the
    // directory all mean the same place.
    path = machine.GetFullPathName(dialog.m_path);
    if (path.empty()) path = dialog.m_path;
    if (IsLink(machine, path)) {
      AppMessageBox(kDirectoryIsLink, mb::ok | mb::iconExclamation);
      continue;
    }
    if (machine.SetCurrentDirectory(path) == FileCause::none) break;
    if (AppMessageBox("The requested directory does not exist.  Create?",
                      mb::yesNo | mb::iconQuestion) != id::yes)
      continue;
    if (CreateLevels(machine, path, m_createdLevels)) {
      created = true;
      break;
    }
    AppMessageBox("Cannot create requested directory", mb::ok | mb::iconExclamation);
  }

  if (path.back() != '\\') path += '\\';
  m_directory = std::move(path);
  if (created) machine.SetCurrentDirectory(saved);
  // The remembered location is only a suggestion for a later installation:
  // a write that fails (or a registry value that could not be read, which
  // refuses the write) leaves the place as it was and the choice stands.
  if (!m_regEntry.empty()) m_previousRegistryValue.Write(m_directory);
  if (NamesIniEntry()) m_previousValue.Write(m_directory);
  if (!created) machine.SetCurrentDirectory(saved);
  return m_directory;
}

InstallResult CStepDirectory::Install() {
  return GetPath().empty() ? InstallResult::failed : InstallResult::done;
}

bool CStepDirectory::Rollback() {
  const bool registry = m_previousRegistryValue.Restore();
  return CStepIniValue::Rollback() && registry;
}

// Deepest first; a level that still holds anything stays.
void CStepDirectory::RemoveCreatedLevels() {
  Machine& machine = CurrentMachine();
  for (auto level = m_createdLevels.rbegin(); level != m_createdLevels.rend(); ++level)
    machine.RemoveDirectory(*level);
  m_createdLevels.clear();
}

}  // namespace velmora
