#include "authoring/package_checks.h"

#include <cstdio>
#include <map>
#include <string_view>

#include "authoring/manifest_wording.h"
#include "authoring/windows_file_name.h"
#include "framework/progman_text.h"
#include "services/registry.h"
#include "steps/step.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"
#include "steps/step_file_copy.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

constexpr const char* kNoDirectory = "<None>";
constexpr const char* kWindowsDirectory = "<Windows>";
constexpr const char* kSystemDirectory = "<Windows system>";

// A byte as two hexadecimal digits.
std::string Hex(char c) {
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
  return digits;
}

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// The text with each control character as \xNN, so that a report naming it
// stays on its line.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) out += IsControl(c) ? "\\x" + Hex(c) : std::string(1, c);
  return out;
}

std::string Describe(const CStep& step) {
  std::string text = step.GetRuntimeClass()->m_lpszClassName;
  if (step.HasName() && !step.GetName().empty()) text += " '" + Printable(step.GetName()) + "'";
  return text;
}

// Whether a directory step before `count` steps of the run order (the
// first part, then the second) is named `name`: a step can only use a
// directory that was chosen before it runs.
bool NamesEarlierDirectoryStep(const StepList& steps, std::size_t count, const std::string& name) {
  std::size_t seen = 0;
  for (const CStep* step : steps) {
    if (seen++ == count) break;
    if (dynamic_cast<const CStepDirectory*>(step) != nullptr && step->GetName() == name)
      return true;
  }
  return false;
}

// A reference the installation resolves: a placeholder, "<None>" where the
// value is a prefix (a file step looks "<None>" up as a directory name), or
// the name of a directory step.  Empty references are Validate's business.
std::string CheckReference(const CStep& step, const StepList& steps, std::size_t position) {
  if (!step.HasDirectory()) return {};
  const std::string reference = step.GetDirectory();
  if (reference.empty() || reference == kWindowsDirectory || reference == kSystemDirectory)
    return {};
  if (reference == kNoDirectory && step.HasPrefix()) return {};
  if (NamesEarlierDirectoryStep(steps, position, reference)) return {};
  if (NamesEarlierDirectoryStep(steps, steps.size(), reference))
    return "The directory '" + reference + "' is chosen only by a later directory step";
  return "The directory '" + reference + "' is not the name of any directory step";
}

// What is wrong with a text that goes into a Program Manager command, or ""
// when nothing is: the first character that would break the command.
std::string CommandTextProblem(const char* what, const std::string& text) {
  for (const char c : text) {
    if (!BreaksProgmanCommand(c)) continue;
    if (c == '"') return std::string(what) + " holds a double quote (\")";
    return std::string(what) + " holds a control character (0x" + Hex(c) + ")";
  }
  return {};
}

// The texts the runs put into Program Manager commands: the program group
// step's group name; for a step that asks for an icon, its item's title
// (the icon name, or the file name when that is empty) and the file name,
// which ends the item's command line.
std::string CheckProgmanTexts(const CStep& step) {
  if (step.IsKindOf(RUNTIME_CLASS(CStepPMG)))
    return CommandTextProblem("The group name", step.GetName());
  if (!step.GetIcon()) return {};
  std::string problem = CommandTextProblem("The icon name", step.GetIconName());
  if (problem.empty()) problem = CommandTextProblem("The file name", step.GetName());
  return problem;
}

// A file step that places a file names it by its path below the target
// directory (steps/step_file.h); the readers refuse any other name.
std::string CheckFileName(const CStep& step) {
  const auto* file = dynamic_cast<const CStepFile*>(&step);
  if (file == nullptr || file->GetName().empty()) return {};  // Validate's business
  const std::string problem = file != nullptr ? file->NameProblem() : std::string();
  return problem.empty() ? problem : "The file name " + problem;
}

// A registry entry the runs can take apart: a root key the runtime knows,
// a key below it and a value name (services/registry.h).
std::string CheckRegistryEntry(const CStep& step) {
  if (!step.HasRegEntry() || step.GetRegEntry().empty()) return {};
  const std::string text = step.GetRegEntry();
  const std::string root = text.substr(0, text.find('\\'));
  if (RootKeyFromName(root) == 0)
    return "'reg_entry' starts with '" + root +
           "', which is not a root key; use one of HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, "
           "HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA, "
           "HKEY_DYN_DATA";
  RegistryEntry entry;
  if (!SplitRegistryEntry(text, entry))
    return "'reg_entry' must be ROOT\\KEY\\VALUE: a root key, a key and a value name";
  return {};
}

// The file a copy step places, as Windows compares names: the directory
// reference and the name, regardless of case.
std::string TargetKey(const CStep& step) {
  return WindowsCaseKey(step.GetDirectory() + '\\' + step.GetName());
}

}  // namespace

std::string TitleProblem(const std::string& title) {
  if (title.empty()) return "The title must not be empty";
  for (const char c : title) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return std::string("The title must not hold ") +
             (static_cast<unsigned char>(c) < 0x20 ? std::string("control characters")
                                                   : "'" + std::string(1, c) + "'") +
             ": it names the uninstaller";
  }
  return {};
}

std::vector<StepProblem> CheckPackage(PackageDefinition& package) {
  std::vector<PackagePart*> parts = {&package.first};
  if (package.second) parts.push_back(&*package.second);
  StepList all;
  for (PackagePart* part : parts)
    for (PackageStep& step : part->steps)
      if (step.step) all.push_back(step.step.get());

  std::vector<StepProblem> problems;
  std::map<std::string, std::string> placed;  // target key -> the step placing it
  std::size_t position = 0;                   // in `all`
  for (std::size_t p = 0; p < parts.size(); ++p) {
    for (std::size_t i = 0; i < parts[p]->steps.size(); ++i) {
      CStep* step = parts[p]->steps[i].step.get();
      if (step == nullptr) continue;
      const std::string described = Describe(*step);
      const auto report = [&](std::string message) {
        if (!message.empty())
          problems.push_back({static_cast<int>(p + 1), i, described, std::move(message)});
      };
      std::string refusal;
      if (!step->Validate(&all, &refusal)) report(ManifestWording(refusal));
      const std::string nameProblem = CheckFileName(*step);
      report(nameProblem);
      report(CheckReference(*step, all, position++));
      report(CheckProgmanTexts(*step));
      report(CheckRegistryEntry(*step));
      if (nameProblem.empty() && step->IsKindOf(RUNTIME_CLASS(CStepFileCopy))) {
        const std::string where = (p == 0 ? "step " : "second part, step ") + std::to_string(i + 1);
        const auto [at, added] = placed.emplace(TargetKey(*step), where);
        if (!added)
          report("The file '" + step->GetDirectory() + "\\" + step->GetName() +
                 "' is also placed by " + at->second +
                 ": Windows does not tell file names apart by case");
      }
    }
  }
  return problems;
}

}  // namespace velmora
