// CStepFile: base of every step that carries a file's contents in the data
// files (file copy, background image, agreement and readme texts).  Never
// built from a script itself: it is not in the step class table
// (step_classes.h).
//
// Its record is CStep's tagged record followed, after "ENDS", by three
// 32-bit little-endian fields:
//   data size (unsigned; replaces the record's leading size),
//   creation time, modification time (signed seconds since 1970-01-01 UTC).
//
// Archive form after CStep's: name, created-by-install flag (32 bits),
// target directory.
//
// The name of a step that places a file is that file's path relative to
// its target directory (framework/file_name_rules.h); both readers refuse a
// record whose name is not one, as they refuse a damaged record.  The names
// of texts and pictures only label them and may be anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "steps/step.h"

namespace velmora {

class InstalledProducts;

class CStepFile : public CStep {
  VELMORA_DECLARE_DYNCREATE(CStepFile)

 public:
  CStepFile() = default;
  // Deletes the temporary file that still exists.
  ~CStepFile() override;

  void Serialize(CArchive& ar) override;
  std::string GetDescription() const override;

  bool HasName() const override { return true; }

  std::string GetName() const override { return m_name; }
  // The part of the name after its last "\" or ":".
  std::string GetDisplayName() const override;
  bool SetName(const std::string& value) override;
  // "" when the name is one this step may have; else why not, e.g. "has the
  // component '..'".
  std::string NameProblem() const;

  const char* GetNameLabel() const override { return "File Name"; }

  bool Validate(const StepList* steps, std::string* message) override;

  std::uint32_t GetDataSize() const override { return m_dataSize; }
  void SetDataSize(std::uint32_t size) override { m_dataSize = size; }

  bool IsUninstallable() const override { return false; }
  bool ReadRecord(CCompressedFile* data) override;

  // ---- run time (step_file_data.cpp, step_file_place.cpp, step_file_remove.cpp)
  // Resolves the target directory and copies the payload's chunks into a
  // temporary file there (or into memory for a picture or text).
  bool InstallData(CCompressedFile* data) override;
  // Puts the new file in place (or keeps the existing one), sets its times
  // and attributes, registers it and counts it as shared.  A name with
  // folders ("BIN\TOOL.EXE") goes below the target directory: the folders
  // that are missing are made first, and a failed step removes them again.
  InstallResult Install() override;
  // Removes the file, or only takes back its shared count.
  bool Uninstall() override;
  // Undoes this installation's Install: takes back the shared count it
  // added, puts back a file it replaced, deletes a file it created, and
  // leaves a file it kept where it is.
  bool Rollback() override;
  // The installation succeeded: the replaced file kept aside for a roll-back
  // is no longer needed and is deleted.
  void OnInstallationSucceeded();
  // Deletes the temporary file that still exists (a step whose data was
  // extracted but not placed), so that a roll-back leaves no file behind.
  void DeleteTempFile();

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
  // The folders of the name this installation made, top first.
  const std::vector<std::string>& GetCreatedFolders() const { return m_createdFolders; }
  // The temporary file holding the extracted data; "" when there is none.
  const std::string& GetTempPath() const { return m_tempPath; }
  // Where the replaced file waits until the installation's outcome is
  // known; "" when nothing is kept aside.
  const std::string& GetKeptAsidePath() const { return m_keptAsidePath; }
  // True when the installation kept the file it found at the target path.
  bool GetKeptExisting() const { return m_keptExisting; }
  // True when the kept file is a product's already: the earlier log of the
  // same title, or another installed product's log, holds it.  Such a file
  // stays in the log; a file no product holds was the machine's.
  bool GetKeptOwned() const { return m_keptOwned; }

 protected:
  std::string m_name;
  std::uint32_t m_dataSize = 0;
  std::int32_t m_creationTime = 0;
  std::int32_t m_modificationTime = 0;
  std::string m_tempPath;
  bool m_createdByInstall = false;
  std::string m_targetDirectory;

 private:
  bool IsMemoryData() const { return IsBackgroundImage() || IsDisplayText(); }
  std::string TargetPath() const { return m_targetDirectory + m_name; }
  bool ResolveTargetDirectory(std::string& directory);
  bool CopyChunks(CCompressedFile* data, std::uint8_t* memory, FileHandle file);
  bool ReplaceExisting(const std::string& target);
  bool SetPlacedStatus(const std::string& target);
  InstallResult Placed(const std::string& target, bool existed);
  InstallResult CountShared(const std::string& target, bool existed);
  FileTimes StoredTimes() const;
  void UndoPlacement(const std::string& target);
  bool TakeBackSharedCount(const std::string& target);
  enum class Leave { no, yes, failed };
  Leave LeftForOthers(const std::string& target) const;
  // The run's installed products; null when the step has joined no run or
  // the run knows of none.
  InstalledProducts* Products() const;
  InstallResult PlaceFile();
  bool RollBackPlacement();
  // The folders of a name with folders that are missing, made top first; false
  // when one cannot be made or is there as a file or a link to another place.
  bool MakeNameFolders();
  // Removes the folders MakeNameFolders made that are empty, the deepest first.
  void RemoveCreatedFolders();

  // Run-time state of this installation only; never written to the log.
  std::vector<std::string> m_createdFolders;  // made by MakeNameFolders, top first
  std::string m_keptAsidePath;                // the replaced file, moved aside
  std::uint32_t m_keptAsideAttributes = 0;
  FileTimes m_keptAsideTimes;   // its times, given back with it
  bool m_keptExisting = false;  // the decision kept the existing file
  bool m_keptOwned = false;     // ... and a product's log holds it
  bool m_placed = false;        // this step put a file at the target
  bool m_tookOver = false;      // it replaced a file an earlier step placed
  bool m_sharedCountAdded = false;
  bool m_sharedCountCreated = false;  // there was no count value before
  bool m_timesOnTemp = false;         // the stored times went onto the temporary file
};

// Tells every file step of a successful installation's done list that the
// installation succeeded.
void CommitFileSteps(const StepList& done);

}  // namespace velmora
