#include "steps/step_tags.h"

#include "steps/step.h"

namespace velmora {
namespace {

constexpr StepProperty Text(const char* key, const char* tag, bool (CStep::*has)() const,
                            const char* (CStep::*label)() const, std::string (CStep::*get)() const,
                            bool (CStep::*set)(const std::string&)) {
  return {key, tag, PropertyType::text, has, label, get, nullptr, set, nullptr};
}
constexpr StepProperty Flag(const char* key, const char* tag, bool (CStep::*has)() const,
                            const char* (CStep::*label)() const, bool (CStep::*get)() const,
                            bool (CStep::*set)(bool)) {
  return {key, tag, PropertyType::flag, has, label, nullptr, get, nullptr, set};
}

// The package writer writes the tags a step keeps in this order.
constexpr StepProperty kProperties[] = {
    Text("name", "NAME", &CStep::HasName, &CStep::GetNameLabel, &CStep::GetName, &CStep::SetName),
    Text("directory", "GROU", &CStep::HasDirectory, &CStep::GetDirectoryLabel, &CStep::GetDirectory,
         &CStep::SetDirectory),
    Text("question", "QUES", &CStep::HasQuestion, &CStep::GetQuestionLabel, &CStep::GetQuestion,
         &CStep::SetQuestion),
    Text("default", "DFLT", &CStep::HasDefault, &CStep::GetDefaultLabel, &CStep::GetDefault,
         &CStep::SetDefault),
    Text("icon_name", "ICNM", &CStep::HasIconName, &CStep::GetIconNameLabel, &CStep::GetIconName,
         &CStep::SetIconName),
    Text("ini_file", "IFNM", &CStep::HasIniFileEntry, &CStep::GetIniFileLabel, &CStep::GetIniFile,
         &CStep::SetIniFile),
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
};

}  // namespace

std::span<const StepProperty> StepProperties() { return kProperties; }

}  // namespace velmora
