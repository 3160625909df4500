#include "steps/step_file_display_optional.h"

#include "dialogs/agreement_dialog.h"
#include "platform/ui.h"

namespace velmora {

const char* const kReadmeQuestion =
    "If you wish to view the readme file, press Yes now, otherwise press No";

VELMORA_IMPLEMENT_DYNCREATE(CStepFileDisplayOptional, CStepFileDisplay)

CStepFileDisplayOptional::CStepFileDisplayOptional() { m_question = kReadmeQuestion; }

std::string CStepFileDisplayOptional::GetKindName() const { return "Readme text"; }

}  // namespace velmora

namespace velmora {

// Any answer but Yes skips the readme and goes on; after Yes only OK goes
// on: Escape or the close box stop the installation as a refusal does.
int CStepFileDisplayOptional::ShowText(const char* text) {
  CAgreementDialog dialog;
  dialog.m_acceptCaption = "OK";
  if (AppMessageBox(m_question, mb::yesNo | mb::iconQuestion) != id::yes) return 1;
  dialog.m_text = text;
  return dialog.DoModal();
}

}  // namespace velmora
