#include "steps/step_pmg.h"

#include "dialogs/group_dialog.h"
#include "framework/archive.h"
#include "platform/ui.h"
#include "services/program_manager.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepPMG, CStep)

void CStepPMG::Serialize(CArchive& ar) {
  CStep::Serialize(ar);
  if (ar.IsStoring()) ar << m_name;
  else ar >> m_name;
}

std::string CStepPMG::GetDescription() const {
  if (m_name.empty()) return "Program Group";
  return LimitDescription("Program Group: " + m_name);
}

bool CStepPMG::SetName(const std::string& value) {
  m_name = value;
  return true;
}

InstallResult CStepPMG::Install() {
  CGroupDialog dialog;
  if (AppMessageBox("Create program group and icons?", mb::yesNo | mb::iconQuestion) != id::yes) {
    m_name.clear();
    return InstallResult::done;
  }
  dialog.m_prompt = "Create program group:";
  dialog.m_group = m_name;
  const ProgmanReply groups = ProgmanGetGroups();
  for (std::string& name : ProgmanReplyStrings(groups.get()))
    dialog.m_groupNames.push_back(std::move(name));
  dialog.DoModal();
  SetName(dialog.m_group);
  return InstallResult::done;
}

// Only one program group step per script; then the common name checks.
bool CStepPMG::Validate(const StepList* steps, std::string* message) {
  if (steps != nullptr) {
    for (const CStep* other : *steps) {
      if (other == this || other == nullptr || !other->IsKindOf(RUNTIME_CLASS(CStepPMG))) continue;
      if (message != nullptr)
        *message = "You already have a Program Manager's Group, only one is permitted";
      return false;
    }
  }
  return CStep::Validate(steps, message);
}

}  // namespace velmora
