#include "steps/step_user_value.h"

#include "dialogs/user_info_dialog.h"
#include "framework/archive.h"
#include "services/registry.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepUserValue, CStepIniValue)

void CStepUserValue::Serialize(CArchive& ar) {
  CStepIniValue::Serialize(ar);
  if (ar.IsStoring())
    ar << m_name << m_regEntry;
  else
    ar >> m_name >> m_regEntry;
}

std::string CStepUserValue::GetDescription() const { return NamedDescription(GetKindName(), m_name); }

std::string CStepUserValue::GetKindName() const { return "User value"; }

// Asks for the value, suggesting what an earlier installation remembered
// (the registry before the ini file), and stores the answer in both places.
// How the dialog ends is not examined: Escape leaves the suggestion in it.
int CStepUserValue::Install() {
  CUserInfoDialog dialog;
  RegistryEntry place;
  if (!SuggestRememberedValue(m_regEntry, place, m_previousRegistryValue)) return 0;

  dialog.m_label = GetName();
  dialog.m_value = ResolveValue();
  dialog.DoModal();
  m_enteredValue = dialog.m_value;

  if (!m_regEntry.empty())
    WriteRegistryString(place.root, place.subKey, place.valueName, m_enteredValue);
  if (NamesIniEntry()) WriteIniEntry(m_iniFile, m_iniSection, m_iniEntry, m_enteredValue);
  return 1;
}

bool CStepUserValue::SetName(const std::string& value) { m_name = value; return true; }
bool CStepUserValue::SetRegEntry(const std::string& value) { m_regEntry = value; return true; }

// The common name checks, then the user value's own: the value goes to the
// registry entry or to a complete ini entry.
bool CStepUserValue::Validate(const StepList* steps, std::string* message) {
  // NOLINTNEXTLINE(bugprone-parent-virtual-call): the ini value step's checks are skipped on purpose
  if (!CStep::Validate(steps, message)) return false;
  const char* refusal = PrefixRefusal();
  if (refusal == nullptr && m_regEntry.empty() && !NamesIniEntry())
    refusal = "You must enter a value for all of the ini fields or enter a value Reg entry";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

}  // namespace velmora
