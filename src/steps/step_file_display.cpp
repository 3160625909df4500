#include "steps/step_file_display.h"

#include "dialogs/agreement_dialog.h"
#include "framework/archive.h"

namespace velmora {

const char* const kAgreementQuestion =
    "Please read the agreement.  Only if you agree to the terms and conditions in full may you "
    "continue with the installation.  "
    "Installing this product indicates agreement in full with the terms and conditions.  "
    "If you do not agree with the terms and conditions, press the \"I do not accept\" button to "
    "quit the installation.";

VELMORA_IMPLEMENT_DYNCREATE(CStepFileDisplay, CStepFile)

CStepFileDisplay::CStepFileDisplay() : m_question(kAgreementQuestion) {}

void CStepFileDisplay::Serialize(CArchive& ar) {
  CStepFile::Serialize(ar);
  if (ar.IsStoring()) ar << m_question;
  else ar >> m_question;
}

bool CStepFileDisplay::SetQuestion(const std::string& value) {
  m_question = value;
  return true;
}

std::string CStepFileDisplay::GetKindName() const { return "Agreement text"; }

// The agreement, then three line breaks and the question when there is one.
// The text is shown exactly as stored: its line ends are not converted.
int CStepFileDisplay::ShowText(const char* text) {
  CAgreementDialog dialog;
  const char* separator = m_question.empty() ? "" : "\r\n\r\n\r\n";
  dialog.m_acceptCaption = "I accept";
  dialog.m_refuseCaption = "I do not accept";
  dialog.m_text = std::string(text) + separator + m_question;
  return dialog.DoModal();
}

}  // namespace velmora
