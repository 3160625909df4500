#include "authoring/step_properties.h"

#include "steps/step.h"
#include "steps/step_classes.h"

namespace velmora {

const StepProperty* FindPropertyByKey(std::string_view key) {
  if (key == "prefix") key = "directory";
  for (const StepProperty& p : StepProperties())
    if (key == p.key) return &p;
  return nullptr;
}

const StepProperty* FindPropertyByTag(std::string_view tag) {
  for (const StepProperty& p : StepProperties())
    if (tag == p.tag) return &p;
  return nullptr;
}

bool Keeps(const CStep& step, const StepProperty& property) { return (step.*property.has)(); }

std::string GetText(const CStep& step, const StepProperty& property) {
  return property.getText != nullptr ? (step.*property.getText)() : std::string();
}

bool GetFlag(const CStep& step, const StepProperty& property) {
  return property.getFlag != nullptr && (step.*property.getFlag)();
}

const char* Label(const CStep& step, const StepProperty& property) {
  // The steps have no caption for the icon flag.
  return property.label != nullptr ? (step.*property.label)() : "Icon";
}

bool SetText(CStep& step, const StepProperty& property, const std::string& value) {
  if (property.setText == nullptr || !Keeps(step, property)) return false;
  return (step.*property.setText)(value);
}

bool SetFlag(CStep& step, const StepProperty& property, bool value) {
  if (property.setFlag == nullptr || !Keeps(step, property)) return false;
  return (step.*property.setFlag)(value);
}

std::string StepClassFromManifestName(std::string_view name) {
  for (const StepClass& c : StepClasses())
    if (name == c.shortName || name == c.ClassName()) return c.ClassName();
  return {};
}

}  // namespace velmora
