// The step classes an installation script or uninstall log may name, one
// row per class: its runtime class record, whose name is the one a record
// spells ("CStepFileCopy"), and the short name a manifest may give it
// instead ("file").  FindStepClass (steps/step_factory.h) searches this
// table, so every class is found from the program's start, with no object
// of it alive; the manifest reader (authoring/step_properties.h) works from
// it too, so a new step class is one row here.  CStep and CStepFile are not
// in it, which keeps them out of scripts and logs.
#pragma once

#include <span>

#include "framework/runtime_class.h"

namespace velmora {

struct StepClass {
  const CRuntimeClass* record;
  const char* shortName;  // a manifest's name for the class, e.g. "file"

  const char* ClassName() const { return record->m_lpszClassName; }
};

std::span<const StepClass> StepClasses();

}  // namespace velmora
