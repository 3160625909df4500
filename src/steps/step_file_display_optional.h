// CStepFileDisplayOptional: offers a readme text that the user may read or
// skip.  Archive form: the agreement step's, nothing added.
#pragma once

#include <string>

#include "steps/step_file_display.h"

namespace velmora {

// The question a new readme step asks before showing the text.
extern const char* const kReadmeQuestion;

class CStepFileDisplayOptional : public CStepFileDisplay {
  VELMORA_DECLARE_DYNCREATE(CStepFileDisplayOptional)

 public:
  CStepFileDisplayOptional();

  std::string GetKindName() const override;
};

}  // namespace velmora
