#include "steps/step_file_targets.h"

#include <map>

#include "framework/ascii.h"

namespace velmora {
namespace {

// One thread runs the installation, so a plain map will do.
std::map<std::string, CStepFile*>& Targets() {
  static std::map<std::string, CStepFile*> targets;
  return targets;
}

std::string Key(std::string path) {
  for (char& c : path) {
    c = c == '/' ? '\\' : AsciiUpper(c);
  }
  return path;
}

}  // namespace

CStepFile* PlacedTargetOwner(const std::string& target) {
  const auto found = Targets().find(Key(target));
  return found == Targets().end() ? nullptr : found->second;
}

void RememberPlacedTarget(const std::string& target, CStepFile* step) {
  Targets().emplace(Key(target), step);
}

void ForgetPlacedTarget(const CStepFile* step) {
  std::erase_if(Targets(), [step](const auto& entry) { return entry.second == step; });
}

}  // namespace velmora
