#include "steps/step_directory.h"

#include "framework/archive.h"
#include "steps/run_context.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepDirectory, CStepIniValue)

CStepDirectory::~CStepDirectory() {
  if (Run() != nullptr) Run()->RemoveDirectory(this);
}

void CStepDirectory::Serialize(CArchive& ar) {
  CStepIniValue::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_name << m_question << m_regEntry << m_directory;
  } else {
    ar >> m_name >> m_question;
    // The registry entry joined the archive form in version 3.
    if (m_version >= 3) ar >> m_regEntry;
    else m_regEntry.clear();
    ar >> m_directory;
  }
}

std::string CStepDirectory::GetDescription() const {
  return NamedDescription(GetKindName(), m_name);
}

std::string CStepDirectory::GetKindName() const { return "Directory"; }

bool CStepDirectory::SetName(const std::string& value) {
  m_name = value;
  return true;
}
bool CStepDirectory::SetQuestion(const std::string& value) {
  m_question = value;
  return true;
}
bool CStepDirectory::SetRegEntry(const std::string& value) {
  m_regEntry = value;
  return true;
}

// The common name checks, then the directory's own (not the ini value
// step's: the ini fields are optional here).
bool CStepDirectory::Validate(const StepList* steps, std::string* message) {
  // The ini value step's checks are skipped on purpose.
  // NOLINTNEXTLINE(bugprone-parent-virtual-call)
  if (!CStep::Validate(steps, message)) return false;
  const bool anyIni = !m_iniFile.empty() || !m_iniSection.empty() || !m_iniEntry.empty();
  const char* refusal = PrefixRefusal();
  if (refusal == nullptr && anyIni && !NamesIniEntry())
    refusal = "You must enter a value for all or none of the ini fields";
  if (refusal == nullptr && m_question.empty()) refusal = "You must enter a Question";
  if (refusal == nullptr) return true;
  if (message != nullptr) *message = refusal;
  return false;
}

bool CStepDirectory::CanDelete(const StepList* steps, std::string* message) const {
  if (message != nullptr) message->clear();
  if (steps == nullptr || m_name.empty()) return true;
  for (const CStep* other : *steps) {
    if (other == this || other == nullptr) continue;
    if (other->GetDirectory() == m_name) {
      if (message != nullptr) *message = "This directory is in use and cannot be deleted";
      return false;
    }
  }
  return true;
}

void CStepDirectory::SetChosenPath(const std::string& path) {
  m_directory = path;
  if (!m_directory.empty() && m_directory.back() != '\\') m_directory += '\\';
}

}  // namespace velmora
