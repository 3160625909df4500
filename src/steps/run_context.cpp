#include "steps/run_context.h"

#include <algorithm>

#include "framework/ascii.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

std::string TargetKey(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : AsciiUpper(c);
  return path;
}

}  // namespace

void RunContext::Join(CStep* step) {
  auto* directory = dynamic_cast<CStepDirectory*>(step);
  if (directory != nullptr &&
      std::find(directories_.begin(), directories_.end(), directory) == directories_.end())
    directories_.push_back(directory);
}

void RunContext::Leave(CStep* step) {
  if (auto* directory = dynamic_cast<CStepDirectory*>(step)) RemoveDirectory(directory);
  if (auto* file = dynamic_cast<CStepFile*>(step)) ForgetPlacedTargets(file);
}

void RunContext::RemoveDirectory(const CStepDirectory* step) { std::erase(directories_, step); }

CStepDirectory* RunContext::FindDirectory(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (CStepDirectory* step : directories_)
    if (step->GetName() == name) return step;
  return nullptr;
}

CStepFile* RunContext::PlacedTargetOwner(const std::string& target) const {
  const auto found = targets_.find(TargetKey(target));
  return found == targets_.end() ? nullptr : found->second;
}

void RunContext::RememberPlacedTarget(const std::string& target, CStepFile* step) {
  targets_.emplace(TargetKey(target), step);
}

void RunContext::ForgetPlacedTargets(const CStepFile* step) {
  std::erase_if(targets_, [step](const auto& entry) { return entry.second == step; });
}

}  // namespace velmora
