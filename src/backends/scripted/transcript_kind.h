// What a transcript entry records, and which prompts an answer-file rule
// answers, with the word each kind is written as: at the start of a rule in
// an answer file and of an entry's transcript line.
#pragma once

#include <optional>
#include <string_view>

namespace velmora {

enum class TranscriptKind {
  // Prompts: answer-file rules answer them.
  message,
  directory,
  replace,
  group,
  agreement,  // the agreement dialog with its refuse button
  readme,     // the same dialog without it: the readme viewer
  user,       // the user information dialog
  // Shown or noted, never answered.
  background,
  progress,
  window,
  note,
};

// The word for a kind, e.g. "message".
const char* TranscriptKindName(TranscriptKind kind);
// The prompt kind an answer-file rule names with `word`; none for any other
// word, the kinds that are never answered included.
std::optional<TranscriptKind> PromptKindFromName(std::string_view word);

}  // namespace velmora
