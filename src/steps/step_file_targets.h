// Which file step of the running installation placed a file at a target
// path.  When a later step replaces that file, the earlier step still
// holds what was there before the installation, so only the earlier step
// may restore the target at a roll-back.
#pragma once

#include <string>

namespace velmora {

class CStepFile;

// The step that placed a file at `target` (compared without regard to
// case); null when none did.
CStepFile* PlacedTargetOwner(const std::string& target);
void RememberPlacedTarget(const std::string& target, CStepFile* step);
// Forgets every target `step` placed.
void ForgetPlacedTarget(const CStepFile* step);

}  // namespace velmora
