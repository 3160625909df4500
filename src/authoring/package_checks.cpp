#include "authoring/package_checks.h"

#include <cstdio>
#include <string_view>

#include "framework/progman_text.h"
#include "steps/step.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"
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

bool NamesDirectoryStep(const StepList& steps, const std::string& name) {
  for (const CStep* step : steps)
    if (dynamic_cast<const CStepDirectory*>(step) != nullptr && step->GetName() == name)
      return true;
  return false;
}

// A reference the installation resolves: a placeholder, "<None>" where the
// value is a prefix (a file step looks "<None>" up as a directory name), or
// the name of a directory step.  Empty references are Validate's business.
std::string CheckReference(const CStep& step, const StepList& steps) {
  if (!step.HasDirectory()) return {};
  const std::string reference = step.GetDirectory();
  if (reference.empty() || reference == kWindowsDirectory || reference == kSystemDirectory)
    return {};
  if (reference == kNoDirectory && step.HasPrefix()) return {};
  if (NamesDirectoryStep(steps, reference)) return {};
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
  const std::string problem = file != nullptr ? file->NameProblem() : std::string();
  return problem.empty() ? problem : "The file name " + problem;
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
  for (std::size_t p = 0; p < parts.size(); ++p) {
    for (std::size_t i = 0; i < parts[p]->steps.size(); ++i) {
      CStep* step = parts[p]->steps[i].step.get();
      if (step == nullptr) continue;
      StepProblem problem{static_cast<int>(p + 1), i, Describe(*step), {}};
      if (!step->Validate(&all, &problem.message)) {
        problems.push_back(std::move(problem));
        continue;
      }
      problem.message = CheckFileName(*step);
      if (problem.message.empty()) problem.message = CheckReference(*step, all);
      if (problem.message.empty()) problem.message = CheckProgmanTexts(*step);
      if (!problem.message.empty()) problems.push_back(std::move(problem));
    }
  }
  return problems;
}

}  // namespace velmora
