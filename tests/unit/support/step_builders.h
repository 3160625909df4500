// Steps for tests, built by class with named fields:
//
//   FileStep({.name = "APP.EXE", .payload = bytes, .icon = true})
//   DirectoryStep({.name = "Main", .question = "Where?", .value = "C:\\APP"})
//
// A text not given or a flag left false is not set, so the step keeps its
// class's own value; every field that is given (an empty text too) must be
// one the kind keeps, or the test fails where the step is built.  Each builder answers a
// PackageStep, the step with its payload, as the package writer takes it;
// TakeStep hands over the step itself for tests that drive it by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/package_writer.h"
#include "steps/step.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"

namespace velmora::test {

// A fresh step of the class, nothing set.
inline PackageStep Step(const std::string& className) {
  PackageStep built{std::unique_ptr<CStep>(FindStepClass(className)), {}};
  EXPECT_NE(built.step, nullptr) << "no step class " << className;
  return built;
}

// The steps of a package part, in order.
template <typename... S>
std::vector<PackageStep> Steps(S&&... steps) {
  std::vector<PackageStep> list;
  (list.push_back(std::forward<S>(steps)), ...);
  return list;
}

// The step of a built PackageStep as its own class.
template <typename T>
std::unique_ptr<T> TakeStep(PackageStep built) {
  std::unique_ptr<T> step(dynamic_cast<T*>(built.step.get()));
  EXPECT_NE(step, nullptr) << "not of the class asked for";
  if (step != nullptr) static_cast<void>(built.step.release());
  return step;
}

namespace step_builders {

// Sets a field that was given; the setter answers whether the kind keeps it.
inline void Set(PackageStep& built, bool (CStep::*setter)(const std::string&),
                const std::optional<std::string>& value, const char* field) {
  if (built.step == nullptr || !value) return;
  EXPECT_TRUE(((*built.step).*setter)(*value))
      << built.step->GetRuntimeClass()->m_lpszClassName << " does not keep " << field;
}
inline void Set(PackageStep& built, bool (CStep::*setter)(bool), bool value, const char* field) {
  if (built.step == nullptr || !value) return;
  EXPECT_TRUE(((*built.step).*setter)(true))
      << built.step->GetRuntimeClass()->m_lpszClassName << " does not keep " << field;
}

}  // namespace step_builders

// ---- CStepFileCopy: a file placed on the machine ---------------------------------
struct FileFields {
  std::optional<std::string> name{};
  std::optional<std::string> directory = "<Windows>";  // the directory reference
  std::vector<std::uint8_t> payload{};
  bool icon = false;
  std::optional<std::string> iconName{};
  bool readOnly = false;
  bool hidden = false;
  bool shared = false;
  bool registers = false;
  bool useRecommended = false;
  // The stored times, seconds since 1970; 0 leaves the step's own.
  std::int32_t created = 0;
  std::int32_t modified = 0;
};

inline PackageStep FileStep(FileFields fields) {
  using step_builders::Set;
  PackageStep built = Step("CStepFileCopy");
  Set(built, &CStep::SetName, fields.name, "name");
  Set(built, &CStep::SetDirectory, fields.directory, "directory");
  Set(built, &CStep::SetIcon, fields.icon, "icon");
  Set(built, &CStep::SetIconName, fields.iconName, "iconName");
  Set(built, &CStep::SetReadOnly, fields.readOnly, "readOnly");
  Set(built, &CStep::SetHidden, fields.hidden, "hidden");
  Set(built, &CStep::SetShared, fields.shared, "shared");
  Set(built, &CStep::SetRegister, fields.registers, "registers");
  Set(built, &CStep::SetUseRecommended, fields.useRecommended, "useRecommended");
  if (auto* file = dynamic_cast<CStepFile*>(built.step.get())) {
    if (fields.created != 0) file->SetCreationTime(fields.created);
    if (fields.modified != 0) file->SetModificationTime(fields.modified);
  }
  built.payload = std::move(fields.payload);
  return built;
}

// ---- the file kinds whose payload is shown: CStepFileBackground (a picture),
// CStepFileDisplay and CStepFileDisplayOptional (a text) ----------------------------
struct ShownFileFields {
  std::string kind = "CStepFileDisplay";
  std::optional<std::string> name{};
  std::optional<std::string> question{};  // the text kinds only
  std::vector<std::uint8_t> payload{};
};

inline PackageStep ShownFileStep(ShownFileFields fields) {
  using step_builders::Set;
  PackageStep built = Step(fields.kind);
  Set(built, &CStep::SetName, fields.name, "name");
  Set(built, &CStep::SetQuestion, fields.question, "question");
  built.payload = std::move(fields.payload);
  return built;
}

// ---- the kinds that write a setting: CStepIniValue, CStepDirectory,
// CStepUserValue and CStepRegistry -------------------------------------------------
struct SettingFields {
  std::optional<std::string> name{};       // directory and user value
  std::optional<std::string> directory{};  // the directory the value is resolved against
  std::optional<std::string> question{};   // directory
  std::optional<std::string> value{};      // the default
  std::optional<std::string> iniFile{};
  std::optional<std::string> iniSection{};
  std::optional<std::string> iniEntry{};
  std::optional<std::string> regEntry{};  // registry, directory and user value
};

inline PackageStep SettingStep(const std::string& className, const SettingFields& fields) {
  using step_builders::Set;
  PackageStep built = Step(className);
  Set(built, &CStep::SetName, fields.name, "name");
  Set(built, &CStep::SetDirectory, fields.directory, "directory");
  Set(built, &CStep::SetQuestion, fields.question, "question");
  Set(built, &CStep::SetDefault, fields.value, "value");
  Set(built, &CStep::SetIniFile, fields.iniFile, "iniFile");
  Set(built, &CStep::SetIniSection, fields.iniSection, "iniSection");
  Set(built, &CStep::SetIniEntry, fields.iniEntry, "iniEntry");
  Set(built, &CStep::SetRegEntry, fields.regEntry, "regEntry");
  return built;
}

inline PackageStep IniValueStep(const SettingFields& fields) {
  return SettingStep("CStepIniValue", fields);
}
inline PackageStep DirectoryStep(const SettingFields& fields) {
  return SettingStep("CStepDirectory", fields);
}
inline PackageStep UserValueStep(const SettingFields& fields) {
  return SettingStep("CStepUserValue", fields);
}
inline PackageStep RegistryStep(const SettingFields& fields) {
  return SettingStep("CStepRegistry", fields);
}

// ---- CStepPMG: the program group --------------------------------------------------
inline PackageStep GroupStep(const std::string& name) {
  PackageStep built = Step("CStepPMG");
  step_builders::Set(built, &CStep::SetName, name, "name");
  return built;
}

}  // namespace velmora::test
