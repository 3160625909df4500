// CStepIniValue: writes one entry of a profile (ini) file.  The value is the
// default placed after the directory named by the prefix ("<None>",
// "<Windows>", "<Windows system>" or a directory step's name).
//
// Also the base of the directory and user value steps, which inherit its
// fields, getters, setters, archive form and ResolveValue.
//
// Archive form after CStep's: ini file, section, entry, default, prefix.
#pragma once

#include <cstdint>
#include <string>

#include "services/registry.h"
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

  // Remembers the entry's text, then writes the resolved value.  Always 1;
  // a step without file, section or entry name does nothing.
  int Install() override;
  // Writes the remembered text back when there was one.  Always true.
  bool Rollback() override;

  // Added after the operations of CStep.
  virtual std::string GetKindName() const;

  // The default placed after the directory that GetDirectory() names (see
  // ResolveDirectoryReference); may show a message, never fails.
  std::string ResolveValue();

 protected:
  // The profile functions as the steps use them: reads into a buffer of
  // 260 bytes (an entry text is cut to 259 characters, a missing entry
  // reads as ""); a failed write is not reported.
  static std::string ReadIniEntry(const std::string& file, const std::string& section,
                                  const std::string& entry);
  static void WriteIniEntry(const std::string& file, const std::string& section,
                            const std::string& entry, const std::string& value);
  // File, section and entry names are all given.
  bool NamesIniEntry() const {
    return !GetIniSection().empty() && !GetIniEntry().empty() && !GetIniFile().empty();
  }
  // What an earlier installation remembered becomes the suggestion: the
  // string at the registry entry text `regEntry` (when given; read into
  // `previousRegistryValue` through a buffer of 260 bytes, `place` is where
  // it is) before the ini entry (read into m_previousValue); the one found
  // makes the prefix "<None>" and the default itself.  False, with nothing
  // read, when the registry entry does not split.
  bool SuggestRememberedValue(const std::string& regEntry, RegistryEntry& place,
                              std::string& previousRegistryValue);

  // The editor's refusal of a prefix that is missing or names the step
  // itself; null for a prefix that will do.
  const char* PrefixRefusal() const {
    if (m_prefix.empty()) return "You must enter a prefix";
    if (m_prefix == GetName()) return "You can't enter this directory as the prefix";
    return nullptr;
  }

  std::string m_previousValue;  // the entry's text before Install wrote it
  std::string m_iniFile;
  std::string m_iniSection;
  std::string m_iniEntry;
  std::string m_default;
  std::string m_prefix;
};

}  // namespace velmora
