#include "steps/step_ini_value.h"

#include "framework/archive.h"
#include "platform/path_limit.h"
#include "platform/ui.h"
#include "steps/resolve_value.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepIniValue, CStep)

CStepIniValue::CStepIniValue() : m_prefix("<None>") {}

void CStepIniValue::Serialize(CArchive& ar) {
  CStep::Serialize(ar);
  if (ar.IsStoring()) ar << m_iniFile << m_iniSection << m_iniEntry << m_default << m_prefix;
  else ar >> m_iniFile >> m_iniSection >> m_iniEntry >> m_default >> m_prefix;
}

std::string CStepIniValue::GetDescription() const {
  std::string text = GetKindName();
  if (!m_iniEntry.empty()) text += ": [" + m_iniSection + "]" + m_iniEntry;
  return LimitDescription(std::move(text));
}

std::string CStepIniValue::GetKindName() const { return "Ini value"; }

bool CStepIniValue::SetDirectory(const std::string& value) {
  m_prefix = value;
  return true;
}
bool CStepIniValue::SetDefault(const std::string& value) {
  m_default = value;
  return true;
}
bool CStepIniValue::SetIniFile(const std::string& value) {
  m_iniFile = value;
  return true;
}
bool CStepIniValue::SetIniSection(const std::string& value) {
  m_iniSection = value;
  return true;
}
bool CStepIniValue::SetIniEntry(const std::string& value) {
  m_iniEntry = value;
  return true;
}

bool CStepIniValue::Validate(const StepList* steps, std::string* message) {
  if (!CStep::Validate(steps, message)) return false;
  const char* refusal = nullptr;
  if (m_prefix.empty()) refusal = "You must enter a value for the Prefix field";
  else if (GetName() == GetDirectory()) refusal = "You can't enter this directory as the prefix";
  else if (m_iniFile.empty() || m_iniSection.empty() || m_iniEntry.empty() ||
           (m_default.empty() && m_prefix == "<None>"))
    refusal = "You must enter a value for all of the ini fields and the Value or Prefix field";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

InstallResult CStepIniValue::Install() {
  if (!NamesIniEntry()) return InstallResult::done;
  m_previousValue.Take(GetIniFile(), GetIniSection(), GetIniEntry());
  const std::optional<std::string> value = ResolveValue();
  if (!value) {
    SetFailureReason(TooLongReason() + ": " + GetIniFile());
    ReportIniFailure(GetIniEntry(), GetIniFile(), TooLongReason());
    return InstallResult::failed;
  }
  if (const FileCause cause = m_previousValue.Write(*value); cause != FileCause::none) {
    SetFailureReason(cause, GetIniFile());
    ReportIniFailure(GetIniEntry(), GetIniFile());
    return InstallResult::failed;
  }
  return InstallResult::done;
}

bool CStepIniValue::Rollback() { return m_previousValue.Restore(); }

std::optional<std::string> CStepIniValue::ResolveValue() {
  return ResolveDirectoryReference(Run(), GetDirectory(), GetDefault());
}

bool CStepIniValue::SuggestRememberedValue(const std::string& regEntry,
                                           SavedRegistryValue& previousRegistryValue) {
  std::string remembered;
  if (!regEntry.empty()) {
    RegistryEntry place;
    if (!SplitRegistryEntry(regEntry, place)) return false;
    previousRegistryValue.Take(place);
    remembered = previousRegistryValue.Text(kMaxPathBytes);
  }
  if (NamesIniEntry()) {
    m_previousValue.Take(m_iniFile, m_iniSection, m_iniEntry);
    if (remembered.empty()) remembered = m_previousValue.Text(kMaxPathBytes);
  }
  if (!remembered.empty()) {
    SetDirectory("<None>");
    SetDefault(remembered);
  }
  return true;
}

std::optional<std::string> CStepIniValue::SuggestedValue(const char* what) {
  std::optional<std::string> value = ResolveValue();
  if (!value)
    AppMessageBox(std::string("The ") + what + " suggested for " + GetName() + " is longer than " +
                      std::to_string(kMaxResolvedLength) + " characters.",
                  mb::ok | mb::iconExclamation);
  return value;
}

}  // namespace velmora
