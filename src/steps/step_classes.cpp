#include "steps/step_classes.h"

#include <type_traits>

#include "steps/step_directory.h"
#include "steps/step_file_background.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"

namespace velmora {
namespace {

// The record of a class, which must derive from CStep: FindStepClass casts
// what the record creates to CStep.
template <class Step>
constexpr const CRuntimeClass* StepRecord(const CRuntimeClass* record) {
  static_assert(std::is_base_of_v<CStep, Step>, "only step classes are made by name");
  return record;
}
#define VELMORA_STEP_CLASS(class_name) StepRecord<class_name>(RUNTIME_CLASS(class_name))

// Addresses of constant records: the table is complete before any code
// runs, whatever the order of static initialisation.  CStep and CStepFile
// are not in it, which keeps them out of scripts and logs.
constexpr std::array<const CRuntimeClass*, kAcceptedStepClassNames.size()> kClasses = {
    VELMORA_STEP_CLASS(CStepDirectory),      VELMORA_STEP_CLASS(CStepIniValue),
    VELMORA_STEP_CLASS(CStepPMG),            VELMORA_STEP_CLASS(CStepRegistry),
    VELMORA_STEP_CLASS(CStepUserValue),      VELMORA_STEP_CLASS(CStepFileBackground),
    VELMORA_STEP_CLASS(CStepFileCopy),       VELMORA_STEP_CLASS(CStepFileDisplay),
    VELMORA_STEP_CLASS(CStepFileDisplayOptional),
};
#undef VELMORA_STEP_CLASS

}  // namespace

const std::array<const CRuntimeClass*, kAcceptedStepClassNames.size()>& AcceptedStepClasses() {
  return kClasses;
}

CStep* FindStepClass(const std::string& className) {
  for (const CRuntimeClass* cls : kClasses)
    if (className == cls->m_lpszClassName) return static_cast<CStep*>(cls->CreateObject());
  return nullptr;
}

}  // namespace velmora
