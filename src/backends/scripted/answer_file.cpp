// Reading answer files (ScriptedUi::LoadAnswers).  One rule a line:
//   message "PATTERN" = BUTTON [xN]
//   directory "PATTERN" = ACTION... [xN]
//   directory step "PATTERN" = ACTION... [xN]
//   replace "PATTERN" = new|existing [xN]
//   group "PATTERN" = ACTION... [xN]
//   agreement "PATTERN" = accept|refuse|close [xN]
//   readme "PATTERN" = ok|close [xN]
//   user "PATTERN" = ACTION... [xN]
// with # comments and blank lines.  docs/answer-file.md has the whole format.
#include <cctype>
#include <charconv>
#include <optional>
#include <stdexcept>

#include "backends/scripted/scripted_ui.h"
#include "dialogs/directory_dialog.h"
#include "framework/ascii.h"

namespace velmora {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

// A pattern: a double-quoted string starting at `pos`, honouring \" \\ \n
// \r; any other backslash stands for itself.  Advances pos past the
// closing quote.
bool ParsePattern(const std::string& line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  out.clear();
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c == '"') return true;
    if (c == '\\' && pos < line.size()) {
      const char n = line[pos];
      if (n == '"' || n == '\\') {
        out += n;
        ++pos;
      } else if (n == 'n' || n == 'r') {
        out += n == 'n' ? '\n' : '\r';
        ++pos;
      } else {
        out += c;
      }
    } else {
      out += c;
    }
  }
  return false;
}

struct Token {
  std::string text;
  bool quoted = false;
};

// The words and quoted paths after '='.  A quoted path is taken literally:
// a Windows path holds no double quote, and its backslashes are not escapes.
bool Tokenize(const std::string& text, std::vector<Token>& tokens, std::string& why) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (std::isspace(static_cast<unsigned char>(text[pos]))) {
      ++pos;
      continue;
    }
    Token token;
    if (text[pos] == '"') {
      const std::size_t end = text.find('"', pos + 1);
      if (end == std::string::npos) {
        why = "a quoted path has no closing quotation mark";
        return false;
      }
      token.text = text.substr(pos + 1, end - pos - 1);
      token.quoted = true;
      pos = end + 1;
    } else {
      const std::size_t end = text.find_first_of(" \t\"", pos);
      token.text = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      pos = end == std::string::npos ? text.size() : end;
    }
    tokens.push_back(std::move(token));
  }
  return true;
}

bool IsUseCount(const Token& token) {
  return !token.quoted && token.text.size() >= 2 && token.text[0] == 'x' &&
         token.text.find_first_not_of("0123456789", 1) == std::string::npos;
}

}  // namespace

