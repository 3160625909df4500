// The prompts a list of steps can show (platform/possible_prompts.h), read
// off their records: what a directory, user value or program group step
// asks, and whether an agreement, a readme or a file replacement can come.
#pragma once

#include <vector>

#include "platform/possible_prompts.h"

namespace velmora {

class CStep;

PossiblePrompts PossiblePromptsOf(const std::vector<const CStep*>& steps);

}  // namespace velmora
