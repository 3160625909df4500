// CStepRegistry: writes one string value into the registry.  The value is
// the default placed after the directory named by the prefix, as for the ini
// value step.
//
// Archive form after CStep's: registry entry, default, prefix (the prefix
// only from version 4 on).
#pragma once

#include <optional>
#include <string>

#include "steps/saved_setting.h"
#include "steps/step.h"

namespace velmora {

class CStepRegistry : public CStep {
  VELMORA_DECLARE_DYNCREATE(CStepRegistry)

 public:
  CStepRegistry();

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasDirectory() const override { return true; }
  bool HasDefault() const override { return true; }
  bool HasPrefix() const override { return true; }
  bool HasRegEntry() const override { return true; }

  std::string GetDirectory() const override { return m_prefix; }
  std::string GetDefault() const override { return m_default; }
  std::string GetRegEntry() const override { return m_regEntry; }

  bool SetDirectory(const std::string& value) override;
  bool SetDefault(const std::string& value) override;
  bool SetRegEntry(const std::string& value) override;

  const char* GetDirectoryLabel() const override { return "Prefix"; }
  const char* GetDefaultLabel() const override { return "Reg Value"; }

  bool Validate(const StepList* steps, std::string* message) override;

  // Remembers what the entry's value holds, then writes the resolved value
  // there as a string.  0 when the entry text does not name a registry
  // value (without a message), and, with a message naming the entry, when
  // the value there cannot be read, the resolved value does not fit, or
  // the write fails.
  InstallResult Install() override;
  // Puts back what the value held before Install wrote it: the same type
  // and bytes, or no value.  Changes nothing when nothing was written, or
  // when it was already undone.  False when putting it back failed.
  bool Rollback() override;

  // The default placed after the directory that the prefix names (see
  // ResolveDirectoryReference); may show a message.  None when the joined
  // value would be longer than kMaxResolvedLength.
  std::optional<std::string> ResolveValue();

 protected:
  SavedRegistryValue m_previousValue;  // what the value held before Install wrote it
  std::string m_regEntry;
  std::string m_default;
  std::string m_prefix;
};

}  // namespace velmora
