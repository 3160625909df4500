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
  bool HasText() const override { return true; }
  bool IsDisplayText() const override { return true; }

  std::string GetQuestion() const override { return m_question; }
  bool SetQuestion(const std::string& value) override;

  std::string GetKindName() const override;

  // The text is accepted without being shown: there is no agreement
  // dialog on the Ui yet.  Answers 1 (go on).
  int ShowText(const char* text) override;

 protected:
  std::string m_question;
};

}  // namespace velmora
