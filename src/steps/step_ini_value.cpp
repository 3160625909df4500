#include "steps/step_ini_value.h"

#include "framework/archive.h"
#include "steps/resolve_value.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepIniValue, CStep)

CStepIniValue::CStepIniValue() : m_prefix("<None>") {}

void CStepIniValue::Serialize(CArchive& ar) {
  CStep::Serialize(ar);
  if (ar.IsStoring())
    ar << m_iniFile << m_iniSection << m_iniEntry << m_default << m_prefix;
  else
    ar >> m_iniFile >> m_iniSection >> m_iniEntry >> m_default >> m_prefix;
}

std::string CStepIniValue::GetDescription() const {
  std::string text = GetKindName();
  if (!m_iniEntry.empty()) text += ": [" + m_iniSection + "]" + m_iniEntry;
  return LimitDescription(std::move(text));
}

std::string CStepIniValue::GetKindName() const { return "Ini value"; }

bool CStepIniValue::SetDirectory(const std::string& value) { m_prefix = value; return true; }
bool CStepIniValue::SetDefault(const std::string& value) { m_default = value; return true; }
bool CStepIniValue::SetIniFile(const std::string& value) { m_iniFile = value; return true; }
bool CStepIniValue::SetIniSection(const std::string& value) { m_iniSection = value; return true; }
bool CStepIniValue::SetIniEntry(const std::string& value) { m_iniEntry = value; return true; }

bool CStepIniValue::Validate(const StepList* steps, std::string* message) {
  if (!CStep::Validate(steps, message)) return false;
  const char* refusal = nullptr;
  if (m_prefix.empty())
    refusal = "You must enter a value for the Prefix field";
  else if (GetName() == GetDirectory())
    refusal = "You can't enter this directory as the prefix";
  else if (m_iniFile.empty() || m_iniSection.empty() || m_iniEntry.empty() ||
           (m_default.empty() && m_prefix == "<None>"))
    refusal = "You must enter a value for all of the ini fields and the Value or Prefix field";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

std::string CStepIniValue::ResolveValue() { return ResolveDirectoryReference(GetDirectory(), GetDefault()); }

}  // namespace velmora
