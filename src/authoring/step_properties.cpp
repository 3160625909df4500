#include "authoring/step_properties.h"

#include "datafile/step_factory.h"
#include "steps/step.h"
#include "steps/step_record.h"

namespace velmora {
namespace {

using T = PropertyType;

constexpr StepProperty Text(const char* key, const char* tag, bool (CStep::*has)() const,
                            const char* (CStep::*label)() const,
                            std::string (CStep::*get)() const,
                            bool (CStep::*set)(const std::string&)) {
  return {key, tag, T::text, has, label, get, nullptr, set, nullptr};
}
constexpr StepProperty Flag(const char* key, const char* tag, bool (CStep::*has)() const,
                            const char* (CStep::*label)() const, bool (CStep::*get)() const,
                            bool (CStep::*set)(bool)) {
  return {key, tag, T::flag, has, label, nullptr, get, nullptr, set};
}

constexpr std::array<StepProperty, kStepPropertyCount> kProperties = {{
    Text("name", "NAME", &CStep::HasName, &CStep::GetNameLabel, &CStep::GetName, &CStep::SetName),
    Text("directory", "GROU", &CStep::HasDirectory, &CStep::GetDirectoryLabel,
         &CStep::GetDirectory, &CStep::SetDirectory),
    Text("question", "QUES", &CStep::HasQuestion, &CStep::GetQuestionLabel, &CStep::GetQuestion,
         &CStep::SetQuestion),
    Text("default", "DFLT", &CStep::HasDefault, &CStep::GetDefaultLabel, &CStep::GetDefault,
         &CStep::SetDefault),
    Text("icon_name", "ICNM", &CStep::HasIconName, &CStep::GetIconNameLabel,
         &CStep::GetIconName, &CStep::SetIconName),
    Text("ini_file", "IFNM", &CStep::HasIniFileEntry, &CStep::GetIniFileLabel,
         &CStep::GetIniFile, &CStep::SetIniFile),
    Text("ini_section", "IFSN", &CStep::HasIniFileEntry, &CStep::GetIniSectionLabel,
         &CStep::GetIniSection, &CStep::SetIniSection),
    Text("ini_entry", "IFEN", &CStep::HasIniFileEntry, &CStep::GetIniEntryLabel,
         &CStep::GetIniEntry, &CStep::SetIniEntry),
    Text("reg_entry", "REGE", &CStep::HasRegEntry, &CStep::GetRegEntryLabel, &CStep::GetRegEntry,
         &CStep::SetRegEntry),
    Flag("icon", "ICON", &CStep::HasIcon, nullptr, &CStep::GetIcon, &CStep::SetIcon),
    Flag("read_only", "RDON", &CStep::HasReadOnly, &CStep::GetReadOnlyLabel, &CStep::GetReadOnly,
         &CStep::SetReadOnly),
    Flag("hidden", "HIDD", &CStep::HasHidden, &CStep::GetHiddenLabel, &CStep::GetHidden,
         &CStep::SetHidden),
    Flag("register", "REGI", &CStep::HasRegister, &CStep::GetRegisterLabel, &CStep::GetRegister,
         &CStep::SetRegister),
    Flag("shared", "SHRD", &CStep::HasShared, &CStep::GetSharedLabel, &CStep::GetShared,
         &CStep::SetShared),
    Flag("use_recommended", "USRE", &CStep::HasUseRecommended, &CStep::GetUseRecommendedLabel,
         &CStep::GetUseRecommended, &CStep::SetUseRecommended),
}};

constexpr bool SameTag(const char* a, const char* b) {
  for (int i = 0; i < 5; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// Every property is one tag of the record reader's table, with the same
// kind, in the same order; the reader's last tag is "ENDS".
constexpr bool MatchesRecordTags() {
  if (kProperties.size() + 1 != kStepTags.size()) return false;
  for (std::size_t i = 0; i < kProperties.size(); ++i) {
    if (!SameTag(kProperties[i].tag, kStepTags[i].name)) return false;
    const StepTagKind kind =
        kProperties[i].type == T::text ? StepTagKind::string : StepTagKind::flag;
    if (kStepTags[i].kind != kind) return false;
  }
  return kStepTags.back().kind == StepTagKind::end;
}
static_assert(MatchesRecordTags(), "step properties and record tags disagree");

constexpr std::array<StepClassName, 9> kClassNames = {{
    {"directory", "CStepDirectory"},
    {"ini_value", "CStepIniValue"},
    {"program_group", "CStepPMG"},
    {"registry", "CStepRegistry"},
    {"user_value", "CStepUserValue"},
    {"background", "CStepFileBackground"},
    {"file", "CStepFileCopy"},
    {"agreement", "CStepFileDisplay"},
    {"readme", "CStepFileDisplayOptional"},
}};

}  // namespace

const std::array<StepProperty, kStepPropertyCount>& StepProperties() { return kProperties; }

const StepProperty* FindPropertyByKey(std::string_view key) {
  if (key == "prefix") key = "directory";
  for (const StepProperty& p : kProperties)
    if (key == p.key) return &p;
  return nullptr;
}

const StepProperty* FindPropertyByTag(std::string_view tag) {
  for (const StepProperty& p : kProperties)
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
  for (const StepClassName& c : kClassNames)
    if (name == c.shortName || name == c.className) return c.className;
  return {};
}

const std::array<StepClassName, 9>& StepClassNames() { return kClassNames; }

static_assert(kClassNames.size() == kAcceptedStepClassNames.size());

}  // namespace velmora
