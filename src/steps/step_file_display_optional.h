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

  // Asks the question (Yes/No); after Yes shows the text in the agreement
  // dialog with a single "OK".  1 (go on) after No or OK; 2 when the text
  // was escaped or closed.
  int ShowText(const char* text) override;
};

}  // namespace velmora
