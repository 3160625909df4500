#include "program_group_changes.h"

#include <algorithm>

namespace velmora::cli {
namespace {

const sim::ProgramGroup* FindGroup(const std::vector<sim::ProgramGroup>& groups,
                                   const std::string& name) {
  const auto at = std::find_if(groups.begin(), groups.end(),
                               [&](const sim::ProgramGroup& g) { return g.name == name; });
  return at == groups.end() ? nullptr : &*at;
}

const sim::ProgramItem* FindItem(const sim::ProgramGroup* group, const std::string& title) {
  if (group == nullptr) return nullptr;
  const auto at = std::find_if(group->items.begin(), group->items.end(),
                               [&](const sim::ProgramItem& i) { return i.title == title; });
  return at == group->items.end() ? nullptr : &*at;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::vector<std::string> ProgramGroupChanges(const std::vector<sim::ProgramGroup>& before,
                                             const std::vector<sim::ProgramGroup>& after) {
  std::vector<std::string> lines;
  for (const sim::ProgramGroup& group : after) {
    const sim::ProgramGroup* old = FindGroup(before, group.name);
    if (old == nullptr) lines.push_back("program group " + Quoted(group.name) + " created");
    for (const sim::ProgramItem& item : group.items) {
      const sim::ProgramItem* was = FindItem(old, item.title);
      if (was == nullptr || was->commandLine != item.commandLine)
        lines.push_back("program item " + Quoted(item.title) + " in " + Quoted(group.name) + ": " +
                        item.commandLine);
    }
  }
  for (const sim::ProgramGroup& group : before) {
    const sim::ProgramGroup* now = FindGroup(after, group.name);
    for (const sim::ProgramItem& item : group.items) {
      if (FindItem(now, item.title) == nullptr)
        lines.push_back("program item " + Quoted(item.title) + " removed from " +
                        Quoted(group.name));
    }
    if (now == nullptr) lines.push_back("program group " + Quoted(group.name) + " removed");
  }
  return lines;
}

}  // namespace velmora::cli
