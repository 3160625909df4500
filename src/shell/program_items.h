// What the runs read of Program Manager's groups: a group's description and
// the item count it reports, and the names of the groups.  Items are added
// and deleted through the Program Manager client (services/program_manager.h)
// directly; a machine without a Program Manager answers no description.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

std::optional<std::string> RequestProgramGroup(const std::string& group);

// The names of the groups Program Manager holds; nullopt when it cannot be
// asked.
std::optional<std::vector<std::string>> ProgramGroupNames();

// The number of items a group's description reports: after the second
// double quote, past the second comma that follows, the decimal digits
// there; nullopt when any of these is missing, so a description that does
// not read as a count never passes for an empty group.
std::optional<unsigned> ProgramGroupItemCount(const std::string& description);

}  // namespace velmora
