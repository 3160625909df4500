#include "steps/step_user_value.h"

#include "framework/archive.h"

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
