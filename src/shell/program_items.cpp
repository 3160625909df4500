#include "shell/program_items.h"

#include <utility>

namespace velmora {
namespace {

ProgramItemHandler& Handler() {
  static ProgramItemHandler handler;  // empty: every item is accepted
  return handler;
}

}  // namespace

bool AddProgramItem(const std::string& group, const std::string& commandLine,
                    const std::string& title) {
  const ProgramItemHandler& handler = Handler();
  if (!handler) return true;
  return handler(group, commandLine, title);
}

ScopedProgramItemHandler::ScopedProgramItemHandler(ProgramItemHandler handler)
    : previous_(std::exchange(Handler(), std::move(handler))) {}

ScopedProgramItemHandler::~ScopedProgramItemHandler() { Handler() = std::move(previous_); }

}  // namespace velmora
