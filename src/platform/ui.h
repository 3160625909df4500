// The user interface the system talks to.  On Windows it shows real message
// boxes and dialogs (backends/win32/); the scripted backend (backends/scripted/)
// answers from a list and keeps a transcript, for tests and unattended runs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/device_context.h"

namespace velmora {

class CDirectoryDialog;    // dialogs/directory_dialog.h
class CReplaceFileDialog;  // dialogs/replace_file_dialog.h
class CGroupDialog;        // dialogs/group_dialog.h
class CAgreementDialog;    // dialogs/agreement_dialog.h
class CUserInfoDialog;     // dialogs/user_info_dialog.h

// Message box styles and results, with the Win32 values.
namespace mb {
inline constexpr std::uint32_t ok = 0x00;
inline constexpr std::uint32_t okCancel = 0x01;
inline constexpr std::uint32_t abortRetryIgnore = 0x02;
inline constexpr std::uint32_t yesNoCancel = 0x03;
inline constexpr std::uint32_t yesNo = 0x04;
inline constexpr std::uint32_t retryCancel = 0x05;
inline constexpr std::uint32_t typeMask = 0x0F;

inline constexpr std::uint32_t iconStop = 0x10;
inline constexpr std::uint32_t iconQuestion = 0x20;
inline constexpr std::uint32_t iconExclamation = 0x30;
inline constexpr std::uint32_t iconInformation = 0x40;
inline constexpr std::uint32_t iconMask = 0xF0;

inline constexpr std::uint32_t defButton1 = 0x000;
inline constexpr std::uint32_t defButton2 = 0x100;
inline constexpr std::uint32_t defButton3 = 0x200;
inline constexpr std::uint32_t defButtonMask = 0xF00;
}  // namespace mb

namespace id {
inline constexpr int ok = 1;
inline constexpr int cancel = 2;
inline constexpr int abort = 3;
inline constexpr int retry = 4;
inline constexpr int ignore = 5;
inline constexpr int yes = 6;
inline constexpr int no = 7;
}  // namespace id

// Button ids a message box of the given style offers, in order.
std::string ButtonNames(std::uint32_t style);  // "OK", "Yes/No", ...
int DefaultButton(std::uint32_t style);        // the id Enter would press
std::string IconName(std::uint32_t style);     // "exclamation", "" for none

// What a run did, for logs and transcripts; none of it is shown.
enum class RunNote {
  program,         // the program, its version and its command line
  badCommandLine,  // the command line's problem: the program stops
  package,         // the package's title, when its header has been read
  mediaFile,       // a media file opened, by path
  stepDone,        // a step completed, by description
  stepFailed,      // a step failed, by description: the run ends
  rolledBack,      // a completed step rolled back, by description
  undone,          // the uninstallation undid a logged step, by description
  notUndone,       // the uninstallation could not undo a logged step
  result,          // how the run ended: "installed", "install failed", ...
  warning,         // something the run did not do as asked, e.g. answer rules never used
};

class Ui {
 public:
  virtual ~Ui() = default;
  // Modal message box; answers the id of the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         std::uint32_t style) = 0;

  // The directory question (dialog 103, with its folder browser 107).  The
  // dialog's fields go into the controls when it opens and, on OK only, come
  // back.  Answers id::ok or id::cancel.
  virtual int RunDirectoryDialog(CDirectoryDialog& dialog) = 0;

  // The file replace question (dialog 105) with its six texts.  Answers
  // id::ok ("Use new file") or id::cancel ("Use existing file", Escape,
  // the close box).
  virtual int RunReplaceFileDialog(CReplaceFileDialog& dialog) = 0;

  // The program group selection (dialog 113): a prompt, the group name in
  // an edit field and the existing groups in a sorted list below it, OK
  // only.  The prompt and the name go into the controls and the names into
  // the list when it opens; on OK the edit field's text comes back into
  // m_group.  Answers id::ok, or id::cancel for Escape, which leaves m_group
  // as the caller set it.
  virtual int RunGroupDialog(CGroupDialog& dialog) = 0;

  // The agreement dialog (template 104): the text in a read-only edit
  // field, button 1 with m_acceptCaption, button 2 with m_refuseCaption or
  // hidden when that is empty.  Answers id::ok for button 1, id::cancel for
  // button 2, Escape and the close box.
  virtual int RunAgreementDialog(CAgreementDialog& dialog) = 0;

  // The user information dialog (template 106): m_label beside an edit
  // field holding m_value.  OK takes the field's text back into m_value
  // and answers id::ok; Escape and the close box answer id::cancel and
  // leave m_value alone.
  virtual int RunUserInfoDialog(CUserInfoDialog& dialog) = 0;

  // The progress dialog (template 112) of a run: shown when a run creates
  // it, updated at once on every change, gone when the run destroys it.
  virtual void ShowProgress() = 0;
  virtual void UpdateProgress(const std::string& fileText, int percent) = 0;
  virtual void HideProgress() = 0;

  // The main window's heading, status line or picture changed: repaint it
  // now, background first.  `picture` paints the middle of the window (null:
  // the application icon is there).
  virtual void MainWindowChanged(const std::string& heading, const std::string& status,
                                 WindowPicture* picture) = 0;

  // A bitmap for the screen from a checked image, through the 64-colour
  // palette on displays of 8 bits per pixel or fewer; 0 when none can be
  // made.  The caller deletes it with DeleteBitmap.
  virtual BitmapHandle CreateScreenBitmap(const DibImage& image) = 0;
  virtual void DeleteBitmap(BitmapHandle bitmap) = 0;

  // A note for the run's log; a Ui without a log ignores it.
  virtual void Note(RunNote note, const std::string& text);
};

// The process-wide user interface, as with CurrentMachine().
Ui& CurrentUi();
void SetCurrentUi(Ui* ui);

class ScopedUi {
 public:
  explicit ScopedUi(Ui& ui);
  ~ScopedUi();
  ScopedUi(const ScopedUi&) = delete;
  ScopedUi& operator=(const ScopedUi&) = delete;

 private:
  Ui* previous_;
};

// The application's own title, the caption of its message boxes: "Setup".
const std::string& AppTitle();

// A message box captioned with the application's title.
int AppMessageBox(const std::string& text, std::uint32_t style);

}  // namespace velmora
