// Writing answer files: the rules that give recorded answers again.  The
// reader is ScriptedUi::LoadAnswerText (answer_file.cpp); both follow
// docs/answer-file.md.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backends/scripted/transcript_kind.h"

namespace velmora {

// One prompt as it was answered, in the run's order.
struct RecordedAnswer {
  TranscriptKind kind = TranscriptKind::message;  // one of the prompt kinds
  std::string subject;  // what a rule matches: the text; for the directory dialog the step's
                        // name, for the group dialog the suggested name, for the user
                        // information dialog the label, for the replace question the path
  int button = 0;       // the id the prompt answered
  std::optional<std::string> typed{};  // the edit field's text after OK, when it changed
};

// A rule pattern that matches `text` and hardly anything else, quoted and
// escaped as the reader takes it.  The pattern syntax has no escape for
// the wildcards, so a `*` in the text becomes `?`, which matches it (and
// any other single character in its place).
std::string AnswerPattern(const std::string& text);

// The answer file that gives `answers` again, one rule per answer, with
// `heading` (lines without their `#`) on top.  A prompt answered the same
// every time gets one rule without a use count; one answered differently
// gets a rule per answer (one per run of equal answers) counted with xN.
// A rule whose pattern (through a wildcard) also matches the text of
// another prompt answered comes after the other rules, so that it does not
// answer a prompt that has a rule of its own.  An answer no rule can
// give (a typed value holding a double quote or a line break, an unknown
// button) is written as a comment saying why: the replay takes the
// prompt's default there.
std::string AnswerFileText(const std::vector<RecordedAnswer>& answers,
                           const std::vector<std::string>& heading);

}  // namespace velmora
