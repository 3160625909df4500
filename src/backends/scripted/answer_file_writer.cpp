// Writing answer files (answer_file.h): rules in the syntax the reader
// (answer_file.cpp) takes, patterns escaped as it unescapes them.
#include <algorithm>
#include <map>

#include "backends/scripted/answer_file.h"
#include "backends/scripted/scripted_ui.h"
#include "framework/ascii.h"
#include "platform/path_limit.h"

namespace velmora {
namespace {

// One line of the file: a rule, or a comment for an answer no rule gives.
struct RuleLine {
  TranscriptKind kind = TranscriptKind::message;
  std::string subject;  // the text answered
  std::string pattern;  // the pattern as the reader takes it back
  std::string key;      // kind and quoted pattern: the prompt the rule answers
  std::string words;    // the answer after '='; "" for a comment
  std::string comment;  // why the answer was not written
  int uses = 0;
};

// The rule's pattern also matches the text of another prompt of its kind.
bool Shadows(const RuleLine& rule, const std::vector<RuleLine>& rules) {
  return std::any_of(rules.begin(), rules.end(), [&](const RuleLine& other) {
    return other.kind == rule.kind && other.key != rule.key &&
           WildcardMatch(rule.pattern, other.subject);
  });
}

// The text of a `type` action: taken literally up to the next double
// quote, on one line, so a value holding either cannot be given.
bool WritableValue(const std::string& value, std::string& why) {
  if (value.find('"') != std::string::npos) {
    why = "the value holds a double quote, which an answer file cannot give";
    return false;
  }
  if (value.find_first_of("\r\n") != std::string::npos) {
    why = "the value holds a line break, which an answer file cannot give";
    return false;
  }
  return true;
}

// The answer after '=' that gives `answer`; "" with why when none does.
std::string AnswerWords(const RecordedAnswer& answer, std::string& why) {
  const bool ok = answer.button == id::ok;
  switch (answer.kind) {
    case TranscriptKind::message: {
      const std::string name = ButtonNameFromId(answer.button);
      if (ButtonIdFromName(name) != 0) return AsciiLowered(name);
      why = "the box answered " + name + ", which has no name in an answer file";
      return {};
    }
    case TranscriptKind::replace: return ok ? "new" : "existing";
    case TranscriptKind::agreement: return ok ? "accept" : "refuse";
    case TranscriptKind::readme: return ok ? "ok" : "close";
    default: break;
  }
  if (!ok) return answer.kind == TranscriptKind::directory ? "cancel" : "escape";
  if (!answer.typed) return "ok";
  if (!WritableValue(*answer.typed, why)) return {};
  if (answer.kind == TranscriptKind::directory && answer.typed->size() > kMaxPathBytes) {
    why = "the path is longer than the " + std::to_string(kMaxPathBytes) +
          " characters the dialog takes";
    return {};
  }
  return "type \"" + *answer.typed + "\" ok";
}

std::string RuleText(const RuleLine& rule) {
  if (!rule.comment.empty()) return "# " + rule.key + ": not recorded: " + rule.comment;
  std::string text = rule.key + " = " + rule.words;
  if (rule.uses > 0) text += " x" + std::to_string(rule.uses);
  return text;
}

}  // namespace

std::string AnswerPattern(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '*': out += '?'; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string AnswerFileText(const std::vector<RecordedAnswer>& answers,
                           const std::vector<std::string>& heading) {
  std::vector<RuleLine> lines;
  lines.reserve(answers.size());
  for (const RecordedAnswer& answer : answers) {
    RuleLine line;
    line.kind = answer.kind;
    line.subject = answer.subject;
    line.pattern = answer.subject;
    std::replace(line.pattern.begin(), line.pattern.end(), '*', '?');
    line.key = TranscriptKindName(answer.kind);
    if (answer.kind == TranscriptKind::directory) line.key += " step";
    line.key += " " + AnswerPattern(answer.subject);
    line.words = AnswerWords(answer, line.comment);
    lines.push_back(std::move(line));
  }
  // A prompt answered the same every time needs one rule without a count.
  std::map<std::string, bool> uniform;
  std::map<std::string, std::string> first;
  for (const RuleLine& line : lines) {
    const auto [at, added] = first.emplace(line.key, line.words + '\n' + line.comment);
    uniform[line.key] =
        added || (uniform[line.key] && at->second == line.words + '\n' + line.comment);
  }
  std::vector<RuleLine> rules;
  std::map<std::string, std::size_t> last;  // key -> its latest rule in `rules`
  for (RuleLine& line : lines) {
    const auto previous = last.find(line.key);
    if (previous != last.end()) {
      RuleLine& rule = rules[previous->second];
      if (uniform[line.key]) continue;
      if (rule.words == line.words && rule.comment == line.comment) {
        ++rule.uses;
        continue;
      }
    }
    line.uses = uniform[line.key] ? 0 : 1;
    last[line.key] = rules.size();
    rules.push_back(std::move(line));
  }
  // A rule that would also answer another prompt goes after the others.
  std::vector<char> shadows(rules.size());
  std::transform(rules.begin(), rules.end(), shadows.begin(),
                 [&](const RuleLine& rule) { return Shadows(rule, rules) ? 1 : 0; });
  std::vector<RuleLine> ordered;
  ordered.reserve(rules.size());
  for (const char late : {0, 1})
    for (std::size_t i = 0; i < rules.size(); ++i)
      if (shadows[i] == late) ordered.push_back(std::move(rules[i]));

  std::string text;
  for (std::string line : heading) {
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    text += "# " + line + "\n";
  }
  for (const RuleLine& rule : ordered) text += RuleText(rule) + "\n";
  return text;
}

}  // namespace velmora
