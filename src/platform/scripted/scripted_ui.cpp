#include "platform/scripted/scripted_ui.h"

#include <cctype>
#include <istream>
#include <ostream>
#include <stdexcept>

namespace velmora {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

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

// Reads a double-quoted string starting at `pos` (which holds the quote),
// honouring \" \\ \n; advances pos past the closing quote.
bool ParseQuoted(const std::string& line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  out.clear();
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == '"') return true;
    if (c == '\\' && pos < line.size()) {
      char n = line[pos++];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += c;
    }
  }
  return false;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& text) {
  // Iterative matcher with one backtrack point: linear in practice, no recursion.
  std::size_t p = 0, t = 0, star = std::string::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

int ButtonIdFromName(const std::string& name) {
  const std::string n = Lower(name);
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

void ScriptedUi::LoadAnswers(std::istream& in, const std::string& fileName) {
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const std::string& why) {
      throw std::runtime_error(fileName + ":" + std::to_string(lineNo) + ": " + why);
    };
    // kind "pattern" = answer [xN]
    const std::size_t space = line.find_first_of(" \t");
    if (space == std::string::npos) fail("expected: KIND \"PATTERN\" = ANSWER");
    AnswerRule rule;
    rule.kind = line.substr(0, space);
    rule.line = lineNo;
    if (rule.kind != "message") fail("unknown prompt kind '" + rule.kind + "' (known: message)");
    std::size_t pos = line.find_first_not_of(" \t", space);
    if (!ParseQuoted(line, pos, rule.pattern)) fail("the pattern must be a double-quoted text");
    std::string rest = Trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') fail("expected '=' after the pattern");
    rest = Trim(rest.substr(1));
    const std::size_t times = rest.find_first_of(" \t");
    if (times != std::string::npos) {
      const std::string count = Trim(rest.substr(times));
      rest = rest.substr(0, times);
      if (count.size() < 2 || count[0] != 'x' ||
          count.find_first_not_of("0123456789", 1) != std::string::npos)
        fail("expected a use count such as x2 after the answer, found '" + count + "'");
      rule.uses = std::stoi(count.substr(1));
      if (rule.uses <= 0) fail("a use count must be at least 1");
    }
    if (ButtonIdFromName(rest) == 0)
      fail("unknown answer '" + rest + "' (ok, cancel, yes, no, abort, retry, ignore)");
    rule.answer = Lower(rest);
    AddRule(std::move(rule));
  }
}

AnswerRule* ScriptedUi::FindRule(const std::string& kind, const std::string& text) {
  for (AnswerRule& rule : rules_) {
    if (rule.kind != kind) continue;
    if (rule.uses > 0 && rule.used >= rule.uses) continue;
    if (WildcardMatch(rule.pattern, text)) return &rule;
  }
  return nullptr;
}

int ScriptedUi::MessageBox(const std::string& text, const std::string& caption, std::uint32_t style) {
  TranscriptEntry entry{"message", caption, text, style, DefaultButton(style), false};
  if (AnswerRule* rule = FindRule("message", text)) {
    const int answer = ButtonIdFromName(rule->answer);
    // An answer the box does not offer cannot be pressed: keep the default.
    const std::string offered = ButtonNames(style);
    if (offered.find(ButtonNameFromId(answer)) != std::string::npos) {
      entry.answer = answer;
      entry.fromRule = true;
      ++rule->used;
    }
  }
  Record(entry);
  return entry.answer;
}

void ScriptedUi::Record(TranscriptEntry entry) {
  if (echo_ != nullptr) *echo_ << FormatTranscriptEntry(entry) << '\n' << std::flush;
  transcript_.push_back(std::move(entry));
}

std::string FormatTranscriptEntry(const TranscriptEntry& e) {
  std::string icon = IconName(e.style);
  std::string line = e.kind + " \"" + Escape(e.caption) + "\" [" + ButtonNames(e.style);
  if (!icon.empty()) line += ", " + icon;
  line += "] \"" + Escape(e.text) + "\" -> " + ButtonNameFromId(e.answer);
  if (!e.fromRule) line += " (default)";
  return line;
}

void ScriptedUi::WriteTranscript(std::ostream& out) const {
  for (const TranscriptEntry& e : transcript_) out << FormatTranscriptEntry(e) << '\n';
}

}  // namespace velmora
