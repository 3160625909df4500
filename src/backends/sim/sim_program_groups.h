// The groups and items of the simulated machine's Program Manager, as the
// tools see them.
#pragma once

#include <string>
#include <vector>

namespace velmora::sim {

struct ProgramItem {
  std::string title;
  std::string commandLine;
};

struct ProgramGroup {
  std::string name;
  std::vector<ProgramItem> items;
};

}  // namespace velmora::sim