void ScriptedUi::LoadAnswerText(const std::string& text, const std::string& fileName) {
  int lineNo = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string raw = text.substr(start, end - start);
    start = end + 1;
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    auto fail = [&](const std::string& why) {
      throw std::runtime_error(fileName + ":" + std::to_string(lineNo) + ": " + why);
    };
    const std::size_t space = line.find_first_of(" \t");
    if (space == std::string::npos) fail("expected: KIND \"PATTERN\" = ANSWER");
    AnswerRule rule;
    const std::string kindWord = line.substr(0, space);
    const std::optional<TranscriptKind> kind = PromptKindFromName(kindWord);
    if (!kind)
      fail("unknown prompt kind '" + kindWord +
           "' (known: message, directory, replace, group, agreement, readme, user)");
    rule.kind = *kind;
    rule.line = lineNo;
    std::size_t pos = line.find_first_not_of(" \t", space);
    if (rule.kind == TranscriptKind::directory && line.compare(pos, 4, "step") == 0) {
      rule.target = "step";
      pos = line.find_first_not_of(" \t", pos + 4);
      if (pos == std::string::npos) fail("expected a quoted step name after 'step'");
    }
    if (!ParsePattern(line, pos, rule.pattern)) fail("the pattern must be a double-quoted text");
    std::string rest = Trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') fail("expected '=' after the pattern");

    std::vector<Token> tokens;
    std::string why;
    if (!Tokenize(rest.substr(1), tokens, why)) fail(why);
    if (!tokens.empty() && IsUseCount(tokens.back())) {
      const std::string& count = tokens.back().text;
      const auto [end, error] =
          std::from_chars(count.data() + 1, count.data() + count.size(), rule.uses);
      if (error != std::errc() || end != count.data() + count.size())
        fail("the use count " + count + " is too large");
      if (rule.uses <= 0) fail("a use count must be at least 1");
      tokens.pop_back();
    }
    if (tokens.empty()) fail("expected an answer after '='");

    // Kinds answered by one word.
    const char* words = rule.kind == TranscriptKind::replace     ? "new, existing"
                        : rule.kind == TranscriptKind::agreement ? "accept, refuse, close"
                        : rule.kind == TranscriptKind::readme    ? "ok, close"
                                                                 : nullptr;
    if (words != nullptr) {
      if (tokens.size() > 1)
        fail("expected a use count such as x2 after the answer, found '" + tokens[1].text + "'");
      const std::string word = tokens[0].quoted ? std::string() : AsciiLowered(tokens[0].text);
      const std::string known = std::string(", ") + words + ",";
      if (word.empty() || known.find(", " + word + ",") == std::string::npos)
        fail("unknown answer '" + tokens[0].text + "' (" + words + ")");
      rule.answer = word;
      AddRule(std::move(rule));
      continue;
    }

    if (rule.kind == TranscriptKind::message) {
      if (tokens.size() > 1)
        fail("expected a use count such as x2 after the answer, found '" + tokens[1].text + "'");
      if (tokens[0].quoted || ButtonIdFromName(tokens[0].text) == 0)
        fail("unknown answer '" + tokens[0].text + "' (ok, cancel, yes, no, abort, retry, ignore)");
      rule.answer = AsciiLowered(tokens[0].text);
      AddRule(std::move(rule));
      continue;
    }

    if (rule.kind == TranscriptKind::group) {
      for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string word = tokens[i].quoted ? std::string() : AsciiLowered(tokens[i].text);
        GroupAction action;
        if (word == "ok" || word == "escape") {
          action.kind = word == "ok" ? GroupAction::ok : GroupAction::escape;
          if (i + 1 != tokens.size()) fail("'" + word + "' ends the dialog: nothing may follow it");
        } else if (word == "type" || word == "choose") {
          if (i + 1 == tokens.size() || !tokens[i + 1].quoted)
            fail("'" + word + "' needs a quoted group name");
          action.kind = word == "type" ? GroupAction::type : GroupAction::choose;
          action.name = tokens[++i].text;
        } else {
          fail("unknown group answer '" + tokens[i].text +
               "' (ok, escape, type \"NAME\", choose \"NAME\")");
        }
        rule.groupActions.push_back(std::move(action));
      }
      AddRule(std::move(rule));
      continue;
    }

    if (rule.kind == TranscriptKind::user) {
      for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string word = tokens[i].quoted ? std::string() : AsciiLowered(tokens[i].text);
        UserValueAction action;
        if (word == "ok" || word == "escape") {
          action.kind = word == "ok" ? UserValueAction::ok : UserValueAction::escape;
          if (i + 1 != tokens.size()) fail("'" + word + "' ends the dialog: nothing may follow it");
        } else if (word == "type") {
          if (i + 1 == tokens.size() || !tokens[i + 1].quoted) fail("'type' needs a quoted value");
          action.kind = UserValueAction::type;
          action.text = tokens[++i].text;
        } else {
          fail("unknown user answer '" + tokens[i].text + "' (ok, escape, type \"VALUE\")");
        }
        rule.userActions.push_back(std::move(action));
      }
      AddRule(std::move(rule));
      continue;
    }

    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const Token& token = tokens[i];
      const std::string word = token.quoted ? std::string() : AsciiLowered(token.text);
      DirectoryAction action;
      if (word == "ok" || word == "cancel") {
        action.kind = word == "ok" ? DirectoryAction::ok : DirectoryAction::cancel;
        if (i + 1 != tokens.size()) fail("'" + word + "' ends the dialog: nothing may follow it");
      } else if (word == "browse-cancel") {
        // Optionally clicks through to a folder before cancelling.
        action.kind = DirectoryAction::browseCancel;
        if (i + 1 < tokens.size() && tokens[i + 1].quoted) action.path = tokens[++i].text;
      } else if (word == "type" || word == "browse") {
        if (i + 1 == tokens.size() || !tokens[i + 1].quoted)
          fail("'" + word + "' needs a quoted path");
        action.kind = word == "type" ? DirectoryAction::type : DirectoryAction::browse;
        action.path = tokens[++i].text;
        if (action.path.size() > kMaxPathBytes)
          fail("the path is longer than the " + std::to_string(kMaxPathBytes) +
               " characters the dialog takes");
        if (action.kind == DirectoryAction::browse && action.path.empty())
          fail("'browse' needs a folder to click through to");
      } else {
        fail("unknown directory answer '" + token.text +
             "' (ok, cancel, type \"PATH\", browse \"PATH\", browse-cancel [\"PATH\"])");
      }
      rule.actions.push_back(std::move(action));
    }
    AddRule(std::move(rule));
  }
}

}  // namespace velmora
