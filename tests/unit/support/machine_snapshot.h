// What whole-run tests compare a simulated machine by: a snapshot of its
// files, ini entries, registry values, registered components and Program
// Manager groups, the differences between two snapshots, the operations
// left to the system's next start, payloads that do not compress, and
// faults armed for one run's machine, registry or Program Manager calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "backends/sim/sim_machine.h"
#include "framework/ascii.h"
#include "unit/support/sim_machine_test_util.h"

namespace velmora::test {

// A snapshot key names one thing on the machine: "file PATH", "dir PATH",
// "ini PATH [section] entry", "reg ROOT\KEY value", "registered PATH",
// "group NAME" or "item NAME\TITLE"; its value holds what is compared.
using Snapshot = std::map<std::string, std::string>;

// Pseudo-random bytes: a payload that does not compress spans media files.
inline std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return bytes;
}

inline void DumpKey(SimMachine& machine, hkey::Root root, const std::string& name,
                    const std::string& key, Snapshot& out) {
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  if (machine.ListRegKey(root, key, subKeys, values) != winerror::success) return;
  for (const RegValue& value : values)
    out["reg " + name + "\\" + key + " " + value.name] =
        std::to_string(value.type) + ":" + std::string(value.bytes.begin(), value.bytes.end());
  for (const std::string& sub : subKeys)
    DumpKey(machine, root, name, key.empty() ? sub : key + "\\" + sub, out);
}

// An ini file as its entries: restoring an entry rewrites the file, so its
// time and layout are not what is compared.
inline void DumpIni(const std::string& path, const std::string& text, Snapshot& out) {
  std::istringstream lines(text);
  std::string line, section;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) section = line;
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && !line.starts_with("["))
      out["ini " + path + " " + section + " " + line.substr(0, equals)] = line.substr(equals + 1);
  }
}

inline Snapshot Take(SimMachine& machine) {
  namespace fs = std::filesystem;
  Snapshot shot;
  for (const auto& entry : fs::recursive_directory_iterator(machine.Root() / "C")) {
    std::string path = "C:\\" + fs::relative(entry.path(), machine.Root() / "C").string();
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::uint32_t attributes = 0;
    EXPECT_EQ(machine.GetFileAttributes(path, attributes), FileCause::none) << path;
    if (entry.is_directory()) {
      shot["dir " + path] = std::to_string(attributes);
      continue;
    }
    const std::string bytes = testing::GetFile(machine, path);
    std::string& value = shot["file " + path] = "attr " + std::to_string(attributes);
    if (path.ends_with(".INI")) {
      DumpIni(path, bytes, shot);
      continue;
    }
    FileTimes times;
    EXPECT_EQ(machine.GetFileTimes(path, times), FileCause::none) << path;
    value += " times " + std::to_string(times.creation) + "/" + std::to_string(times.lastAccess) +
             "/" + std::to_string(times.lastWrite) + " bytes " + bytes;
  }
  DumpKey(machine, hkey::localMachine, "HKLM", "", shot);
  DumpKey(machine, hkey::users, "HKU", "", shot);
  // Components left registered, replayed from the registration calls made.
  std::map<std::string, bool> registered;
  for (const std::string& call : machine.InstallState().registrations)
    registered[call.substr(call.find(' ') + 1)] = call.starts_with("DllRegisterServer ");
  for (const auto& [path, on] : registered)
    if (on) shot["registered " + path] = "";
  for (const sim::ProgramGroup& group : machine.ProgramGroups()) {
    shot["group " + group.name] = "";
    for (const sim::ProgramItem& item : group.items)
      shot["item " + group.name + "\\" + item.title] = item.commandLine;
  }
  return shot;
}

// The differences between two snapshots that `allowed(key, before, after)`
// does not accept (a missing side is null), one line each.
template <typename Allowed>
std::string Differences(const Snapshot& before, const Snapshot& after, Allowed allowed) {
  std::string text;
  auto differ = [&](const std::string& key, const std::string* was, const std::string* is) {
    if (allowed(key, was, is)) return;
    text += "\n  " + key + ": " + (was ? "'" + was->substr(0, 60) + "'" : "missing") + " -> " +
            (is ? "'" + is->substr(0, 60) + "'" : "missing");
  };
  for (const auto& [key, value] : before) {
    const auto now = after.find(key);
    if (now == after.end()) differ(key, &value, nullptr);
    else if (now->second != value) differ(key, &value, &now->second);
  }
  for (const auto& [key, value] : after)
    if (!before.contains(key)) differ(key, nullptr, &value);
  return text;
}

// A file's last-write time and its bytes, from its "file" snapshot value.
inline std::int64_t LastWriteIn(const std::string& value) {
  const std::size_t times = value.find(" times ");
  return std::stoll(value.substr(value.find('/', value.find('/', times) + 1) + 1));
}
inline std::string BytesIn(const std::string& value) {
  return value.substr(value.find(" bytes ") + 7);
}

// The moves and deletions left to the system's next start: the
// REG_MULTI_SZ list as it is stored, "" when there is none.
inline std::string PendingOperations(SimMachine& machine) {
  RegData data;
  machine.QueryRegValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue, 65536, data);
  return {data.bytes.begin(), data.bytes.end()};
}

// The snapshot key of that list.
inline bool IsPendingOperations(const std::string& key) {
  return AsciiUppered(key) ==
         AsciiUppered(std::string("reg HKLM\\") + kPendingRenamesKey + " " + kPendingRenamesValue);
}

// The list names the file or folder of a "file" or "dir" snapshot key.
inline bool ListedIn(const std::string& pending, const std::string& key) {
  if (!key.starts_with("file ") && !key.starts_with("dir ")) return false;
  const std::string path = AsciiUppered(key.substr(key.find(' ') + 1)) + '\0';
  const std::string list = '\0' + AsciiUppered(pending);
  return list.find('\0' + path) != std::string::npos ||
         list.find("\\??\\" + path) != std::string::npos;
}

// One fault: the nth call of a machine or registry operation, or the
// Program Manager's next `nth` transactions.
enum class Layer { files, registry, programManager };
struct Fault {
  Layer layer = Layer::files;
  std::string operation;
  int nth = 0;
  long cause = 0;  // a FileCause, a registry error or a DdeFault
};

inline std::string Describe(const Fault& fault) {
  return fault.operation + " #" + std::to_string(fault.nth) + " cause " +
         std::to_string(fault.cause);
}

inline void Arm(SimMachine& machine, const Fault& fault) {
  switch (fault.layer) {
    case Layer::files:
      machine.InjectFault(fault.operation, fault.nth, static_cast<FileCause>(fault.cause));
      break;
    case Layer::registry:
      machine.Registry().InjectFault(fault.operation, fault.nth, fault.cause);
      break;
    case Layer::programManager:
      machine.ProgramManager().InjectFault(static_cast<sim::DdeFault>(fault.cause), fault.nth);
      break;
  }
}

inline void ClearFaults(SimMachine& machine) {
  machine.ClearFaults();
  machine.Registry().ClearFaults();
  machine.ProgramManager().ClearFaults();
}

// Calls of each operation, by name.
using Counts = std::map<std::string, int>;

// The calls made between two counts.
inline Counts Since(const Counts& now, const Counts& before) {
  Counts counts;
  for (const auto& [operation, calls] : now) {
    const auto was = before.find(operation);
    const int made = calls - (was == before.end() ? 0 : was->second);
    if (made > 0) counts[operation] = made;
  }
  return counts;
}

}  // namespace velmora::test
