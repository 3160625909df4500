// Shared setup of the package writer and reader tests: a memory machine
// made current, and small builders.
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
#include "steps/step.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"
#include "unit/support/memory_machine.h"

namespace velmora::test {

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

inline std::unique_ptr<CStep> NewStep(const std::string& className) {
  std::unique_ptr<CStep> step(FindStepClass(className));
  EXPECT_NE(step, nullptr) << className;
  return step;
}

// A step of the class with the given properties ("key" -> text); flags are
// given as "true"/"false".
inline PackageStep MakeStep(const std::string& className,
                            const std::vector<std::pair<std::string, std::string>>& properties,
                            std::vector<std::uint8_t> payload = {}) {
  PackageStep result{NewStep(className), std::move(payload)};
  for (const auto& [key, value] : properties) {
    const StepProperty* property = FindPropertyByKey(key);
    EXPECT_NE(property, nullptr) << key;
    if (property == nullptr) continue;
    const bool kept = property->type == PropertyType::text
                          ? SetText(*result.step, *property, value)
                          : SetFlag(*result.step, *property, value == "true");
    EXPECT_TRUE(kept) << className << " does not keep " << key;
  }
  return result;
}

inline PackageStep FileStep(const std::string& name, std::vector<std::uint8_t> payload,
                            std::int32_t created = 838893600, std::int32_t modified = 839000000) {
  PackageStep step = MakeStep("CStepFileCopy", {{"name", name}, {"directory", "<Windows>"}},
                              std::move(payload));
  auto* file = dynamic_cast<CStepFile*>(step.step.get());
  file->SetCreationTime(created);
  file->SetModificationTime(modified);
  return step;
}

inline PackageStep IniStep(const std::string& entry) {
  return MakeStep("CStepIniValue", {{"ini_file", "LANTERN.INI"},
                                    {"ini_section", "Options"},
                                    {"ini_entry", entry},
                                    {"default", "value of " + entry}});
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(machine.CreateDirectory(kPackageFolder), FileCause::none); }

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
  MemoryMachine::Bytes& MediaBytes(const std::string& name) {
    return machine.MutableFile(MediaPath(name));
  }
  // Every file in the package folder.
  std::vector<std::string> FolderNames() {
    std::vector<DirEntry> entries;
    machine.ListDirectory(kPackageFolder, entries);
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  MemoryMachine machine;
  ScopedMachine scopedMachine{machine};
};

}  // namespace velmora::test
