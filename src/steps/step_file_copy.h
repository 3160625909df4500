// CStepFileCopy: installs one ordinary file.  Its properties steer the file
// step's machinery: target directory reference, recommended location,
// attributes, self-registration, shared counting and a program item.
//
// Archive form after CStepFile's (version 7): directory reference, icon
// name, then the flags icon, read-only, hidden, register, shared,
// use-recommended as 32-bit values.  Older versions are loaded as well:
//   1     two discarded strings, then icon
//   2..4  icon, read-only, hidden, register
//   5     as 2..4, then shared
//   6     icon name, then as 5
// Fields an older version lacks are empty or false; use-recommended takes
// the value of shared.
#pragma once

#include <string>

#include "steps/step_file.h"

namespace velmora {

class CStepFileCopy : public CStepFile {
  VELMORA_DECLARE_DYNCREATE(CStepFileCopy)

 public:
  CStepFileCopy() = default;

  void Serialize(CArchive& ar) override;

  bool HasDirectory() const override { return true; }
  bool HasIcon() const override { return true; }
  bool HasReadOnly() const override { return true; }
  bool HasHidden() const override { return true; }
  bool HasRegister() const override { return true; }
  bool HasShared() const override { return true; }
  bool HasIconName() const override { return true; }
  bool HasUseRecommended() const override { return true; }

  std::string GetDirectory() const override { return m_directoryRef; }
  bool GetIcon() const override { return m_icon; }
  bool GetReadOnly() const override { return m_readOnly; }
  bool GetHidden() const override { return m_hidden; }
  bool GetRegister() const override { return m_register; }
  bool GetShared() const override { return m_shared; }
  std::string GetIconName() const override { return m_iconName; }
  bool GetUseRecommended() const override { return m_useRecommended; }

  bool SetDirectory(const std::string& value) override;
  bool SetIcon(bool value) override;
  bool SetReadOnly(bool value) override;
  bool SetHidden(bool value) override;
  bool SetRegister(bool value) override;
  bool SetShared(bool value) override;
  bool SetIconName(const std::string& value) override;
  bool SetUseRecommended(bool value) override;

  // The step has no default property (HasDefault is false).
  const char* GetDefaultLabel() const override { return "Reg value"; }

  bool Validate(const StepList* steps, std::string* message) override;

  // A file the installation kept was there before and is not its to
  // remove, unless a product's log holds it already (a reinstall keeps
  // owning its files); a shared one is logged for its count.
  bool IsUninstallable() const override {
    return !GetKeptExisting() || GetKeptOwned() || GetShared();
  }

  std::string GetKindName() const override;

 protected:
  std::string m_directoryRef;
  std::string m_iconName;
  bool m_icon = false;
  bool m_readOnly = false;
  bool m_hidden = false;
  bool m_register = false;
  bool m_shared = false;
  bool m_useRecommended = false;
};

}  // namespace velmora
