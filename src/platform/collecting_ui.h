// A Ui that shows nothing and keeps the texts of the message boxes it is
// asked for, for code that reads packages and reports what went wrong in
// its own words.  Every prompt takes its default: a message box its default
// button, a dialog OK with its fields as the caller filled them in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace velmora {

class CollectingUi final : public Ui {
 public:
  int MessageBox(const std::string& text, const std::string& /*caption*/,
                 std::uint32_t style) override {
    messages_.push_back(text);
    return DefaultButton(style);
  }
  int RunDirectoryDialog(CDirectoryDialog& /*dialog*/) override { return id::ok; }
  int RunReplaceFileDialog(CReplaceFileDialog& /*dialog*/) override { return id::ok; }
  int RunGroupDialog(CGroupDialog& /*dialog*/) override { return id::ok; }
  int RunAgreementDialog(CAgreementDialog& /*dialog*/) override { return id::ok; }
  int RunUserInfoDialog(CUserInfoDialog& /*dialog*/) override { return id::ok; }
  void ShowProgress() override {}
  void UpdateProgress(const std::string& /*fileText*/, int /*percent*/) override {}
  void HideProgress() override {}
  void MainWindowChanged(const std::string& /*heading*/, const std::string& /*status*/,
                         WindowPicture* /*picture*/) override {}
  // No bitmap is made.
  BitmapHandle CreateScreenBitmap(const DibImage& /*image*/) override { return 0; }
  void DeleteBitmap(BitmapHandle /*bitmap*/) override {}

  // The texts of the message boxes, in the order shown.
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

}  // namespace velmora
