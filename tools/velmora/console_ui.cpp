#include "console_ui.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <utility>

#include "commands.h"

namespace velmora::cli {

ConsoleUi::ConsoleUi(std::string command, std::string answers, std::string transcript)
    : command_(std::move(command)),
      answers_(std::move(answers)),
      transcriptPath_(std::move(transcript)),
      terminal_(::isatty(::fileno(stdout)) != 0) {
  SetObserver([this](const TranscriptEntry& entry) { Show(entry); });
  if (!answers_.empty()) {
    std::ifstream in(answers_);
    if (!in) Fail("cannot read answer file '" + answers_ + "'", kExitIoError);
    try {
      LoadAnswers(in, answers_);
    } catch (const std::runtime_error& e) {
      Fail(e.what(), kExitUsage);
    }
  }
  if (!transcriptPath_.empty()) {
    transcript_.open(transcriptPath_, std::ios::trunc);
    if (!transcript_) Fail("cannot write transcript '" + transcriptPath_ + "'", kExitIoError);
  }
}

void ConsoleUi::UpdateProgress(const std::string& fileText, int percent) {
  ScriptedUi::UpdateProgress(fileText, percent);
  if (terminal_) DrawBar(fileText, percent);
}

void ConsoleUi::HideProgress() {
  ScriptedUi::HideProgress();
  ClearBar();
}

void ConsoleUi::Finish() {
  FlushProgress();
  if (transcript_.is_open()) {
    WriteTranscript(transcript_);
    transcript_.close();
    if (!transcript_) Fail("cannot write transcript '" + transcriptPath_ + "'", kExitIoError);
  }
}

void ConsoleUi::WarnUnusedRules() const {
  if (const std::string text = UnusedRulesText(); !text.empty())
    std::cerr << "velmora " << command_ << ": warning: " << text << '\n';
}

void ConsoleUi::Show(const TranscriptEntry& entry) {
  if (entry.kind == TranscriptKind::progress) {
    if (!terminal_) {
      std::printf("[%3d%%] %s\n", entry.percent, entry.text.c_str());
      std::fflush(stdout);
    }
    return;
  }
  if (entry.kind == TranscriptKind::window) {
    if (entry.caption == heading_) return;  // status line changes are not news
    heading_ = entry.caption;
    ClearBar();
    std::cout << heading_ << std::endl;
    return;
  }
  // The run's notes are for the transcript; the console shows the steps as
  // progress lines already, and of the notes only the roll-back.
  if (entry.kind == TranscriptKind::note && entry.caption != "rollback") return;
  ClearBar();
  if (entry.kind == TranscriptKind::agreement || entry.kind == TranscriptKind::readme) {
    ShowText(entry);
    return;
  }
  std::cout << FormatTranscriptEntry(entry) << std::endl;
}

// The agreement and readme texts as the dialog shows them, one line of the
// text per line of output, under the buttons and the answer.
void ConsoleUi::ShowText(const TranscriptEntry& entry) {
  TranscriptEntry heading = entry;
  heading.text.clear();
  std::string line = FormatTranscriptEntry(heading);
  line.erase(line.find(" \"\" -> "), 3);  // the emptied text
  std::cout << line << '\n';
  std::size_t start = 0;
  while (start <= entry.text.size()) {
    std::size_t end = entry.text.find('\n', start);
    if (end == std::string::npos) end = entry.text.size();
    std::string text = entry.text.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::cout << "  | " << text << '\n';
    start = end + 1;
  }
  std::cout << std::flush;
}

void ConsoleUi::DrawBar(const std::string& text, int percent) {
  const int shown = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const int filled = shown * kBarWidth / 100;
  std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] ";
  const std::string number = std::to_string(shown) + "%";
  line += std::string(4 - number.size(), ' ') + number + " " + text;
  if (line.size() > kLineWidth) line.resize(kLineWidth);
  if (barShown_ && line == lastBar_) return;
  lastBar_ = line;
  std::printf("\r%-*s", static_cast<int>(kLineWidth), line.c_str());
  std::fflush(stdout);
  barShown_ = true;
}

void ConsoleUi::ClearBar() {
  if (!barShown_) return;
  std::printf("\r%*s\r", static_cast<int>(kLineWidth), "");
  std::fflush(stdout);
  barShown_ = false;
}

}  // namespace velmora::cli
