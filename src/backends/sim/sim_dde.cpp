// DDE on the simulated machine: the one server it has is its Program
// Manager, under the name "PROGMAN".  A conversation keeps its own current
// group, as a new conversation with the shell must name a group before it
// adds items.  Waits only count the time, so nothing sleeps; so does a
// transaction that runs out of its time-out.
#include <utility>

#include "backends/sim/sim_machine.h"
#include "backends/sim/sim_progman_text.h"

namespace velmora {
namespace {

class SimDdeConversation final : public DdeConversation {
 public:
  explicit SimDdeConversation(sim::SimProgramManager& server) : server_(server) {}

  bool Execute(const std::string& data, std::uint32_t timeoutMs) override {
    lastError_ = server_.Execute(data, current_);
    CountTimeout(timeoutMs);
    return lastError_ == ddeerror::none;
  }
  std::optional<std::string> Request(const std::string& item, std::uint32_t timeoutMs) override {
    std::optional<std::string> reply = server_.Request(item, lastError_);
    CountTimeout(timeoutMs);
    return reply;
  }
  // Reading the error clears it, as DdeGetLastError does.
  std::uint32_t LastError() override { return std::exchange(lastError_, ddeerror::none); }
  void Wait(std::uint32_t milliseconds) override { server_.Wait(milliseconds); }

 private:
  void CountTimeout(std::uint32_t timeoutMs) {
    if (lastError_ == ddeerror::execAckTimeout) server_.Wait(timeoutMs);
  }

  sim::SimProgramManager& server_;
  std::string current_;
  std::uint32_t lastError_ = ddeerror::none;
};

}  // namespace

std::unique_ptr<DdeConversation> SimMachine::ConnectDde(const std::string& serviceAndTopic, bool) {
  if (!sim::SameProgmanName(serviceAndTopic, "PROGMAN") || !programManager_.Connect())
    return nullptr;
  return std::make_unique<SimDdeConversation>(programManager_);
}

}  // namespace velmora
