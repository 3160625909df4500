#include "steps/step_kind_name.h"

#include "steps/step_file.h"
#include "steps/step_ini_value.h"

namespace velmora {

std::string StepKindName(const CStep& step) {
  if (const auto* ini = dynamic_cast<const CStepIniValue*>(&step)) return ini->GetKindName();
  if (const auto* file = dynamic_cast<const CStepFile*>(&step)) return file->GetKindName();
  return {};
}

}  // namespace velmora
