// What a run changed in the simulated Program Manager, as lines for people:
//   program group "Tools" created
//   program item "Editor" in "Tools": C:\APPS\EDIT.EXE
//   program item "Editor" removed from "Tools"
//   program group "Tools" removed
#pragma once

#include <string>
#include <vector>

#include "backends/sim/sim_program_groups.h"

namespace velmora::cli {

std::vector<std::string> ProgramGroupChanges(const std::vector<sim::ProgramGroup>& before,
                                             const std::vector<sim::ProgramGroup>& after);

}  // namespace velmora::cli
