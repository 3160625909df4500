// The step properties that a record's tags carry, seen from the authoring
// side: the name a manifest uses for each, its record tag, whether it is a
// text or a flag, and the step operations that ask whether a kind keeps it,
// read it and set it.  The package writer writes one tag per property a
// step keeps; the listing reads them back the same way.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

class CStep;

enum class PropertyType { text, flag };

struct StepProperty {
  const char* key;  // manifest name, e.g. "ini_file"
  const char* tag;  // record tag, e.g. "IFNM"
  PropertyType type;
  bool (CStep::*has)() const;
  const char* (CStep::*label)() const;  // the editor's caption; null: "Icon"
  std::string (CStep::*getText)() const;
  bool (CStep::*getFlag)() const;
  bool (CStep::*setText)(const std::string&);
  bool (CStep::*setFlag)(bool);
};

inline constexpr std::size_t kStepPropertyCount = 15;

// In record tag order.
const std::array<StepProperty, kStepPropertyCount>& StepProperties();

// By manifest name ("prefix" is another name for "directory"); null when
// there is none.
const StepProperty* FindPropertyByKey(std::string_view key);
const StepProperty* FindPropertyByTag(std::string_view tag);

bool Keeps(const CStep& step, const StepProperty& property);
std::string GetText(const CStep& step, const StepProperty& property);
bool GetFlag(const CStep& step, const StepProperty& property);
const char* Label(const CStep& step, const StepProperty& property);
// False when the step does not keep the property.
bool SetText(CStep& step, const StepProperty& property, const std::string& value);
bool SetFlag(CStep& step, const StepProperty& property, bool value);

// A step class named in a manifest: the class name itself
// ("CStepFileCopy") or its short name ("file"); "" when it is neither.
std::string StepClassFromManifestName(std::string_view name);

struct StepClassName {
  const char* shortName;
  const char* className;
};
// The short names, one per class an installation script may name.
const std::array<StepClassName, 9>& StepClassNames();

}  // namespace velmora
