// CStepIniValue: writes one entry of a profile (ini) file.  The value is the
// default placed after the directory named by the prefix ("<None>",
// "<Windows>", "<Windows system>" or a directory step's name).
//
// Also the base of the directory and user value steps, which inherit its
// fields, getters, setters, archive form and ResolveValue.
//
// Archive form after CStep's: ini file, section, entry, default, prefix.
#pragma once

#include <optional>
#include <string>

#include "steps/saved_setting.h"
#include "steps/step.h"

namespace velmora {

class CStepIniValue : public CStep {
  VELMORA_DECLARE_DYNCREATE(CStepIniValue)

 public:
  CStepIniValue();

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasDirectory() const override { return true; }
  bool HasDefault() const override { return true; }
  bool HasPrefix() const override { return true; }
  bool HasIniFileEntry() const override { return true; }

  std::string GetDirectory() const override { return m_prefix; }
  std::string GetDefault() const override { return m_default; }
  std::string GetIniFile() const override { return m_iniFile; }
  std::string GetIniSection() const override { return m_iniSection; }
  std::string GetIniEntry() const override { return m_iniEntry; }

  bool SetDirectory(const std::string& value) override;
  bool SetDefault(const std::string& value) override;
  bool SetIniFile(const std::string& value) override;
  bool SetIniSection(const std::string& value) override;
  bool SetIniEntry(const std::string& value) override;

  const char* GetDirectoryLabel() const override { return "Prefix"; }
  const char* GetDefaultLabel() const override { return "Default"; }

  bool Validate(const StepList* steps, std::string* message) override;

  // Remembers what the entry holds, then writes the resolved value.  0,
  // with a message naming the entry and the file, when the value does not
  // fit (see ResolveValue) or cannot be written; a step without file,
  // section or entry name does nothing and answers 1.
  InstallResult Install() override;
  // Puts back what the entry held before Install wrote it: its whole text,
  // or no entry.  Changes nothing when nothing was written, or when it was
  // already undone.  False when putting it back failed.
  bool Rollback() override;

  // Added after the operations of CStep.
  virtual std::string GetKindName() const;

  // The default placed after the directory that GetDirectory() names (see
  // ResolveDirectoryReference); may show a message.  None when the joined
  // value would be longer than kMaxResolvedLength.
  std::optional<std::string> ResolveValue();

 protected:
  // File, section and entry names are all given.
  bool NamesIniEntry() const {
    return !GetIniSection().empty() && !GetIniEntry().empty() && !GetIniFile().empty();
  }
  // What an earlier installation remembered becomes the suggestion: the
  // string at the registry entry text `regEntry` (when given; taken into
  // `previousRegistryValue`) before the ini entry (taken into
  // m_previousValue), each as a read into the platform's path buffer
  // (kMaxPathBytes) gives it; the one found makes the prefix "<None>" and the
  // default itself.  False, with nothing read, when the registry entry does
  // not split.  A registry value that cannot be read suggests nothing, and
  // previousRegistryValue then refuses to write.
  bool SuggestRememberedValue(const std::string& regEntry,
                              SavedRegistryValue& previousRegistryValue);

  // The suggestion shown in a dialog: the resolved value, or, when it does
  // not fit, none after a message naming the step.
  std::optional<std::string> SuggestedValue(const char* what);

  // The editor's refusal of a prefix that is missing or names the step
  // itself; null for a prefix that will do.
  const char* PrefixRefusal() const {
    if (m_prefix.empty()) return "You must enter a prefix";
    if (m_prefix == GetName()) return "You can't enter this directory as the prefix";
    return nullptr;
  }

  SavedIniEntry m_previousValue;  // what the entry held before the step wrote it
  std::string m_iniFile;
  std::string m_iniSection;
  std::string m_iniEntry;
  std::string m_default;
  std::string m_prefix;
};

}  // namespace velmora
