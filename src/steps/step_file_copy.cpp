#include "steps/step_file_copy.h"

#include "framework/archive.h"

namespace velmora {
namespace {

void StoreFlag(CArchive& ar, bool flag) { ar << static_cast<std::int32_t>(flag ? 1 : 0); }

bool LoadFlag(CArchive& ar) {
  std::int32_t value = 0;
  ar >> value;
  return value != 0;
}

}  // namespace

VELMORA_IMPLEMENT_DYNCREATE(CStepFileCopy, CStepFile)

void CStepFileCopy::Serialize(CArchive& ar) {
  CStepFile::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_directoryRef << m_iconName;
    StoreFlag(ar, m_icon);
    StoreFlag(ar, m_readOnly);
    StoreFlag(ar, m_hidden);
    StoreFlag(ar, m_register);
    StoreFlag(ar, m_shared);
    StoreFlag(ar, m_useRecommended);
    return;
  }

  ar >> m_directoryRef;
  const std::uint16_t version = m_version;
  m_iconName.clear();
  m_readOnly = m_hidden = m_register = m_shared = false;
  if (version == 1) {
    // Version 1 kept two more strings here that later versions dropped.
    std::string discarded;
    ar >> discarded >> discarded;
    m_icon = LoadFlag(ar);
  } else {
    if (version >= 6) ar >> m_iconName;
    m_icon = LoadFlag(ar);
    m_readOnly = LoadFlag(ar);
    m_hidden = LoadFlag(ar);
    m_register = LoadFlag(ar);
    if (version >= 5) m_shared = LoadFlag(ar);
  }
  // Before version 7 the recommended location went with shared files.
  m_useRecommended = version >= 7 ? LoadFlag(ar) : m_shared;
}

bool CStepFileCopy::SetDirectory(const std::string& value) {
  m_directoryRef = value;
  return true;
}
bool CStepFileCopy::SetIcon(bool value) {
  m_icon = value;
  return true;
}
bool CStepFileCopy::SetReadOnly(bool value) {
  m_readOnly = value;
  return true;
}
bool CStepFileCopy::SetHidden(bool value) {
  m_hidden = value;
  return true;
}
bool CStepFileCopy::SetRegister(bool value) {
  m_register = value;
  return true;
}
bool CStepFileCopy::SetShared(bool value) {
  m_shared = value;
  return true;
}
bool CStepFileCopy::SetIconName(const std::string& value) {
  m_iconName = value;
  return true;
}
bool CStepFileCopy::SetUseRecommended(bool value) {
  m_useRecommended = value;
  return true;
}

bool CStepFileCopy::Validate(const StepList* steps, std::string* message) {
  if (!CStepFile::Validate(steps, message)) return false;
  if (m_directoryRef.empty()) {
    if (message != nullptr) *message = "You must enter a value for the directory group item";
    return false;
  }
  return true;
}

std::string CStepFileCopy::GetKindName() const { return "File for installation"; }

}  // namespace velmora
