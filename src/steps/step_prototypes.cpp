#include "steps/step_prototypes.h"

#include "steps/step_directory.h"
#include "steps/step_file_background.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"

namespace velmora {

// One of each class an installation script may name; CStep and CStepFile
// get none, which is what keeps them out of scripts.
StepPrototypes::StepPrototypes() {
  prototypes_.reserve(9);
  try {
    prototypes_.push_back(new CStepDirectory);
    prototypes_.push_back(new CStepIniValue);
    prototypes_.push_back(new CStepPMG);
    prototypes_.push_back(new CStepRegistry);
    prototypes_.push_back(new CStepUserValue);
    prototypes_.push_back(new CStepFileBackground);
    prototypes_.push_back(new CStepFileCopy);
    prototypes_.push_back(new CStepFileDisplay);
    prototypes_.push_back(new CStepFileDisplayOptional);
  } catch (...) {
    for (CStep* step : prototypes_) delete step;
    throw;
  }
}

StepPrototypes::~StepPrototypes() {
  for (CStep* step : prototypes_) delete step;
}

}  // namespace velmora
