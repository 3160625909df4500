#include "steps/step_ini_value.h"

#include "framework/archive.h"
#include "platform/machine.h"
#include "steps/resolve_value.h"

namespace velmora {
namespace {

// The steps read profile entries into buffers of 260 bytes.
constexpr std::uint32_t kIniBufferSize = 260;

}  // namespace

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

int CStepIniValue::Install() {
  if (!NamesIniEntry()) return 1;
  m_previousValue = ReadIniEntry(GetIniFile(), GetIniSection(), GetIniEntry());
  WriteIniEntry(GetIniFile(), GetIniSection(), GetIniEntry(), ResolveValue());
  return 1;
}

// An entry that was empty or missing before keeps the value Install wrote:
// the profile functions cannot tell the two apart, and deleting the entry
// could remove one the user had left empty on purpose.
bool CStepIniValue::Rollback() {
  if (m_previousValue.empty() || m_iniFile.empty() || m_iniSection.empty() || m_iniEntry.empty())
    return true;
  WriteIniEntry(GetIniFile(), GetIniSection(), GetIniEntry(), m_previousValue);
  return true;
}

std::string CStepIniValue::ReadIniEntry(const std::string& file, const std::string& section,
                                        const std::string& entry) {
  return CurrentMachine().QueryProfileString(file, section, entry, "", kIniBufferSize);
}

void CStepIniValue::WriteIniEntry(const std::string& file, const std::string& section,
                                  const std::string& entry, const std::string& value) {
  CurrentMachine().SetProfileString(file, section, entry, value);
}

std::string CStepIniValue::ResolveValue() { return ResolveDirectoryReference(GetDirectory(), GetDefault()); }

bool CStepIniValue::SuggestRememberedValue(const std::string& regEntry, RegistryEntry& place,
                                           std::string& previousRegistryValue) {
  constexpr std::uint32_t kRememberedBuffer = 260;
  if (!regEntry.empty()) {
    if (!SplitRegistryEntry(regEntry, place)) return false;
    previousRegistryValue =
        ReadRegistryString(place.root, place.subKey, place.valueName, kRememberedBuffer);
  }
  if (NamesIniEntry()) m_previousValue = ReadIniEntry(m_iniFile, m_iniSection, m_iniEntry);
  const std::string& remembered =
      !previousRegistryValue.empty() ? previousRegistryValue : m_previousValue;
  if (!remembered.empty()) {
    SetDirectory("<None>");
    SetDefault(remembered);
  }
  return true;
}

}  // namespace velmora
