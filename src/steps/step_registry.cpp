#include "steps/step_registry.h"

#include "framework/archive.h"
#include "services/registry.h"
#include "steps/resolve_value.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepRegistry, CStep)

CStepRegistry::CStepRegistry() : m_prefix("<None>") {}

void CStepRegistry::Serialize(CArchive& ar) {
  CStep::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_regEntry << m_default << m_prefix;
  } else {
    ar >> m_regEntry >> m_default;
    // The prefix joined the archive form in version 4.
    if (m_version >= 4) ar >> m_prefix;
    else m_prefix.clear();
  }
}

std::string CStepRegistry::GetDescription() const {
  if (m_regEntry.empty()) return "Registry entry";
  return LimitDescription("Registry entry: " + m_regEntry);
}

bool CStepRegistry::SetDirectory(const std::string& value) {
  m_prefix = value;
  return true;
}
bool CStepRegistry::SetDefault(const std::string& value) {
  m_default = value;
  return true;
}
bool CStepRegistry::SetRegEntry(const std::string& value) {
  m_regEntry = value;
  return true;
}

bool CStepRegistry::Validate(const StepList* steps, std::string* message) {
  if (!CStep::Validate(steps, message)) return false;
  const char* refusal = nullptr;
  if (m_regEntry.empty()) refusal = "You must enter a value for Reg entry";
  else if (m_default.empty()) refusal = "You must enter Reg value";
  else if (GetDirectory().empty()) refusal = "You must enter Prefix value";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

// Nothing is written that the roll-back could not put back: a value that
// cannot be read fails the step before the write.
InstallResult CStepRegistry::Install() {
  RegistryEntry entry;
  if (!SplitRegistryEntry(m_regEntry, entry)) {
    SetFailureReason("not a registry value: " + m_regEntry);
    return InstallResult::failed;
  }
  if (!m_previousValue.Take(entry)) {
    SetFailureReason(RegistryFailureReason(m_previousValue.LastError(), m_regEntry));
    ReportRegistryFailure("read", m_regEntry);
    return InstallResult::failed;
  }
  const std::optional<std::string> value = ResolveValue();
  if (!value) {
    SetFailureReason(TooLongReason() + ": " + m_regEntry);
    ReportRegistryFailure("write", m_regEntry, TooLongReason());
    return InstallResult::failed;
  }
  if (!m_previousValue.Write(*value)) {
    SetFailureReason(RegistryFailureReason(m_previousValue.LastError(), m_regEntry));
    ReportRegistryFailure("write", m_regEntry);
    return InstallResult::failed;
  }
  return InstallResult::done;
}

bool CStepRegistry::Rollback() { return m_previousValue.Restore(); }

std::optional<std::string> CStepRegistry::ResolveValue() {
  return ResolveDirectoryReference(Run(), m_prefix, m_default);
}

}  // namespace velmora
