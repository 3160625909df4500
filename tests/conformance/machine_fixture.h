// Machine conformance: the same cases run against the simulated machine on
// the host and against the real Win32 machine in the Windows build (under
// Wine or on Windows).  Where the two disagree, the sim is wrong.
//
// Each test gets a fresh scratch directory, Scratch(), as a Windows path,
// and the machine under test installed as the current machine.  On the host
// that is a SimMachine in a new temporary root; on Windows it is the native
// machine with a uniquely named folder under C:\ that is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "unit/support/sim_machine_test_util.h"

#ifdef _WIN32
#include "backends/win32/native.h"
#include "backends/win32/wine_detect.h"
#else
#include "backends/sim/sim_machine.h"
#include "unit/support/temp_root.h"
#endif

namespace velmora::testing {

// Deletes a directory and everything in it through the machine, clearing
// read-only bits on the way.
inline void RemoveTree(Machine& machine, const std::string& directory) {
  std::vector<DirEntry> entries;
  if (machine.ListDirectory(directory, entries) == FileCause::none) {
    for (const DirEntry& entry : entries) {
      const std::string path = directory + "\\" + entry.name;
      machine.SetFileAttributes(path, attr::normal);
      if ((entry.attributes & attr::directory) != 0) RemoveTree(machine, path);
      else machine.DeleteFile(path);
    }
  }
  machine.SetFileAttributes(directory, attr::normal);
  machine.RemoveDirectory(directory);
}

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    machine_ = &NativeMachine();
    std::random_device random;
    scratch_ = "C:\\velmora-conformance-" + std::to_string(random()) + "-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
#else
    root_ = std::make_unique<TempRoot>("conformance");
    sim_ = std::make_unique<SimMachine>(root_->path());
    machine_ = sim_.get();
    scratch_ = "C:\\Scratch";
#endif
    scope_.emplace(*machine_);
    savedCurrent_ = machine_->GetCurrentDirectory();
    ASSERT_EQ(machine_->CreateDirectory(scratch_), FileCause::none) << scratch_;
  }

  void TearDown() override {
    machine_->SetCurrentDirectory(savedCurrent_);
    RemoveTree(*machine_, scratch_);
    scope_.reset();
  }

  Machine& machine() { return *machine_; }
  const std::string& Scratch() const { return scratch_; }
  std::string At(const std::string& name) const { return scratch_ + "\\" + name; }

  static bool UnderWine() {
#ifdef _WIN32
    return RunningUnderWine();
#else
    return false;
#endif
  }

 private:
#ifndef _WIN32
  std::unique_ptr<TempRoot> root_;
  std::unique_ptr<SimMachine> sim_;
#endif
  Machine* machine_ = nullptr;
  std::optional<ScopedMachine> scope_;
  std::string scratch_;
  std::string savedCurrent_;
};

}  // namespace velmora::testing
