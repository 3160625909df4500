// Fault injection for the simulated machine: "make the Nth call of
// operation X fail with cause C".  Tests use it to reach the error paths a
// real machine takes only on a bad day (disk errors, files in use).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/file_exception.h"

namespace velmora::sim {

class FaultPlan {
 public:
  // nth counts calls of operation from now on, starting at 1.  Throws
  // std::invalid_argument for an operation name the machine does not have
  // or nth < 1, so a typing error in a test does not silently test nothing.
  void Add(const std::string& operation, int nth, FileCause cause);
  // Counts one call of operation; answers the cause of a fault that falls
  // due on it (the first added when several do), none otherwise.
  FileCause Next(const std::string& operation);
  void Clear() { faults_.clear(); }
  std::size_t Pending() const { return faults_.size(); }
  // Calls counted by Next so far, by operation name (Clear keeps them), so
  // a test can run once and then fail each call in turn.
  const std::map<std::string, int>& Calls() const { return calls_; }

  static bool IsKnownOperation(const std::string& operation);

 private:
  struct Fault {
    std::string operation;
    int remaining;
    FileCause cause;
  };
  std::vector<Fault> faults_;
  std::map<std::string, int> calls_;
};

}  // namespace velmora::sim
