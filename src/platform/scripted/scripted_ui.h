// A Ui that never waits for a person: every prompt is answered from rules
// (usually loaded from an answer file) or, when no rule matches, with the
// prompt's default; everything shown is recorded in a transcript.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace velmora {

// One rule of an answer file: answer prompts of `kind` whose text matches
// `pattern` (a wildcard pattern: * any run, ? any one character) with
// `answer`, at most `uses` times (0 = without limit).
struct AnswerRule {
  std::string kind;     // "message"
  std::string pattern;
  std::string answer;   // "ok", "cancel", "yes", "no", "abort", "retry", "ignore"
  int uses = 0;
  int used = 0;
  int line = 0;         // line in the answer file, for messages
};

// One thing shown to the user and how it was answered.
struct TranscriptEntry {
  std::string kind;     // "message"
  std::string caption;
  std::string text;
  std::uint32_t style = 0;
  int answer = 0;       // button id
  bool fromRule = false;
};

class ScriptedUi : public Ui {
 public:
  ScriptedUi() = default;

  // Rules are tried in the order added; the first that matches answers.
  void AddRule(AnswerRule rule);
  // Loads an answer file; throws std::runtime_error naming the line of a
  // malformed rule.  See docs/answer-file.md.
  void LoadAnswers(std::istream& in, const std::string& fileName);
  // Prints every prompt to `echo` as it is answered (null: silent).
  void SetEcho(std::ostream* echo) { echo_ = echo; }

  int MessageBox(const std::string& text, const std::string& caption,
                 std::uint32_t style) override;

  const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
  void ClearTranscript() { transcript_.clear(); }
  void WriteTranscript(std::ostream& out) const;

 private:
  AnswerRule* FindRule(const std::string& kind, const std::string& text);
  void Record(TranscriptEntry entry);

  std::vector<AnswerRule> rules_;
  std::vector<TranscriptEntry> transcript_;
  std::ostream* echo_ = nullptr;
};

// Wildcard match of a whole text: * matches any run, ? any one character.
bool WildcardMatch(const std::string& pattern, const std::string& text);
// "yes" -> id::yes; 0 for an unknown name.
int ButtonIdFromName(const std::string& name);
// id::yes -> "Yes".
std::string ButtonNameFromId(int id);
// One transcript line: message "caption" [Yes/No, question] "text" -> Yes
std::string FormatTranscriptEntry(const TranscriptEntry& entry);

}  // namespace velmora
