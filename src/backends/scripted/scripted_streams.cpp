// The scripted Ui's stream conveniences for the host tools and the tests,
// kept apart so that a program that does not use them (SETUP.EXE) does not
// link the stream library.
#include <istream>
#include <iterator>
#include <ostream>

#include "backends/scripted/scripted_ui.h"

namespace velmora {

void ScriptedUi::LoadAnswers(std::istream& in, const std::string& fileName) {
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  LoadAnswerText(text, fileName);
}

void ScriptedUi::WriteTranscript(std::ostream& out) const {
  for (const TranscriptEntry& e : transcript_) out << FormatTranscriptEntry(e) << '\n';
  if (progress_) out << FormatTranscriptEntry(*progress_) << '\n';
}

}  // namespace velmora
