// CStepFile: base of every step that carries a file's contents in the data
// files (file copy, background image, agreement and readme texts).  Never
// built from a script itself: no prototype of it is registered.
//
// Its record is CStep's tagged record followed, after "ENDS", by three
// 32-bit little-endian fields:
//   data size (unsigned; replaces the record's leading size),
//   creation time, modification time (signed seconds since 1970-01-01 UTC).
//
// Archive form after CStep's: name, created-by-install flag (32 bits),
// target directory.
#pragma once

#include <cstdint>
#include <string>

#include "steps/step.h"

namespace velmora {

class CStepFile : public CStep {
  VELMORA_DECLARE_DYNCREATE(CStepFile)

 public:
  CStepFile() = default;

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasName() const override { return true; }
  bool HasFile() const override { return true; }

  std::string GetName() const override { return m_name; }
  // The part of the name after its last "\" or ":".
  std::string GetDisplayName() const override;
  bool SetName(const std::string& value) override;

  const char* GetNameLabel() const override { return "File Name"; }

  bool Validate(const StepList* steps, std::string* message) override;

  std::uint32_t GetDataSize() const override { return m_dataSize; }
  void SetDataSize(std::uint32_t size) override { m_dataSize = size; }

  bool IsUninstallable() const override { return false; }
  bool ReadRecord(CCompressedFile* data) override;

  // Added after the operations of CStep.
  virtual std::string GetKindName() const;

  // The trailing record fields and the run-time state kept in the log.
  std::int32_t GetCreationTime() const { return m_creationTime; }
  std::int32_t GetModificationTime() const { return m_modificationTime; }
  void SetCreationTime(std::int32_t seconds) { m_creationTime = seconds; }
  void SetModificationTime(std::int32_t seconds) { m_modificationTime = seconds; }
  // The resolved target directory, ending in "\" once resolved.
  const std::string& GetTargetDirectory() const { return m_targetDirectory; }
  // True when the installation found no file at the target path.
  bool GetCreatedByInstall() const { return m_createdByInstall; }

 protected:
  std::string m_name;
  std::uint32_t m_dataSize = 0;
  std::int32_t m_creationTime = 0;
  std::int32_t m_modificationTime = 0;
  std::string m_tempPath;
  bool m_createdByInstall = false;
  std::string m_targetDirectory;
};

}  // namespace velmora
