// CStep: base of every installation step.
//
// A step is created empty by class name (step_factory.h), filled from its
// record in the installation script (ReadRecord) or from the uninstall log
// (Serialize), and then driven by the installation or uninstallation run.
// The authoring tool uses the same classes for editing: the Has* questions,
// labels, Validate and CanDelete.
//
// The virtual operations below are declared in the order of the step
// interface table; keep that order when adding to it.  Getters of CStep
// answer "" or false; setters of CStep discard the value and answer false,
// so a record tag that a kind does not keep is read and ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <utility>

#include "framework/runtime_class.h"
#include "platform/file_cause.h"

namespace velmora {

class CArchive;
class CCompressedFile;
class CDC;  // platform/device_context.h: where the background step paints
class CStep;
class RunContext;  // steps/run_context.h: what the run shares with its steps

// An ordered list of steps with stable positions.
using StepList = std::list<CStep*>;

// Largest description length (a description line is held in 256 bytes).
inline constexpr std::size_t kMaxDescriptionLength = 255;

// What Install answers.  A step not done yet stays pending and is tried
// again after a later step completes.
enum class InstallResult { failed = 0, done = 1, notYet = 2 };

// Where the run puts a step it has just read: refused ends the run, done
// goes straight to the done steps, pending waits for Install, and left out
// is dropped.
enum class InstallMode { refused = 0, done = 1, pending = 2, leftOut = 3 };

// Version of the archive form written by Serialize; loading refuses newer.
inline constexpr std::uint16_t kStepArchiveVersion = 7;

class CStep : public CObject {
  VELMORA_DECLARE_DYNCREATE(CStep)

 public:
  CStep();
  ~CStep() override;
  CStep(const CStep&) = delete;
  CStep& operator=(const CStep&) = delete;

  // Storing writes the version word 7; loading reads it and throws
  // CArchiveException(generic) for a version above 7.  Subclasses call
  // their base first, then store or load their own fields.
  void Serialize(CArchive& ar) override;

  // ---- payload position --------------------------------------------------
  virtual void SetDiskAndOffset(std::uint32_t disk, std::uint32_t offset);
  virtual std::uint32_t GetDisk() const;        // media file number, 0 = no payload
  virtual std::uint32_t GetDataOffset() const;  // byte offset in that file, 0 = none

  // One line for the progress display, at most kMaxDescriptionLength long.
  virtual std::string GetDescription() const;

  // ---- which properties the kind has (editor) ----------------------------
  virtual bool HasName() const;
  virtual bool HasDirectory() const;
  virtual bool HasDefault() const;
  virtual bool HasQuestion() const;
  virtual bool HasPrefix() const;
  virtual bool HasIniFileEntry() const;
  virtual bool HasRegEntry() const;
  virtual bool HasIcon() const;
  virtual bool HasReadOnly() const;
  virtual bool HasHidden() const;
  virtual bool HasRegister() const;
  virtual bool HasShared() const;
  virtual bool HasIconName() const;
  virtual bool HasUseRecommended() const;
  virtual bool IsBackgroundImage() const;
  virtual bool IsDisplayText() const;

  // ---- getters -----------------------------------------------------------
  virtual std::string GetName() const;
  virtual std::string GetDisplayName() const;  // GetName() unless a kind shortens it
  virtual std::string GetDirectory() const;    // the "GROU" directory reference
  virtual std::string GetQuestion() const;
  virtual std::string GetDefault() const;
  virtual std::string GetIniFile() const;
  virtual std::string GetIniSection() const;
  virtual std::string GetIniEntry() const;
  virtual std::string GetRegEntry() const;
  virtual bool GetIcon() const;
  virtual const char* GetPreview();  // valid until the step changes
  virtual bool GetReadOnly() const;
  virtual bool GetHidden() const;
  virtual bool GetRegister() const;
  virtual bool GetShared() const;
  virtual std::string GetIconName() const;
  virtual bool GetUseRecommended() const;

