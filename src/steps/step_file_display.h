// CStepFileDisplay: shows an agreement text that the user must accept for
// the installation to go on.  The text is the payload, held in memory.
//
// Archive form after CStepFile's: the question.
#pragma once

#include <string>

#include "steps/step_file.h"

namespace velmora {

// The question a new agreement step shows after the agreement text.
extern const char* const kAgreementQuestion;

class CStepFileDisplay : public CStepFile {
  VELMORA_DECLARE_DYNCREATE(CStepFileDisplay)

 public:
  CStepFileDisplay();

  void Serialize(CArchive& ar) override;

  bool HasQuestion() const override { return true; }
  bool IsDisplayText() const override { return true; }

  std::string GetQuestion() const override { return m_question; }
  bool SetQuestion(const std::string& value) override;

  std::string GetKindName() const override;

  // Shows the text and the question in the agreement dialog with "I
  // accept" and "I do not accept".  1 (go on) when accepted; 2 when
  // refused, escaped or closed.
  int ShowText(const char* text) override;

 protected:
  std::string m_question;
};

}  // namespace velmora
