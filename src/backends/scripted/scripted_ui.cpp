#include "backends/scripted/scripted_ui.h"

#include "framework/ascii.h"

namespace velmora {
namespace {

// Message texts may hold line breaks; the transcript shows them escaped so
// that every entry stays on one line.
std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else out += c;
  }
  return out;
}

std::string Quoted(const std::string& s) { return "\"" + Escape(s) + "\""; }

// Who gave an answer, when it was not a rule: " (user)" in the window,
// " (default)" for the prompt's own default.
const char* AnswerSource(const TranscriptEntry& e) {
  if (e.byUser) return " (user)";
  return e.fromRule ? "" : " (default)";
}

bool OffersCancel(std::uint32_t style) {
  return ButtonNames(style).find("Cancel") != std::string::npos;
}

}  // namespace

int ButtonIdFromName(const std::string& name) {
  const std::string n = AsciiLowered(name);
  if (n == "ok") return id::ok;
  if (n == "cancel") return id::cancel;
  if (n == "abort") return id::abort;
  if (n == "retry") return id::retry;
  if (n == "ignore") return id::ignore;
  if (n == "yes") return id::yes;
  if (n == "no") return id::no;
  return 0;
}

std::string ButtonNameFromId(int button) {
  switch (button) {
    case id::ok: return "OK";
    case id::cancel: return "Cancel";
    case id::abort: return "Abort";
    case id::retry: return "Retry";
    case id::ignore: return "Ignore";
    case id::yes: return "Yes";
    case id::no: return "No";
    default: return "button " + std::to_string(button);
  }
}

void ScriptedUi::AddRule(AnswerRule rule) { rules_.push_back(std::move(rule)); }

AnswerRule* ScriptedUi::FindRule(TranscriptKind kind, const std::string& text,
                                 const std::string& stepName) {
  for (AnswerRule& rule : rules_) {
    if (rule.kind != kind) continue;
    if (rule.uses > 0 && rule.used >= rule.uses) continue;
    const std::string& subject = rule.target == "step" ? stepName : text;
    if (WildcardMatch(rule.pattern, subject)) return &rule;
  }
  return nullptr;
}

namespace {

// "2 rules of FILE WHAT: lines 3, 7"; "" for no rules.
std::string RulesSummary(const std::vector<const AnswerRule*>& rules,
                         const std::string& answersPath, const std::string& what) {
  if (rules.empty()) return {};
  std::string text = std::to_string(rules.size()) + (rules.size() == 1 ? " rule" : " rules") +
                     " of " + answersPath + " " + what + ": line" +
                     (rules.size() == 1 ? " " : "s ");
  for (std::size_t i = 0; i < rules.size(); ++i)
    text += (i == 0 ? "" : ", ") + std::to_string(rules[i]->line);
  return text;
}

bool AnyMatches(const std::string& pattern, const std::vector<std::string>& texts) {
  for (const std::string& text : texts)
    if (WildcardMatch(pattern, text)) return true;
  return false;
}

bool CanMatch(const AnswerRule& rule, const PossiblePrompts& prompts) {
  switch (rule.kind) {
    case TranscriptKind::directory:
      return AnyMatches(rule.pattern, rule.target == "step" ? prompts.directoryStepNames
                                                            : prompts.directoryQuestions);
    case TranscriptKind::group: return AnyMatches(rule.pattern, prompts.groupNames);
    case TranscriptKind::user: return AnyMatches(rule.pattern, prompts.userLabels);
    case TranscriptKind::agreement: return prompts.agreements;
    case TranscriptKind::readme: return prompts.readmes;
    case TranscriptKind::replace: return prompts.fileReplacements;
    default: return true;  // message boxes: their texts are not known before the run
  }
}

}  // namespace

std::string ScriptedUi::UnusedRulesSummary(const std::string& answersPath) const {
  return RulesSummary(UnusedRules(), answersPath, "never answered a prompt");
}