  // ---- setters: true when the kind keeps the value -------------------------
  virtual bool SetName(const std::string& value);
  virtual bool SetDirectory(const std::string& value);
  virtual bool SetQuestion(const std::string& value);
  virtual bool SetDefault(const std::string& value);
  virtual bool SetIniFile(const std::string& value);
  virtual bool SetIniSection(const std::string& value);
  virtual bool SetIniEntry(const std::string& value);
  virtual bool SetRegEntry(const std::string& value);
  virtual bool SetIcon(bool value);
  virtual bool SetReadOnly(bool value);
  virtual bool SetHidden(bool value);
  virtual bool SetRegister(bool value);
  virtual bool SetShared(bool value);
  virtual bool SetIconName(const std::string& value);
  virtual bool SetUseRecommended(bool value);

  // ---- editor labels -------------------------------------------------------
  virtual const char* GetNameLabel() const;
  virtual const char* GetDirectoryLabel() const;
  virtual const char* GetQuestionLabel() const;
  virtual const char* GetDefaultLabel() const;
  virtual const char* GetIniFileLabel() const;
  virtual const char* GetIniSectionLabel() const;
  virtual const char* GetIniEntryLabel() const;
  virtual const char* GetRegEntryLabel() const;
  virtual const char* GetReadOnlyLabel() const;
  virtual const char* GetHiddenLabel() const;
  virtual const char* GetRegisterLabel() const;
  virtual const char* GetSharedLabel() const;
  virtual const char* GetIconNameLabel() const;
  virtual const char* GetUseRecommendedLabel() const;

  // ---- editing operations --------------------------------------------------
  // `steps` is the whole script (may be null); `message` receives the
  // refusal text (may be null).  A refusing operation answers false.
  virtual bool Validate(const StepList* steps, std::string* message);
  virtual bool CanDelete(const StepList* steps, std::string* message) const;

  // ---- payload held in memory (background image, display text) ------------
  virtual void ShowImage(const std::uint8_t* data, std::uint32_t size);
  virtual void Paint(CDC* dc);
  virtual int ShowText(const char* text);  // 1 = go on, anything else = stop

  // ---- payload size: the progress weight -----------------------------------
  virtual std::uint32_t GetDataSize() const;
  virtual void SetDataSize(std::uint32_t size);

  // ---- run-time operations ---------------------------------------------------
  virtual bool IsUninstallable() const;
  virtual bool Uninstall();
  virtual bool Rollback();
  virtual bool InstallData(CCompressedFile* data);
  // Fills the step from its record body at the stream's position (the class
  // name has been read already).  False refuses the record.
  virtual bool ReadRecord(CCompressedFile* data);
  virtual InstallResult Install();
  virtual InstallMode GetInstallMode() const;
  virtual void OnInstalled(StepList* done);

  // The archive version last stored or loaded (7 for a new step).
  std::uint16_t GetVersion() const { return m_version; }

  // ---- the run that adopted the step ---------------------------------------------
  // The step leaves the run it was in and joins `run` (null: none), whose
  // context outlives it.
  void JoinRun(RunContext* run);
  RunContext* Run() const { return m_run; }

  // Why the step's last InstallData or Install failed, in a line for the
  // run's transcript: the machine's cause and the path ("Access Denied:
  // C:\APP\NOTES.EXE"); empty where the step has no cause to tell.
  const std::string& FailureReason() const { return m_failureReason; }

 protected:
  void SetFailureReason(std::string reason) { m_failureReason = std::move(reason); }
  // "Access Denied: C:\APP\NOTES.EXE": the cause's text and the path.
  void SetFailureReason(FileCause cause, const std::string& path);

  // Cuts a description to what a description line holds.
  static std::string LimitDescription(std::string text);
  // "Kind: name", or the kind alone for an empty name, cut to a line.
  static std::string NamedDescription(const std::string& kind, const std::string& name);

  std::uint16_t m_version;
  std::uint32_t m_disk;
  std::uint32_t m_dataOffset;

 private:
  RunContext* m_run = nullptr;
  std::string m_failureReason;
};

}  // namespace velmora
