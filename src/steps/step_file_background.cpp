#include "steps/step_file_background.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepFileBackground, CStepFile)

const char* CStepFileBackground::GetPreview() {
  m_previewText = m_bitmap == 0 ? std::string() : std::to_string(m_bitmap);
  return m_previewText.c_str();
}

bool CStepFileBackground::SetName(const std::string& value) {
  // The picture belongs to the old name.  The handle itself is released by
  // the bitmap layer that made it.
  m_bitmap = 0;
  return CStepFile::SetName(value);
}

std::string CStepFileBackground::GetKindName() const { return "Background image"; }

}  // namespace velmora
