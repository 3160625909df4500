#include "steps/step_file_display_optional.h"

namespace velmora {

const char* const kReadmeQuestion = "If you wish to view the readme file, press Yes now, otherwise press No";

VELMORA_IMPLEMENT_DYNCREATE(CStepFileDisplayOptional, CStepFileDisplay)

CStepFileDisplayOptional::CStepFileDisplayOptional() { m_question = kReadmeQuestion; }

std::string CStepFileDisplayOptional::GetKindName() const { return "Readme text"; }

}  // namespace velmora
