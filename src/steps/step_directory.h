// CStepDirectory: names a directory on the target machine and decides, once
// per run, which directory that is.  Other steps of the same run refer to it
// by name in their prefix and obtain the path through the run's directory
// lookup (RunContext::FindDirectory) and GetPath.
//
// Archive form after CStepIniValue's: name, question, registry entry (only
// from version 3 on), chosen directory.
#pragma once

#include <string>
#include <vector>

#include "steps/step_ini_value.h"

namespace velmora {

// Shown when the chosen directory is a link to another place; the question
// is asked again.
inline constexpr const char* kDirectoryIsLink =
    "The requested directory is a link to another place.  Choose another directory.";

class CStepDirectory : public CStepIniValue {
  VELMORA_DECLARE_DYNCREATE(CStepDirectory)

 public:
  CStepDirectory() = default;
  ~CStepDirectory() override;

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasName() const override { return true; }
  bool HasQuestion() const override { return true; }
  bool HasRegEntry() const override { return true; }

  std::string GetName() const override { return m_name; }
  std::string GetQuestion() const override { return m_question; }
  std::string GetRegEntry() const override { return m_regEntry; }

  bool SetName(const std::string& value) override;
  bool SetQuestion(const std::string& value) override;
  bool SetRegEntry(const std::string& value) override;

  const char* GetDefaultLabel() const override { return "Default"; }

  bool Validate(const StepList* steps, std::string* message) override;
  bool CanDelete(const StepList* steps, std::string* message) const override;

  bool IsUninstallable() const override { return false; }
  bool Uninstall() override { return true; }  // a directory is left in place

  std::string GetKindName() const override;

  // GetPath; done when a directory is then chosen, failed when it is not.
  InstallResult Install() override;
  // Puts back what the registry value and the ini entry held before
  // GetPath wrote the choice there (type and bytes or no value; whole text
  // or no entry).  Changes nothing when GetPath wrote nothing, or when it
  // was already undone, so the run may roll back a step that is still
  // pending but was asked early.  False when putting either back failed.
  bool Rollback() override;
  // Removes the directories GetPath created that are empty again.  Called
  // once every step has rolled back, when the files placed in them are gone.
  void RemoveCreatedLevels();

  // The chosen directory, ending in a backslash.  The first call asks the
  // user (directory dialog, offering to create a missing directory) with
  // the remembered registry or ini location, else the default, as the
  // suggestion, and records the answer in both places (best effort: a
  // place that cannot be read or written keeps what it held).  "" when the
  // user cancels, the working directory cannot be read, the registry entry
  // text does not split, the suggestion does not fit (with a message), or
  // the step is asked again while it is asking (a prefix that refers back
  // to the step itself).
  std::string GetPath();
  // Makes `path` the chosen directory, with a backslash appended when it has
  // none; an empty path makes the step unchosen again.
  void SetChosenPath(const std::string& path);
  // The chosen directory as it stands, without asking; "" while unchosen.
  const std::string& GetChosenPath() const { return m_directory; }

 protected:
  std::string m_directory;
  SavedRegistryValue m_previousRegistryValue;
  std::string m_name;
  std::string m_question;
  std::string m_regEntry;

 private:
  bool m_asking = false;                     // GetPath is showing this step's question
  std::vector<std::string> m_createdLevels;  // made by GetPath, top level first (run time)
};

}  // namespace velmora
