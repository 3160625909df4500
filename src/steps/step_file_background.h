// CStepFileBackground: a picture shown behind the installation.  Its payload
// is a bitmap file held in memory, not written to disk.  Archive form: the
// file step's, nothing added.
#pragma once

#include <cstdint>
#include <string>

#include "steps/step_file.h"

namespace velmora {

class CStepFileBackground : public CStepFile {
  VELMORA_DECLARE_DYNCREATE(CStepFileBackground)

 public:
  CStepFileBackground() = default;

  bool HasPreview() const override { return true; }
  bool IsBackgroundImage() const override { return true; }

  // The bitmap handle as decimal text, "" while there is no picture.
  const char* GetPreview() override;
  // Drops the picture made from the previous name, then stores the name.
  bool SetName(const std::string& value) override;

  std::string GetKindName() const override;

 protected:
  // Handle of the picture made by the bitmap loader; 0 = none.
  std::uintptr_t m_bitmap = 0;
  std::string m_previewText;
};

}  // namespace velmora
