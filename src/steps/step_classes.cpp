#include "steps/step_classes.h"

#include <string>
#include <type_traits>

#include "steps/step_directory.h"
#include "steps/step_factory.h"
#include "steps/step_file_background.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"

namespace velmora {
namespace {

// The row of a class, which must derive from CStep: FindStepClass casts
// what the record creates to CStep.
template <class Step>
constexpr StepClass Row(const CRuntimeClass* record, const char* shortName) {
  static_assert(std::is_base_of_v<CStep, Step>, "only step classes are made by name");
  return {record, shortName};
}
#define VELMORA_STEP_CLASS(class_name, short_name) \
  Row<class_name>(RUNTIME_CLASS(class_name), short_name)

// Addresses of constant records: the table is complete before any code
// runs, whatever the order of static initialisation.
constexpr StepClass kClasses[] = {
    VELMORA_STEP_CLASS(CStepDirectory, "directory"),
    VELMORA_STEP_CLASS(CStepIniValue, "ini_value"),
    VELMORA_STEP_CLASS(CStepPMG, "program_group"),
    VELMORA_STEP_CLASS(CStepRegistry, "registry"),
    VELMORA_STEP_CLASS(CStepUserValue, "user_value"),
    VELMORA_STEP_CLASS(CStepFileBackground, "background"),
    VELMORA_STEP_CLASS(CStepFileCopy, "file"),
    VELMORA_STEP_CLASS(CStepFileDisplay, "agreement"),
    VELMORA_STEP_CLASS(CStepFileDisplayOptional, "readme"),
};
#undef VELMORA_STEP_CLASS

}  // namespace

std::span<const StepClass> StepClasses() { return kClasses; }

CStep* FindStepClass(const std::string& className) {
  for (const StepClass& row : kClasses)
    if (className == row.ClassName()) return static_cast<CStep*>(row.record->CreateObject());
  return nullptr;
}

}  // namespace velmora
