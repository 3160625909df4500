// The real user interface: Win32 message boxes, the directory question with
// its folder browser, the file replace and program group dialogs, the
// progress dialog and the main window's repaints.
#pragma once

#include <memory>

#include "platform/ui.h"

namespace velmora {

class ProgressWindow;

class Win32Ui final : public Ui {
 public:
  Win32Ui();
  ~Win32Ui() override;

  int MessageBox(const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
  int RunDirectoryDialog(CDirectoryDialog& dialog) override;
  int RunReplaceFileDialog(CReplaceFileDialog& dialog) override;  // win32_replace_dialog.cpp
  int RunGroupDialog(CGroupDialog& dialog) override;  // win32_group_dialog.cpp
  void ShowProgress() override;
  void UpdateProgress(const std::string& fileText, int percent) override;
  void HideProgress() override;
  void MainWindowChanged(const std::string& heading, const std::string& status) override;

 private:
  std::unique_ptr<ProgressWindow> progress_;
};

}  // namespace velmora
