#include "steps/step_user_value.h"

#include "dialogs/user_info_dialog.h"
#include "framework/archive.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepUserValue, CStepIniValue)

void CStepUserValue::Serialize(CArchive& ar) {
  CStepIniValue::Serialize(ar);
  if (ar.IsStoring()) ar << m_name << m_regEntry;
  else ar >> m_name >> m_regEntry;
}

std::string CStepUserValue::GetDescription() const {
  return NamedDescription(GetKindName(), m_name);
}

std::string CStepUserValue::GetKindName() const { return "User value"; }

// Asks for the value, suggesting what an earlier installation remembered
// (the registry before the ini file), and stores the answer in both places.
// How the dialog ends is not examined: Escape leaves the suggestion in it.
// Nothing is written that the roll-back could not put back: a registry
// value that cannot be read fails the step before the question.
InstallResult CStepUserValue::Install() {
  CUserInfoDialog dialog;
  if (!SuggestRememberedValue(m_regEntry, m_previousRegistryValue)) {
    SetFailureReason("not a registry value: " + m_regEntry);
    return InstallResult::failed;
  }
  if (!m_regEntry.empty() && !m_previousRegistryValue.Known()) {
    SetFailureReason(RegistryFailureReason(m_previousRegistryValue.LastError(), m_regEntry));
    ReportRegistryFailure("read", m_regEntry);
    return InstallResult::failed;
  }

  dialog.m_label = GetName();
  const std::optional<std::string> suggestion = SuggestedValue("value");
  if (!suggestion) {
    SetFailureReason(TooLongReason() + ": the suggested value");
    return InstallResult::failed;
  }
  dialog.m_value = *suggestion;
  dialog.DoModal();
  m_enteredValue = dialog.m_value;

  if (!m_regEntry.empty() && !m_previousRegistryValue.Write(m_enteredValue)) {
    SetFailureReason(RegistryFailureReason(m_previousRegistryValue.LastError(), m_regEntry));
    ReportRegistryFailure("write", m_regEntry);
    return InstallResult::failed;
  }
  if (const FileCause cause =
          NamesIniEntry() ? m_previousValue.Write(m_enteredValue) : FileCause::none;
      cause != FileCause::none) {
    SetFailureReason(cause, m_iniFile);
    ReportIniFailure(m_iniEntry, m_iniFile);
    Rollback();  // the registry value written above: a failed step leaves nothing
    return InstallResult::failed;
  }
  return InstallResult::done;
}

bool CStepUserValue::Rollback() {
  const bool registry = m_previousRegistryValue.Restore();
  return CStepIniValue::Rollback() && registry;
}

bool CStepUserValue::SetName(const std::string& value) {
  m_name = value;
  return true;
}
bool CStepUserValue::SetRegEntry(const std::string& value) {
  m_regEntry = value;
  return true;
}

// The common name checks, then the user value's own: the value goes to the
// registry entry or to a complete ini entry.
bool CStepUserValue::Validate(const StepList* steps, std::string* message) {
  // The ini value step's checks are skipped on purpose.
  // NOLINTNEXTLINE(bugprone-parent-virtual-call)
  if (!CStep::Validate(steps, message)) return false;
  const char* refusal = PrefixRefusal();
  if (refusal == nullptr && m_regEntry.empty() && !NamesIniEntry())
    refusal = "You must enter a value for all of the ini fields or enter a value Reg entry";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

}  // namespace velmora
