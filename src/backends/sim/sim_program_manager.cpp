// The simulated Program Manager's store, faults and requests.  The store is
// text, one line per group or item:
//   group "NAME"
//   item "TITLE" "COMMAND"
// an item belonging to the group above it; a backslash escapes a quote or
// a backslash.  Lines it cannot read are skipped.
#include "backends/sim/sim_program_manager.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "backends/sim/sim_progman_text.h"
#include "platform/machine.h"

namespace velmora::sim {
namespace {

namespace fs = std::filesystem;

std::vector<ProgramGroup> FreshGroups() {
  return {{"Accessories", {{"Notepad", "C:\\WINDOWS\\NOTEPAD.EXE"}}},
          {"Games", {{"Solitaire", "C:\\WINDOWS\\SOL.EXE"}}},
          {"Main", {{"File Manager", "C:\\WINDOWS\\WINFILE.EXE"}}},
          {"StartUp", {}}};
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

// The quoted texts of a store line after its first word.
std::vector<std::string> QuotedTexts(const std::string& line, std::size_t from) {
  std::vector<std::string> texts;
  std::size_t at = line.find('"', from);
  while (at != std::string::npos) {
    std::string text;
    std::size_t i = at + 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      text += line[i];
    }
    if (i >= line.size()) break;  // no closing quote: the text is not taken
    texts.push_back(std::move(text));
    at = line.find('"', i + 1);
  }
  return texts;
}

// The error a transaction fault answers (noServer fails connections).
std::uint32_t FaultError(DdeFault fault) {
  switch (fault) {
    case DdeFault::busy: return ddeerror::busy;
    case DdeFault::ackTimeout: return ddeerror::execAckTimeout;
    case DdeFault::notProcessed: return ddeerror::notProcessed;
    case DdeFault::refused: return ddeerror::invalidParameter;
    case DdeFault::noServer: break;
  }
  return ddeerror::none;
}

}  // namespace

SimProgramManager::SimProgramManager(fs::path store) : store_(std::move(store)) {
  if (store_.empty()) memory_ = FreshGroups();
}

std::vector<ProgramGroup> SimProgramManager::Groups() const { return Load(); }

std::vector<ProgramGroup> SimProgramManager::Load() const {
  if (store_.empty()) return memory_;
  std::ifstream in(store_, std::ios::binary);
  if (!in) return FreshGroups();
  std::vector<ProgramGroup> groups;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("group ")) {
      const std::vector<std::string> texts = QuotedTexts(line, 5);
      if (texts.size() == 1) groups.push_back({texts[0], {}});
    } else if (line.starts_with("item ") && !groups.empty()) {
      const std::vector<std::string> texts = QuotedTexts(line, 4);
      if (texts.size() == 2) groups.back().items.push_back({texts[0], texts[1]});
    }
  }
  return groups;
}

// Writes a new copy and renames it over the old one, so that an interrupted
// save leaves the old store whole.
bool SimProgramManager::Save(const std::vector<ProgramGroup>& groups) {
  if (store_.empty()) {
    memory_ = groups;
    return true;
  }
  std::ostringstream text;
  for (const ProgramGroup& group : groups) {
    text << "group " << Quote(group.name) << '\n';
    for (const ProgramItem& item : group.items)
      text << "item " << Quote(item.title) << ' ' << Quote(item.commandLine) << '\n';
  }
  fs::path temp = store_;
  temp += ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text.str();
    if (!out.flush()) return false;
  }
  std::error_code ec;
  fs::rename(temp, store_, ec);
  return !ec;
}

void SimProgramManager::InjectFault(DdeFault fault, int count) {
  for (int i = 0; i < count; ++i) {
    if (fault == DdeFault::noServer) ++noServerLeft_;
    else faults_.push_back(FaultError(fault));
  }
}

void SimProgramManager::InjectLastingFault(DdeFault fault) {
  if (fault == DdeFault::noServer) noServerLasting_ = true;
  else lastingFault_ = FaultError(fault);
}

bool SimProgramManager::Connect() {
  if (noServerLeft_ == 0) return !noServerLasting_;
  --noServerLeft_;
  return false;
}

std::uint32_t SimProgramManager::TakeFault() {
  if (faults_.empty()) return lastingFault_;
  const std::uint32_t error = faults_.front();
  faults_.pop_front();
  return error;
}

std::uint32_t SimProgramManager::Execute(const std::string& data, std::string& current) {
  const std::string commands = data.substr(0, data.find('\0'));  // up to the terminating zero
  transactions_.push_back("execute " + commands);
  if (const std::uint32_t fault = TakeFault()) return fault;
  std::vector<ProgramGroup> groups = Load();
  if (!RunProgmanCommands(commands, groups, current)) return ddeerror::notProcessed;
  return Save(groups) ? ddeerror::none : ddeerror::notProcessed;
}

std::optional<std::string> SimProgramManager::Request(const std::string& item,
                                                      std::uint32_t& error) {
  transactions_.push_back("request " + item);
  error = TakeFault();
  if (error != ddeerror::none) return std::nullopt;
  const std::vector<ProgramGroup> groups = Load();
  std::string reply;
  if (SameProgmanName(item, "Groups")) {
    for (const ProgramGroup& group : groups) reply += group.name + "\r\n";
    return reply + '\0';
  }
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const ProgramGroup& group = groups[i];
    if (!SameProgmanName(item, group.name)) continue;
    reply = "\"" + group.name + "\",C:\\WINDOWS\\GROUP" + std::to_string(i + 1) + ".GRP," +
            std::to_string(group.items.size()) + ",1\r\n";
    for (const ProgramItem& entry : group.items)
      reply += "\"" + entry.title + "\",\"" + entry.commandLine + "\"\r\n";
    return reply + '\0';
  }
  error = ddeerror::notProcessed;
  return std::nullopt;
}

}  // namespace velmora::sim
