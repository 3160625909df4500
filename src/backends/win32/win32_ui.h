// The real user interface: Win32 message boxes, the directory question with
// its folder browser, the file replace, program group, agreement and user
// information dialogs, the progress dialog, the main window's repaints and
// the screen bitmaps of its picture.
#pragma once

#include <memory>

#include "platform/ui.h"

namespace velmora {

class ProgressWindow;

class Win32Ui final : public Ui {
 public:
  Win32Ui();
  ~Win32Ui() override;

  int MessageBox(const std::string& text, const std::string& caption, std::uint32_t style) override;
  int RunDirectoryDialog(CDirectoryDialog& dialog) override;
  int RunReplaceFileDialog(CReplaceFileDialog& dialog) override;  // win32_replace_dialog.cpp
  int RunGroupDialog(CGroupDialog& dialog) override;              // win32_group_dialog.cpp
  int RunAgreementDialog(CAgreementDialog& dialog) override;      // win32_agreement_dialog.cpp
  int RunUserInfoDialog(CUserInfoDialog& dialog) override;        // win32_user_info_dialog.cpp
  void ShowProgress() override;
  void UpdateProgress(const std::string& fileText, int percent) override;
  void HideProgress() override;
  void MainWindowChanged(const std::string& heading, const std::string& status,
                         WindowPicture* picture) override;
  // win32_screen_bitmap.cpp
  BitmapHandle CreateScreenBitmap(const DibImage& image) override;
  void DeleteBitmap(BitmapHandle bitmap) override;

 private:
  std::unique_ptr<ProgressWindow> progress_;
};

}  // namespace velmora
