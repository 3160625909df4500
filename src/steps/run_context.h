// What one installation or uninstallation run shares with its steps: the
// replace checks of the package's header, the window a background picture
// paints, the products installed before the run, the run's directory steps
// by name, and which file step placed each target.
//
// The run owns the context and outlives the steps it adopts; a step reaches
// the context once the run has adopted it (CStep::JoinRun).  A step that has
// joined no run finds no directory step, paints no window, knows of no
// installed product, and makes both replace checks.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace velmora {

class BackgroundWindow;
class CStep;
class CStepDirectory;
class CStepFile;
class InstalledProducts;

class RunContext {
 public:
  RunContext() = default;
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  // Whether a file replaces an existing one only when it is not older, and
  // only when its version is not lower (the package header's flags).
  bool checkDates = true;
  bool checkVersions = true;
  // Where a background picture is shown; null: nowhere.
  BackgroundWindow* backgroundWindow = nullptr;
  // The products installed before the run; null: none are known.
  InstalledProducts* installedProducts = nullptr;

  // A step joins and leaves through CStep::JoinRun; a directory step joins
  // the directory lookup, a file step leaving forgets its targets.
  void Join(CStep* step);
  void Leave(CStep* step);

  // ---- the run's directory steps, in the order they joined ------------------
  // A directory step being destroyed leaves the lookup itself.
  void RemoveDirectory(const CStepDirectory* step);
  // The first directory step whose name is exactly `name`; null when there
  // is none or `name` is empty.
  CStepDirectory* FindDirectory(const std::string& name) const;
  const std::vector<CStepDirectory*>& Directories() const { return directories_; }

  // ---- which file step placed a file at a target ------------------------------
  // When a later step replaces that file, the earlier step still holds what
  // was there before the installation, so only the earlier step may restore
  // the target at a roll-back.  Targets compare without regard to case.
  CStepFile* PlacedTargetOwner(const std::string& target) const;
  void RememberPlacedTarget(const std::string& target, CStepFile* step);
  // Forgets every target `step` placed.
  void ForgetPlacedTargets(const CStepFile* step);

 private:
  std::vector<CStepDirectory*> directories_;
  std::map<std::string, CStepFile*> targets_;
};

}  // namespace velmora
