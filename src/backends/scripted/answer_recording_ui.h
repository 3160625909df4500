// A Ui that passes every call on to another Ui (the real windows, or a
// scripted Ui) and notes every prompt with the answer it got, so that the
// answers can be written as an answer file (answer_file.h) that gives them
// again: recorded once interactively, replayed unattended elsewhere.
//
// Only the prompts the run asks are noted: a message box a dialog shows
// while it is open (the group dialog refusing a name) belongs to that
// dialog's answer, which the replay gives again through the dialog's rule.
#pragma once

#include <string>
#include <vector>

#include "backends/scripted/answer_file.h"
#include "platform/ui.h"

namespace velmora {

class LineLog;

class AnswerRecordingUi final : public Ui {
 public:
  explicit AnswerRecordingUi(Ui& inner) : inner_(inner) {}

  int MessageBox(const std::string& text, const std::string& caption, std::uint32_t style) override;
  int RunDirectoryDialog(CDirectoryDialog& dialog) override;
  int RunReplaceFileDialog(CReplaceFileDialog& dialog) override;
  int RunGroupDialog(CGroupDialog& dialog) override;
  int RunAgreementDialog(CAgreementDialog& dialog) override;
  int RunUserInfoDialog(CUserInfoDialog& dialog) override;
  void ShowProgress() override { inner_.ShowProgress(); }
  void UpdateProgress(const std::string& fileText, int percent) override {
    inner_.UpdateProgress(fileText, percent);
  }
  void HideProgress() override { inner_.HideProgress(); }
  void MainWindowChanged(const std::string& heading, const std::string& status,
                         WindowPicture* picture) override {
    inner_.MainWindowChanged(heading, status, picture);
  }
  BitmapHandle CreateScreenBitmap(const DibImage& image) override {
    return inner_.CreateScreenBitmap(image);
  }
  void DeleteBitmap(BitmapHandle bitmap) override { inner_.DeleteBitmap(bitmap); }
  // Passed on; the package's title and the run's result also go into the
  // answer file's heading.
  void Note(RunNote note, const std::string& text) override;

  const std::vector<RecordedAnswer>& Answers() const { return answers_; }
  // The answer file of the prompts answered so far.
  std::string AnswerText() const;
  // That text into an opened file, a line at a time.
  void WriteAnswers(LineLog& file) const;

 private:
  // Passes a prompt on and notes its answer when it is the run's own.
  template <typename Show>
  int Prompt(TranscriptKind kind, const std::string& subject, Show show);

  Ui& inner_;
  int depth_ = 0;  // prompts open: 1 inside a prompt of the run
  std::vector<RecordedAnswer> answers_;
  std::string title_;
  std::string result_;
};

}  // namespace velmora
