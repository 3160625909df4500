// Program Manager command strings as the simulated Program Manager reads
// and carries them out (sim_program_manager.h describes the commands).
#pragma once

#include <string>
#include <vector>

#include "backends/sim/sim_program_manager.h"

namespace velmora::sim {

// Names compared as Program Manager compares them: ASCII case ignored.
bool SameProgmanName(const std::string& a, const std::string& b);

struct ProgmanCommand {
  std::string name;
  std::vector<std::string> arguments;
};

// The commands of execute text; false when it is not a sequence of
// [Name(args)] commands.
bool ParseProgmanCommands(const std::string& text, std::vector<ProgmanCommand>& commands);

// Parses and carries out execute text on groups; current is the
// conversation's current group.  False (with groups unchanged) when a
// command cannot be parsed or carried out.
bool RunProgmanCommands(const std::string& text, std::vector<ProgramGroup>& groups,
                        std::string& current);

}  // namespace velmora::sim
