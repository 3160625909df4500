// CStepPMG: names the program group that receives the installation's program
// items.  In its turn it asks whether a group and icons are wanted and lets
// the user confirm the name or choose an existing group; it creates
// nothing itself.  Written to the uninstall log so that the uninstallation
// knows the group.  A script holds at most one.
//
// Archive form after CStep's: the group name.
#pragma once

#include <string>

#include "steps/step.h"

namespace velmora {

class CStepPMG : public CStep {
  VELMORA_DECLARE_DYNCREATE(CStepPMG)

 public:
  CStepPMG() = default;

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasName() const override { return true; }
  std::string GetName() const override { return m_name; }
  bool SetName(const std::string& value) override;

  bool Validate(const StepList* steps, std::string* message) override;

  // Asks "Create program group and icons?"; No leaves the name empty, Yes
  // shows the group dialog with the existing groups and keeps its text
  // (the script's name after Escape).  Always done (1).
  InstallResult Install() override;

  bool IsUninstallable() const override { return true; }
  // The uninstallation run removes the items and the group itself.
  bool Uninstall() override { return true; }

 protected:
  std::string m_name;
};

}  // namespace velmora
