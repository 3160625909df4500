// The scripted Ui of the headless runs (install, uninstall) with a console:
// every message and dialog as it is answered (the agreement and readme
// texts in full), the heading when
// it changes, and the progress dialog as a bar (redrawn in place on a
// terminal, one line per step otherwise).  Prompts are answered from an
// answer file (docs/answer-file.md), and the whole transcript can go to a
// file at the end.
#pragma once

#include <fstream>
#include <string>

#include "backends/scripted/scripted_ui.h"

namespace velmora::cli {

class ConsoleUi final : public ScriptedUi {
 public:
  // Loads the answer file and opens the transcript file ("" for none);
  // a problem with either ends the command through Fail (exit codes 2 for a
  // bad answer file, 3 for an unreadable or unwritable file).  `command`
  // names the command in warnings.
  ConsoleUi(std::string command, std::string answers, std::string transcript);

  void UpdateProgress(const std::string& fileText, int percent) override;
  void HideProgress() override;

  // After the run: the last progress line, a warning for every rule that
  // never answered, and the transcript written.
  void Finish();
  // One line naming the answer rules that never answered a prompt; nothing
  // when every rule answered one.
  void WarnUnusedRules() const;
  // Those rules in words; "" when there are none.
  std::string UnusedRulesText() const { return UnusedRulesSummary(answers_); }
  // The rules no prompt of a package can match, in words; "" when none.
  std::string RulesNoPromptCanMatchText(const PossiblePrompts& prompts) const {
    return RulesNoPromptCanMatchSummary(answers_, prompts);
  }

 private:
  static constexpr int kBarWidth = 30;
  static constexpr std::size_t kLineWidth = 79;

  void Show(const TranscriptEntry& entry);
  void ShowText(const TranscriptEntry& entry);
  void DrawBar(const std::string& text, int percent);
  void ClearBar();

  std::string command_;
  std::string answers_;
  std::string transcriptPath_;
  std::ofstream transcript_;
  bool terminal_;
  bool barShown_ = false;
  std::string lastBar_;
  std::string heading_;
};

}  // namespace velmora::cli
