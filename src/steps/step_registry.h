// CStepRegistry: writes one string value into the registry.  The value is
// the default placed after the directory named by the prefix, as for the ini
// value step.
//
// Archive form after CStep's: registry entry, default, prefix (the prefix
// only from version 4 on).
#pragma once

#include <string>

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

  // Remembers the string value found at the entry, then writes the
  // resolved value there (a failed write does not fail the step).  0 when
  // the entry text does not name a registry value.
  int Install() override;
  // Writes the remembered value back; a value that was not there before
  // keeps what Install wrote.
  bool Rollback() override;

  // The default placed after the directory that the prefix names (see
  // ResolveDirectoryReference); may show a message, never fails.
  std::string ResolveValue();

  // The value found before Install wrote it ("" when there was none).
  const std::string& GetPreviousValue() const { return m_previousValue; }

 protected:
  std::string m_previousValue;  // the value found before Install wrote it
  std::string m_regEntry;
  std::string m_default;
  std::string m_prefix;
};

}  // namespace velmora
