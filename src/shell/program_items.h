// How the installation run adds a program item (an icon in the program
// group) for a finished step.  The Program Manager client that really does
// it joins later; until then the default handler accepts every item and
// shows nothing, so an installation with icons still succeeds.  Tests and
// tools may install their own handler to watch or refuse items.
#pragma once

#include <functional>
#include <string>

namespace velmora {

// Answers true when the item was added to the group.
using ProgramItemHandler = std::function<bool(
    const std::string& group, const std::string& commandLine, const std::string& title)>;

bool AddProgramItem(const std::string& group, const std::string& commandLine,
                    const std::string& title);

// Replaces the handler for as long as the object lives.
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
