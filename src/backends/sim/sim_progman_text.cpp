#include "backends/sim/sim_progman_text.h"

#include <algorithm>

namespace velmora::sim {
namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  bool Commands(std::vector<ProgmanCommand>& commands) {
    SkipBlanks();
    while (pos_ < text_.size()) {
      ProgmanCommand command;
      if (!Take('[') || !Name(command.name) || !Take('(') || !Arguments(command.arguments) ||
          !Take(']'))
        return false;
      commands.push_back(std::move(command));
      SkipBlanks();
    }
    return !commands.empty();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  bool Take(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool Name(std::string& name) {
    const std::size_t end = text_.find('(', pos_);
    if (end == std::string::npos) return false;
    name = Trim(text_.substr(pos_, end - pos_));
    pos_ = end;
    return !name.empty();
  }
  bool Arguments(std::vector<std::string>& arguments) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == ')') return Take(')');
    for (;;) {
      SkipBlanks();
      if (pos_ < text_.size() && text_[pos_] == '"') {
        const std::size_t end = text_.find('"', pos_ + 1);
        if (end == std::string::npos) return false;
        arguments.push_back(text_.substr(pos_ + 1, end - pos_ - 1));
        pos_ = end + 1;
      } else {
        const std::size_t end = text_.find_first_of(",)", pos_);
        if (end == std::string::npos) return false;
        arguments.push_back(Trim(text_.substr(pos_, end - pos_)));
        pos_ = end;
      }
      if (Take(',')) continue;
      return Take(')');
    }
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

std::vector<ProgramGroup>::iterator FindGroup(std::vector<ProgramGroup>& groups,
                                              const std::string& name) {
  return std::find_if(groups.begin(), groups.end(),
                      [&](const ProgramGroup& g) { return SameProgmanName(g.name, name); });
}

// "C:\APP\EDIT.EXE" -> "EDIT": the title of an item that names none.
std::string BaseTitle(const std::string& commandLine) {
  std::string name = commandLine.substr(commandLine.find_last_of("\\/:") + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool Run(const ProgmanCommand& command, std::vector<ProgramGroup>& groups, std::string& current) {
  const std::vector<std::string>& args = command.arguments;
  const std::string& first = args.empty() ? std::string() : args[0];
  if (SameProgmanName(command.name, "CreateGroup")) {
    if (first.empty()) return false;
    const auto group = FindGroup(groups, first);
    current = group == groups.end() ? first : group->name;
    if (group == groups.end()) groups.push_back(ProgramGroup{first, {}});
    return true;
  }
  if (SameProgmanName(command.name, "ShowGroup")) {
    const auto group = FindGroup(groups, first);
    if (first.empty() || group == groups.end()) return false;
    current = group->name;
    return true;
  }
  if (SameProgmanName(command.name, "DeleteGroup")) {
    const auto group = FindGroup(groups, first);
    if (first.empty() || group == groups.end()) return false;
    if (SameProgmanName(current, group->name)) current.clear();
    groups.erase(group);
    return true;
  }
  const auto group = current.empty() ? groups.end() : FindGroup(groups, current);
  if (group == groups.end() || first.empty()) return false;
  auto& items = group->items;
  if (SameProgmanName(command.name, "AddItem")) {
    const std::string title = args.size() > 1 && !args[1].empty() ? args[1] : BaseTitle(first);
    const auto same = std::find_if(items.begin(), items.end(), [&](const ProgramItem& item) {
      return SameProgmanName(item.title, title);
    });
    if (same != items.end()) same->commandLine = first;
    else items.push_back({title, first});
    return true;
  }
  if (SameProgmanName(command.name, "DeleteItem")) {
    const auto item = std::find_if(items.begin(), items.end(), [&](const ProgramItem& entry) {
      return SameProgmanName(entry.title, first);
    });
    if (item != items.end()) items.erase(item);
    return true;
  }
  return false;
}

}  // namespace

bool SameProgmanName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Fold(x) == Fold(y); });
}

bool ParseProgmanCommands(const std::string& text, std::vector<ProgmanCommand>& commands) {
  return Parser(text).Commands(commands);
}

bool RunProgmanCommands(const std::string& text, std::vector<ProgramGroup>& groups,
                        std::string& current) {
  std::vector<ProgmanCommand> commands;
  if (!ParseProgmanCommands(text, commands)) return false;
  std::vector<ProgramGroup> changed = groups;
  std::string changedCurrent = current;
  for (const ProgmanCommand& command : commands) {
    if (!Run(command, changed, changedCurrent)) return false;
  }
  groups = std::move(changed);
  current = std::move(changedCurrent);
  return true;
}

}  // namespace velmora::sim
