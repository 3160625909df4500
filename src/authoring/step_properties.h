// The step properties that a record's tags carry (StepProperties(),
// steps/step_tags.h), seen from the authoring side: found by manifest name
// or tag, read and set on a step.  The package writer writes one tag per
// property a step keeps; the listing reads them back the same way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "steps/step_tags.h"

namespace velmora {

// By manifest name ("prefix" is another name for "directory"); null when
// there is none.
const StepProperty* FindPropertyByKey(std::string_view key);
const StepProperty* FindPropertyByTag(std::string_view tag);

bool Keeps(const CStep& step, const StepProperty& property);
std::string GetText(const CStep& step, const StepProperty& property);
bool GetFlag(const CStep& step, const StepProperty& property);
const char* Label(const CStep& step, const StepProperty& property);
// False when the step does not keep the property.
bool SetText(CStep& step, const StepProperty& property, const std::string& value);
bool SetFlag(CStep& step, const StepProperty& property, bool value);

// A step class named in a manifest: the class name itself
// ("CStepFileCopy") or its short name ("file"), both from StepClasses()
// (steps/step_classes.h); "" when it is neither.
std::string StepClassFromManifestName(std::string_view name);

}  // namespace velmora
