// Shared setup of the package writer and reader tests: a simulated machine
// made current with the package folder, and the steps they write.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "authoring/package_reader.h"
#include "authoring/package_writer.h"
#include "authoring/step_properties.h"
#include "platform/machine.h"
#include "unit/support/sim_machine_fixture.h"
#include "unit/support/step_builders.h"

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr const char* kPackageFolder = "C:\\PKG";

// Bytes that the encoder can hardly shorten: a fixed pseudo-random series.
inline std::vector<std::uint8_t> NoisyBytes(std::size_t count, std::uint32_t seed = 1) {
  std::vector<std::uint8_t> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

// An ini value step of LANTERN.INI [Options] whose value names its entry.
inline PackageStep IniStep(const std::string& entry) {
  return IniValueStep({.value = "value of " + entry,
                       .iniFile = "LANTERN.INI",
                       .iniSection = "Options",
                       .iniEntry = entry});
}

class PackageTest : public testing::SimMachineTest {
 protected:
  void SetUp() override { ASSERT_EQ(machine_.CreateDirectory(kPackageFolder), FileCause::none); }

  WriteResult Write(const PackageDefinition& package, const WriterOptions& options = {}) {
    return WritePackage(package, kPackageFolder, options);
  }

  PackageContents ReadBack() {
    PackageContents contents;
    PackageReader reader(kPackageFolder);
    EXPECT_TRUE(reader.ReadPackage(contents))
        << reader.Failure().file << " at " << reader.Failure().offset << ": "
        << reader.Failure().message;
    return contents;
  }

  std::string MediaPath(const std::string& name) const {
    return std::string(kPackageFolder) + "\\" + name;
  }
  Bytes MediaBytes(const std::string& name) { return FileBytes(MediaPath(name)); }
  void SetMediaBytes(const std::string& name, const Bytes& bytes) {
    SetFile(MediaPath(name), bytes);
  }
  // Every file in the package folder.
  std::vector<std::string> FolderNames() {
    std::vector<DirEntry> entries;
    machine_.ListDirectory(kPackageFolder, entries);
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace velmora::test
