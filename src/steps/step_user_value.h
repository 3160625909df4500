// CStepUserValue: asks the user for one line of text and stores it in a
// registry entry, an ini entry, or both.  Its name is the label shown beside
// the input field.
//
// Archive form after CStepIniValue's: name, registry entry.
#pragma once

#include <string>

#include "steps/step_ini_value.h"

namespace velmora {

class CStepUserValue : public CStepIniValue {
  VELMORA_DECLARE_DYNCREATE(CStepUserValue)

 public:
  CStepUserValue() = default;

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasName() const override { return true; }
  bool HasRegEntry() const override { return true; }

  std::string GetName() const override { return m_name; }
  std::string GetRegEntry() const override { return m_regEntry; }

  bool SetName(const std::string& value) override;
  bool SetRegEntry(const std::string& value) override;

  const char* GetNameLabel() const override { return "Label"; }
  const char* GetDirectoryLabel() const override { return "Prefix"; }
  const char* GetDefaultLabel() const override { return "Default"; }

  bool Validate(const StepList* steps, std::string* message) override;
  // Asks for the value in the user information dialog and stores it at the
  // registry entry and the ini entry.  0 when the registry entry does not
  // split (nothing asked, no message); 0 with a message when the registry
  // value there cannot be read (nothing asked), the suggestion does not
  // fit, or a write fails (a write already made is undone).  Else 1.
  InstallResult Install() override;
  // Puts back what the registry value and the ini entry held before
  // Install wrote them (type and bytes or no value; whole text or no
  // entry).  Changes nothing when nothing was written, or when it was
  // already undone.  False when putting either back failed.
  bool Rollback() override;

  std::string GetKindName() const override;

 protected:
  std::string m_name;
  std::string m_regEntry;
  std::string m_enteredValue;                  // what the user confirmed (run time)
  SavedRegistryValue m_previousRegistryValue;  // found before asking (run time)
};

}  // namespace velmora