std::vector<const AnswerRule*> ScriptedUi::UnusedRules() const {
  std::vector<const AnswerRule*> unused;
  for (const AnswerRule& rule : rules_) {
    if (rule.used == 0) unused.push_back(&rule);
  }
  return unused;
}

std::vector<const AnswerRule*> ScriptedUi::RulesNoPromptCanMatch(
    const PossiblePrompts& prompts) const {
  std::vector<const AnswerRule*> impossible;
  for (const AnswerRule& rule : rules_)
    if (!CanMatch(rule, prompts)) impossible.push_back(&rule);
  return impossible;
}

std::string ScriptedUi::RulesNoPromptCanMatchSummary(const std::string& answersPath,
                                                     const PossiblePrompts& prompts) const {
  return RulesSummary(RulesNoPromptCanMatch(prompts), answersPath,
                      "can answer no prompt of this package");
}

int ScriptedUi::GuardRepeats(const std::string& key, bool fromRule, bool offersCancel,
                             TranscriptEntry& entry) {
  const int shown = ++promptCounts_[key];
  if (!fromRule) {
    const int unanswered = ++defaultCounts_[key];
    if (unanswered > kMaxDefaultRepeats && offersCancel) {
      entry.notes.push_back("shown " + std::to_string(unanswered) +
                            " times without an answer: cancelled to end the run");
      return id::cancel;
    }
  }
  if (shown > kMaxSamePrompt && offersCancel) {
    entry.notes.push_back("shown " + std::to_string(shown) + " times: cancelled to end the run");
    return id::cancel;
  }
  return 0;
}

int ScriptedUi::MessageBox(const std::string& text, const std::string& caption,
                           std::uint32_t style) {
  TranscriptEntry entry{TranscriptKind::message, caption, text, style, DefaultButton(style), false};
  AnswerRule* rule = FindRule(TranscriptKind::message, text);
  if (rule == nullptr && fallback_ != nullptr) {
    entry.answer = fallback_->MessageBox(text, caption, style);
    entry.byUser = true;
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    const int answer = ButtonIdFromName(rule->answer);
    // An answer the box does not offer cannot be pressed: keep the default.
    const std::string offered = ButtonNames(style);
    if (offered.find(ButtonNameFromId(answer)) != std::string::npos) {
      entry.answer = answer;
      entry.fromRule = true;
    } else {
      rule = nullptr;
    }
  }
  const std::string key = "message\x1f" + caption + "\x1f" + text + "\x1f" + std::to_string(style);
  if (const int forced = GuardRepeats(key, entry.fromRule, OffersCancel(style), entry)) {
    entry.answer = forced;
  } else if (rule != nullptr) {
    ++rule->used;
  }
  Record(entry);
  return entry.answer;
}

void ScriptedUi::ShowProgress() {
  if (fallback_ != nullptr) fallback_->ShowProgress();
}

void ScriptedUi::UpdateProgress(const std::string& fileText, int percent) {
  if (fallback_ != nullptr) fallback_->UpdateProgress(fileText, percent);
  if (progress_ && progress_->text == fileText) {
    progress_->percent = percent;
    return;
  }
  FlushProgress();
  TranscriptEntry entry;
  entry.kind = TranscriptKind::progress;
  entry.text = fileText;
  entry.percent = percent;
  entry.fromRule = true;  // nothing was asked
  progress_ = std::move(entry);
}

void ScriptedUi::HideProgress() {
  FlushProgress();
  if (fallback_ != nullptr) fallback_->HideProgress();
}

void ScriptedUi::FlushProgress() {
  if (!progress_) return;
  TranscriptEntry entry = std::move(*progress_);
  progress_.reset();
  Emit(entry);
  transcript_.push_back(std::move(entry));
}

void ScriptedUi::Record(TranscriptEntry entry) {
  FlushProgress();  // keeps the transcript in the order things were shown
  Emit(entry);
  transcript_.push_back(std::move(entry));
}

