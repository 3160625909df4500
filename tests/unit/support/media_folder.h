// The installation media of the run and reader tests: the folder C:\MEDIA,
// made the machine's current directory, holding the setup program that
// runs (Setup.exe) and the media files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora::test {

inline constexpr const char* kMediaFolder = "C:\\MEDIA";
// The running setup program: the media's Setup.exe.
inline constexpr const char* kMediaSetup = "C:\\MEDIA\\Setup.exe";
inline constexpr const char* kSetupBytes = "MZ setup program";

// Media files by name, with their bytes.
using MediaFiles = std::vector<std::pair<std::string, std::string>>;

// Makes the media folder on a machine with Setup.exe and the files in it,
// and makes it the current directory.
inline void MakeMediaFolder(Machine& machine, const MediaFiles& files = {}) {
  EXPECT_EQ(machine.CreateDirectory(kMediaFolder), FileCause::none);
  EXPECT_EQ(machine.SetCurrentDirectory(kMediaFolder), FileCause::none);
  EXPECT_EQ(testing::PutFile(machine, kMediaSetup, kSetupBytes), FileCause::none);
  for (const auto& [name, bytes] : files)
    EXPECT_EQ(testing::PutFile(machine, std::string(kMediaFolder) + "\\" + name, bytes),
              FileCause::none)
        << name;
}

// A simulated machine of its own in a fresh host folder, with the media
// folder, current for as long as it lives: for runs that each need a fresh
// machine.
class MediaFolder {
 public:
  explicit MediaFolder(const MediaFiles& files = {}) { MakeMediaFolder(machine_, files); }
  MediaFolder(const MediaFolder&) = delete;
  MediaFolder& operator=(const MediaFolder&) = delete;

  SimMachine& Machine() { return machine_; }
  const std::filesystem::path& Root() const { return root_.path(); }

 private:
  testing::TempRoot root_{"media"};
  SimMachine machine_{root_.path()};
  ScopedMachine scope_{machine_};
};

}  // namespace velmora::test
