// The program items of an installation (icons in its program group), as the
// runs reach them: the installation run adds an item for every finished
// step that asks for one; the uninstallation run deletes those items, asks
// for the group's description and deletes the group when it is empty.
//
// Without a handler of their own the operations go to the Program Manager
// client (services/program_manager.h) on the current machine; a machine
// without a Program Manager refuses items and answers no description.
// Tests install their own handlers to watch, answer or refuse.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Answers true when the item was added to the group.
using ProgramItemHandler = std::function<bool(
    const std::string& group, const std::string& commandLine, const std::string& title)>;

// Every Program Manager operation the runs use; an empty member keeps the
// default behaviour of that operation.
struct ProgramManagerHandlers {
  ProgramItemHandler addItem;
  std::function<bool(const std::string& group, const std::string& title)> deleteItem;
  // The group's description text, or nullopt when the request failed.
  std::function<std::optional<std::string>(const std::string& group)> requestGroup;
  std::function<bool(const std::string& group)> deleteGroup;
  std::function<std::optional<std::vector<std::string>>()> listGroups;
};

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

// Replaces the handlers for as long as the object lives.
class ScopedProgramManager {
 public:
  explicit ScopedProgramManager(ProgramManagerHandlers handlers);
  ~ScopedProgramManager();
  ScopedProgramManager(const ScopedProgramManager&) = delete;
  ScopedProgramManager& operator=(const ScopedProgramManager&) = delete;

 private:
  ProgramManagerHandlers previous_;
};

// Replaces only the handler that adds items.
class ScopedProgramItemHandler {
 public:
  explicit ScopedProgramItemHandler(ProgramItemHandler handler);
  ~ScopedProgramItemHandler();
  ScopedProgramItemHandler(const ScopedProgramItemHandler&) = delete;
  ScopedProgramItemHandler& operator=(const ScopedProgramItemHandler&) = delete;

 private:
  ProgramItemHandler previous_;
};

}  // namespace velmora
