#include "steps/possible_prompts_of.h"

#include "steps/step.h"
#include "steps/step_directory.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_user_value.h"

namespace velmora {

PossiblePrompts PossiblePromptsOf(const std::vector<const CStep*>& steps) {
  PossiblePrompts prompts;
  for (const CStep* step : steps) {
    if (step->IsKindOf(RUNTIME_CLASS(CStepDirectory))) {
      prompts.directoryQuestions.push_back(step->GetQuestion());
      prompts.directoryStepNames.push_back(step->GetName());
    } else if (step->IsKindOf(RUNTIME_CLASS(CStepUserValue))) {
      prompts.userLabels.push_back(step->GetName());
    } else if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) {
      prompts.groupNames.push_back(step->GetName());
    } else if (step->IsKindOf(RUNTIME_CLASS(CStepFileDisplayOptional))) {
      prompts.readmes = true;
    } else if (step->IsKindOf(RUNTIME_CLASS(CStepFileDisplay))) {
      prompts.agreements = true;
    } else if (step->IsKindOf(RUNTIME_CLASS(CStepFileCopy))) {
      prompts.fileReplacements = true;
    }
  }
  return prompts;
}

}  // namespace velmora
