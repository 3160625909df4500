// The tagged properties of a step record, one row per record tag: the tag,
// whether its value is a text or a flag, the name a manifest gives it, and
// the step operations that tell whether a kind keeps it, caption it, read it
// and set it.  The record reader (step_record.cpp), the package writer and
// the listings (authoring/step_properties.h) all work from this one table,
// so a new property is one row here.
#pragma once

#include <span>
#include <string>

namespace velmora {

class CStep;

enum class PropertyType { text, flag };

struct StepProperty {
  const char* key;  // manifest name, e.g. "ini_file"
  const char* tag;  // record tag, e.g. "IFNM": four letters
  PropertyType type;
  bool (CStep::*has)() const;
  const char* (CStep::*label)() const;  // the editor's caption; null: "Icon"
  std::string (CStep::*getText)() const;
  bool (CStep::*getFlag)() const;
  bool (CStep::*setText)(const std::string&);
  bool (CStep::*setFlag)(bool);
};

// In record tag order.
std::span<const StepProperty> StepProperties();

// The tag that ends the tagged fields of a record.
inline constexpr const char* kEndTag = "ENDS";

}  // namespace velmora
