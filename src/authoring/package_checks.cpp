#include "authoring/package_checks.h"

#include <string_view>

#include "steps/step.h"
#include "steps/step_directory.h"

namespace velmora {
namespace {

constexpr const char* kNoDirectory = "<None>";
constexpr const char* kWindowsDirectory = "<Windows>";
constexpr const char* kSystemDirectory = "<Windows system>";

std::string Describe(const CStep& step) {
  std::string text = step.GetRuntimeClass()->m_lpszClassName;
  if (step.HasName() && !step.GetName().empty()) text += " '" + step.GetName() + "'";
  return text;
}

bool NamesDirectoryStep(const StepList& steps, const std::string& name) {
  for (const CStep* step : steps)
    if (dynamic_cast<const CStepDirectory*>(step) != nullptr && step->GetName() == name) return true;
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

}  // namespace

std::string TitleProblem(const std::string& title) {
  if (title.empty()) return "The title must not be empty";
  for (const char c : title) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
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
      problem.message = CheckReference(*step, all);
      if (!problem.message.empty()) problems.push_back(std::move(problem));
    }
  }
  return problems;
}

}  // namespace velmora
