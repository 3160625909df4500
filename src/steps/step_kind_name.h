// The kind name of any step, for listings: the GetKindName text of the ini
// value and file families, "" for the kinds that have none (registry and
// program group steps, and CStep itself).
#pragma once

#include <string>

namespace velmora {

class CStep;

std::string StepKindName(const CStep& step);

}  // namespace velmora
