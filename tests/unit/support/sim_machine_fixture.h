// A simulated machine in a fresh host folder, installed as the current
// machine for the length of one test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora::testing {

class SimMachineTest : public ::testing::Test {
 protected:
  // A file of the machine made (or replaced) through the machine.
  void SetFile(const std::string& path, std::string_view bytes) {
    EXPECT_EQ(PutFile(machine_, path, std::string(bytes)), FileCause::none) << path;
  }
  void SetFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    SetFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  // What a file holds, read through the machine ("<cause>" when it cannot
  // be read).
  std::vector<std::uint8_t> FileBytes(const std::string& path) {
    const std::string bytes = GetFile(machine_, path);
    return {bytes.begin(), bytes.end()};
  }

  // Calls of a machine operation ("WriteFile") so far.
  int Calls(const std::string& operation) const {
    const auto found = machine_.OperationCalls().find(operation);
    return found == machine_.OperationCalls().end() ? 0 : found->second;
  }

  // The bytes of a file on drive C:, read or planted behind the machine's
  // back (while the machine holds the file open, say).
  std::string HostBytes(const std::string& name) const {
    return ReadHostFile(root_.path() / "C" / name);
  }
  void PlantBytes(const std::string& name, const std::string& bytes) const {
    WriteHostFile(root_.path() / "C" / name, bytes);
  }

  TempRoot root_;
  SimMachine machine_{root_.path()};
  ScopedMachine scope_{machine_};
};

}  // namespace velmora::testing
