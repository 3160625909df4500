// The simulated machine's Program Manager: the DDE server "PROGMAN" with
// its groups and their items, kept in ROOT/.velmora/progman (in memory for
// a machine without a root).  A new store holds the groups a fresh system
// has: Accessories, Games, Main and StartUp.
//
// Execute data is a sequence of Program Manager commands, [Name(args)],
// arguments separated by commas, each bare or in double quotes (a quote
// ends a quoted argument; nothing is escaped).  CreateGroup makes a group
// (or finds it) and makes it the conversation's current group; ShowGroup
// makes an existing one current; AddItem(command, title) puts an item into
// the current group, replacing one of the same title; DeleteItem(title)
// takes it out (a missing item is no error); DeleteGroup removes a group
// with its items.  Names match without regard to ASCII case.  A command it
// cannot parse or carry out is not processed.
//
// Requests: "Groups" answers the group names, each followed by CR LF, then
// a zero byte; a group's name answers its description, a first line
//   "NAME",C:\WINDOWS\GROUPn.GRP,COUNT,1
// then one line per item ("TITLE","COMMAND"), then a zero byte.
//
// Faults make the next connections or transactions fail as a real system
// can: no server at all, a busy server, a server that lets a transaction
// run out of its time-out, a command not processed, or a transaction
// refused with an error no client retries.  A lasting fault fails every
// connection or transaction once the counted ones are met, as a shell that
// stays busy or never answers does.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "backends/sim/sim_program_groups.h"

namespace velmora::sim {

enum class DdeFault { noServer, busy, ackTimeout, notProcessed, refused };

class SimProgramManager {
 public:
  // store: the file of groups and items; empty keeps them in memory.
  explicit SimProgramManager(std::filesystem::path store);

  // ---- controls for tests and tools --------------------------------------------
  // The groups and items as they are now, in the order created.
  std::vector<ProgramGroup> Groups() const;
  // The next `count` connections (noServer) or transactions (the others)
  // fail with the fault, in the order injected.
  void InjectFault(DdeFault fault, int count = 1);
  // Every connection (noServer) or transaction (the others) after those
  // fails with the fault, until ClearFaults.
  void InjectLastingFault(DdeFault fault);
  // Drops the faults not yet met and the lasting ones.
  void ClearFaults() {
    noServerLeft_ = 0;
    faults_.clear();
    noServerLasting_ = false;
    lastingFault_ = 0;
  }
  // Every transaction, as "execute DATA" (up to its zero byte) or
  // "request ITEM", in order.
  const std::vector<std::string>& Transactions() const { return transactions_; }
  // Milliseconds clients waited: between attempts, and on transactions that
  // ran out of their time-out.
  std::uint64_t WaitedMs() const { return waitedMs_; }

  // ---- the server, for conversations ---------------------------------------------
  bool Connect();
  // Carries out execute data; ddeerror::none when accepted.  current is the
  // conversation's current group.
  std::uint32_t Execute(const std::string& data, std::string& current);
  // The reply to a request, or nullopt with the error in error.
  std::optional<std::string> Request(const std::string& item, std::uint32_t& error);
  void Wait(std::uint32_t milliseconds) { waitedMs_ += milliseconds; }

 private:
  std::uint32_t TakeFault();
  std::vector<ProgramGroup> Load() const;
  bool Save(const std::vector<ProgramGroup>& groups);

  std::filesystem::path store_;
  std::vector<ProgramGroup> memory_;  // the groups when there is no store
  int noServerLeft_ = 0;
  bool noServerLasting_ = false;
  std::deque<std::uint32_t> faults_;
  std::uint32_t lastingFault_ = 0;  // ddeerror::none: no lasting fault
  std::vector<std::string> transactions_;
  std::uint64_t waitedMs_ = 0;
};

}  // namespace velmora::sim
