#include "backends/scripted/answer_recording_ui.h"

#include "backends/scripted/line_log.h"
#include "dialogs/agreement_dialog.h"
#include "dialogs/directory_dialog.h"
#include "dialogs/group_dialog.h"
#include "dialogs/replace_file_dialog.h"
#include "dialogs/user_info_dialog.h"
#include "platform/program_version.h"

namespace velmora {

template <typename Show>
int AnswerRecordingUi::Prompt(TranscriptKind kind, const std::string& subject, Show show) {
  struct Open {
    int& depth;
    ~Open() { --depth; }
  } open{++depth_};
  RecordedAnswer answer{kind, subject, 0, std::nullopt};
  answer.button = show(answer.typed);
  const int button = answer.button;
  if (depth_ == 1) answers_.push_back(std::move(answer));
  return button;
}

int AnswerRecordingUi::MessageBox(const std::string& text, const std::string& caption,
                                  std::uint32_t style) {
  return Prompt(TranscriptKind::message, text, [&](std::optional<std::string>&) {
    return inner_.MessageBox(text, caption, style);
  });
}

int AnswerRecordingUi::RunDirectoryDialog(CDirectoryDialog& dialog) {
  return Prompt(TranscriptKind::directory, dialog.m_stepName,
                [&](std::optional<std::string>& typed) {
                  const std::string suggested = dialog.m_path;
                  const int button = inner_.RunDirectoryDialog(dialog);
                  if (button == id::ok && dialog.m_path != suggested) typed = dialog.m_path;
                  return button;
                });
}

int AnswerRecordingUi::RunReplaceFileDialog(CReplaceFileDialog& dialog) {
  return Prompt(TranscriptKind::replace, dialog.m_existingName,
                [&](std::optional<std::string>&) { return inner_.RunReplaceFileDialog(dialog); });
}

int AnswerRecordingUi::RunGroupDialog(CGroupDialog& dialog) {
  const std::string suggested = dialog.m_group;
  return Prompt(TranscriptKind::group, suggested, [&](std::optional<std::string>& typed) {
    const int button = inner_.RunGroupDialog(dialog);
    if (button == id::ok && dialog.m_group != suggested) typed = dialog.m_group;
    return button;
  });
}

int AnswerRecordingUi::RunAgreementDialog(CAgreementDialog& dialog) {
  const TranscriptKind kind =
      dialog.ShowsRefuseButton() ? TranscriptKind::agreement : TranscriptKind::readme;
  return Prompt(kind, dialog.m_text,
                [&](std::optional<std::string>&) { return inner_.RunAgreementDialog(dialog); });
}

int AnswerRecordingUi::RunUserInfoDialog(CUserInfoDialog& dialog) {
  const std::string suggested = dialog.m_value;
  return Prompt(TranscriptKind::user, dialog.m_label, [&](std::optional<std::string>& typed) {
    const int button = inner_.RunUserInfoDialog(dialog);
    if (button == id::ok && dialog.m_value != suggested) typed = dialog.m_value;
    return button;
  });
}

void AnswerRecordingUi::Note(RunNote note, const std::string& text) {
  if (note == RunNote::package) title_ = text;
  if (note == RunNote::result) result_ = text;
  inner_.Note(note, text);
}

std::string AnswerRecordingUi::AnswerText() const {
  std::vector<std::string> heading{"Answers recorded by Velmora Setup " VELMORA_VERSION_TEXT};
  if (!title_.empty()) heading.push_back("Package: " + title_);
  if (!result_.empty()) heading.push_back("Result: " + result_);
  heading.emplace_back("Replay: SETUP.EXE /quiet /answers FILE (docs/answer-file.md)");
  return AnswerFileText(answers_, heading);
}

void AnswerRecordingUi::WriteAnswers(LineLog& file) const {
  const std::string text = AnswerText();
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    file.WriteLine(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace velmora
