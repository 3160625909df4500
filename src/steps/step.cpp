#include "steps/step.h"

#include <string>

#include "framework/archive.h"
#include "framework/file_exception.h"
#include "services/file_error_report.h"
#include "steps/run_context.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStep, CObject)

CStep::CStep() : m_version(kStepArchiveVersion), m_disk(0), m_dataOffset(0) {}

CStep::~CStep() = default;

void CStep::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    m_version = kStepArchiveVersion;
    ar << m_version;
  } else {
    ar >> m_version;
    if (m_version > kStepArchiveVersion) throw CArchiveException(CArchiveException::generic);
  }
}

void CStep::JoinRun(RunContext* run) {
  if (m_run == run) return;
  if (m_run != nullptr) m_run->Leave(this);
  m_run = run;
  if (run != nullptr) run->Join(this);
}

void CStep::SetDiskAndOffset(std::uint32_t disk, std::uint32_t offset) {
  m_disk = disk;
  m_dataOffset = offset;
}
std::uint32_t CStep::GetDisk() const { return m_disk; }
std::uint32_t CStep::GetDataOffset() const { return m_dataOffset; }

std::string CStep::GetDescription() const { return "--invalid use of base class--"; }

void CStep::SetFailureReason(FileCause cause, const std::string& path) {
  std::string text = GeneralFileErrorText(static_cast<int>(cause));
  if (text.empty()) text = "file error " + std::to_string(static_cast<int>(cause));
  SetFailureReason(text + ": " + path);
}

std::string CStep::LimitDescription(std::string text) {
  if (text.size() > kMaxDescriptionLength) text.resize(kMaxDescriptionLength);
  return text;
}

std::string CStep::NamedDescription(const std::string& kind, const std::string& name) {
  return LimitDescription(name.empty() ? kind : kind + ": " + name);
}

bool CStep::HasName() const { return false; }
bool CStep::HasDirectory() const { return false; }
bool CStep::HasDefault() const { return false; }
bool CStep::HasQuestion() const { return false; }
bool CStep::HasPrefix() const { return false; }
bool CStep::HasIniFileEntry() const { return false; }
bool CStep::HasRegEntry() const { return false; }
bool CStep::HasIcon() const { return false; }
bool CStep::HasReadOnly() const { return false; }
bool CStep::HasHidden() const { return false; }
bool CStep::HasRegister() const { return false; }
bool CStep::HasShared() const { return false; }
bool CStep::HasIconName() const { return false; }
bool CStep::HasUseRecommended() const { return false; }
bool CStep::IsBackgroundImage() const { return false; }
bool CStep::IsDisplayText() const { return false; }

std::string CStep::GetName() const { return {}; }
std::string CStep::GetDisplayName() const { return GetName(); }
std::string CStep::GetDirectory() const { return {}; }
std::string CStep::GetQuestion() const { return {}; }
std::string CStep::GetDefault() const { return {}; }
std::string CStep::GetIniFile() const { return {}; }
std::string CStep::GetIniSection() const { return {}; }
std::string CStep::GetIniEntry() const { return {}; }
std::string CStep::GetRegEntry() const { return {}; }
bool CStep::GetIcon() const { return false; }
const char* CStep::GetPreview() { return ""; }
bool CStep::GetReadOnly() const { return false; }
bool CStep::GetHidden() const { return false; }
bool CStep::GetRegister() const { return false; }
bool CStep::GetShared() const { return false; }
std::string CStep::GetIconName() const { return {}; }
bool CStep::GetUseRecommended() const { return false; }

bool CStep::SetName(const std::string&) { return false; }
bool CStep::SetDirectory(const std::string&) { return false; }
bool CStep::SetQuestion(const std::string&) { return false; }
bool CStep::SetDefault(const std::string&) { return false; }
bool CStep::SetIniFile(const std::string&) { return false; }
bool CStep::SetIniSection(const std::string&) { return false; }
bool CStep::SetIniEntry(const std::string&) { return false; }
bool CStep::SetRegEntry(const std::string&) { return false; }
bool CStep::SetIcon(bool) { return false; }
bool CStep::SetReadOnly(bool) { return false; }
bool CStep::SetHidden(bool) { return false; }
bool CStep::SetRegister(bool) { return false; }
bool CStep::SetShared(bool) { return false; }
bool CStep::SetIconName(const std::string&) { return false; }
bool CStep::SetUseRecommended(bool) { return false; }

const char* CStep::GetNameLabel() const { return "Name"; }
const char* CStep::GetDirectoryLabel() const { return "Directory"; }
const char* CStep::GetQuestionLabel() const { return "Question"; }
const char* CStep::GetDefaultLabel() const { return "Default"; }
const char* CStep::GetIniFileLabel() const { return "File"; }
const char* CStep::GetIniSectionLabel() const { return "Section"; }
const char* CStep::GetIniEntryLabel() const { return "Entry"; }
const char* CStep::GetRegEntryLabel() const { return "Reg entry"; }
const char* CStep::GetReadOnlyLabel() const { return "Readonly"; }
const char* CStep::GetHiddenLabel() const { return "Hidden"; }
const char* CStep::GetRegisterLabel() const { return "Register"; }
const char* CStep::GetSharedLabel() const { return "Shared"; }
const char* CStep::GetIconNameLabel() const { return "Icon name"; }
const char* CStep::GetUseRecommendedLabel() const { return "Use recommended location"; }

// The checks every kind starts with: a step that has a name needs a
// non-empty one that no other named step of the script shares.
bool CStep::Validate(const StepList* steps, std::string* message) {
  if (message != nullptr) message->clear();
  if (!HasName()) return true;
  const std::string name = GetName();
  if (name.empty()) {
    if (message != nullptr) *message = "You must enter a value for name";
    return false;
  }
  if (steps == nullptr) return true;
  for (const CStep* other : *steps) {
    if (other == this || other == nullptr || !other->HasName()) continue;
    if (other->GetName() == name) {
      if (message != nullptr)
        *message = "You have specified a duplicate name, which is not permitted";
      SetName("");
      return false;
    }
  }
  return true;
}

bool CStep::CanDelete(const StepList*, std::string*) const { return true; }

void CStep::ShowImage(const std::uint8_t*, std::uint32_t) {}
void CStep::Paint(CDC*) {}
int CStep::ShowText(const char*) { return 2; }

std::uint32_t CStep::GetDataSize() const { return 0; }
void CStep::SetDataSize(std::uint32_t) {}

bool CStep::IsUninstallable() const { return false; }
bool CStep::Uninstall() { return false; }
bool CStep::Rollback() { return true; }
bool CStep::InstallData(CCompressedFile*) { return true; }
InstallResult CStep::Install() { return InstallResult::done; }
InstallMode CStep::GetInstallMode() const { return InstallMode::pending; }
void CStep::OnInstalled(StepList*) {}

}  // namespace velmora
