// A simulated machine installed as the current machine for framework tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "backends/sim/sim_machine.h"
#include "unit/support/temp_root.h"

namespace velmora::testing {

class SimMachineTest : public ::testing::Test {
 protected:
  // The bytes of a file on drive C:, read behind the machine's back.
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