void ScriptedUi::Emit(const TranscriptEntry& entry) {
  if (echo_) echo_(FormatTranscriptEntry(entry));
  if (observer_) observer_(entry);
}

std::string FormatTranscriptEntry(const TranscriptEntry& e) {
  std::string line;
  if (e.kind == TranscriptKind::progress) {
    return "progress " + Quoted(e.text) + " " + std::to_string(e.percent) + "%";
  }
  if (e.kind == TranscriptKind::window) return "window " + Quoted(e.caption) + " " + Quoted(e.text);
  if (e.kind == TranscriptKind::background) return "background " + e.text;
  if (e.kind == TranscriptKind::note) return e.caption + " " + Quoted(e.text) + e.result;
  if (e.kind == TranscriptKind::replace) {
    line = "replace " + Quoted(e.caption) + " " + Quoted(e.text) + " -> " +
           (e.answer == id::ok ? "Use new file" : "Use existing file");
    line += AnswerSource(e);
    for (const std::string& note : e.notes) line += " (" + note + ")";
    return line;
  }
  if (e.kind == TranscriptKind::group) {
    line = "group " + Quoted(e.caption) + " " + Quoted(e.path) + " [";
    for (std::size_t i = 0; i < e.list.size(); ++i) line += (i ? ", " : "") + Quoted(e.list[i]);
    line += "] -> " + std::string(e.answer == id::ok ? "OK " + Quoted(e.result) : "Escape");
  } else if (e.kind == TranscriptKind::agreement || e.kind == TranscriptKind::readme) {
    line = std::string(TranscriptKindName(e.kind)) + " [";
    for (std::size_t i = 0; i < e.list.size(); ++i) line += (i ? ", " : "") + Quoted(e.list[i]);
    line += "] " + Quoted(e.text) + " -> " + e.result;
  } else if (e.kind == TranscriptKind::user) {
    line = "user " + Quoted(e.caption) + " " + Quoted(e.path) + " -> " +
           (e.answer == id::ok ? "OK " + Quoted(e.result) : std::string("Escape"));
  } else if (e.kind == TranscriptKind::directory) {
    line = "directory " + Quoted(e.caption) + " " + Quoted(e.text) + " " + Quoted(e.path) + " -> " +
           ButtonNameFromId(e.answer);
    if (e.answer == id::ok) line += " " + Quoted(e.result);
  } else {  // message
    const std::string icon = IconName(e.style);
    line = "message " + Quoted(e.caption) + " [" + ButtonNames(e.style);
    if (!icon.empty()) line += ", " + icon;
    line += "] " + Quoted(e.text) + " -> " + ButtonNameFromId(e.answer);
  }
  line += AnswerSource(e);
  for (const std::string& note : e.notes) line += " (" + note + ")";
  return line;
}

}  // namespace velmora

namespace velmora {

void ScriptedUi::Note(RunNote note, const std::string& text) {
  TranscriptEntry entry;
  entry.kind = TranscriptKind::note;
  entry.fromRule = true;
  entry.text = text;
  switch (note) {
    case RunNote::program: entry.caption = "program"; break;
    case RunNote::badCommandLine: entry.caption = "error"; break;
    case RunNote::package: entry.caption = "package"; break;
    case RunNote::mediaFile: entry.caption = "media"; break;
    case RunNote::stepDone:
      entry.caption = "step";
      entry.result = " -> done";
      break;
    case RunNote::stepFailed:
      entry.caption = "step";
      entry.result = " -> failed";
      break;
    case RunNote::rolledBack: entry.caption = "rollback"; break;
    case RunNote::undone:
      entry.caption = "undo";
      entry.result = " -> done";
      break;
    case RunNote::notUndone:
      entry.caption = "undo";
      entry.result = " -> failed";
      break;
    case RunNote::result: entry.caption = "result"; break;
    case RunNote::warning: entry.caption = "warning"; break;
  }
  Record(std::move(entry));
}

}  // namespace velmora
