// The program items of an installation (icons in its program group), as the
// runs reach them: the installation run adds an item for every finished
// step that asks for one; the uninstallation run deletes those items, asks
// for the group's description and deletes the group when it is empty.
//
// The operations go to the Program Manager client
// (services/program_manager.h) on the current machine; a machine without a
// Program Manager refuses items and answers no description.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

bool AddProgramItem(const std::string& group, const std::string& commandLine,
                    const std::string& title);
bool DeleteProgramItem(const std::string& group, const std::string& title);
std::optional<std::string> RequestProgramGroup(const std::string& group);
bool DeleteProgramGroup(const std::string& group);

// The names of the groups Program Manager holds; nullopt when it cannot be
// asked.
std::optional<std::vector<std::string>> ProgramGroupNames();

// The number of items a group's description reports: after the second
// double quote, past the second comma that follows, the decimal digits
// there; nullopt when any of these is missing, so a description that does
// not read as a count never passes for an empty group.
std::optional<unsigned> ProgramGroupItemCount(const std::string& description);

}  // namespace velmora
