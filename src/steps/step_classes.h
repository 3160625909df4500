// The step classes an installation script or uninstall log may name, as a
// constant table of their runtime class records.  FindStepClass
// (steps/step_factory.h) searches it, so every class is found from the
// program's start, with no object of it alive.
#pragma once

#include <array>

#include "framework/runtime_class.h"
#include "steps/step_factory.h"

namespace velmora {

// In the order of kAcceptedStepClassNames.
const std::array<const CRuntimeClass*, kAcceptedStepClassNames.size()>& AcceptedStepClasses();

}  // namespace velmora
