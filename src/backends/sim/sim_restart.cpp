// The simulated machine's restart: the file operations left to the next
// start of the system are carried out, as Windows carries them out before
// any program runs.
#include <cstdio>
#include <utility>

#include "backends/sim/sim_machine.h"

namespace velmora {
namespace {

// The string of a REG_MULTI_SZ list that starts at `at`; `at` moves past
// its closing zero.
std::string NextString(const std::string& list, std::size_t& at) {
  if (at >= list.size()) return {};
  std::size_t end = list.find('\0', at);
  if (end == std::string::npos) end = list.size();
  std::string text = list.substr(at, end - at);
  at = end + 1;
  return text;
}

// "\??\C:\DIR\FILE", the form the requests name files in, is C:\DIR\FILE.
std::string WithoutObjectPrefix(const std::string& path) {
  return path.starts_with("\\??\\") ? path.substr(4) : path;
}

}  // namespace

void SimMachine::Restart() {
  // No program outlives a restart, and with it go its open files.
  for (auto& [handle, entry] : open_) std::fclose(entry.stream);
  open_.clear();
  lastWrites_.clear();

  RegValue pending;
  if (!registry_.TakeValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue, pending) ||
      pending.type != regtype::multiSz)
    return;
  // The system's own work: a fault armed for a program's calls is not its,
  // and its calls are not counted.
  sim::FaultPlan programFaults = std::exchange(faults_, {});
  const std::string list(pending.bytes.begin(), pending.bytes.end());
  for (std::size_t at = 0; at < list.size();) {
    const std::string source = WithoutObjectPrefix(NextString(list, at));
    if (source.empty()) break;  // the list's closing zero
    std::string target = NextString(list, at);
    if (target.empty()) {
      std::uint32_t attributes = 0;
      if (GetFileAttributes(source, attributes) != FileCause::none) continue;
      if ((attributes & attr::directory) != 0) RemoveDirectory(source);
      else DeleteFile(source);
      continue;
    }
    // "!" asks for a file already at the target to be replaced.
    const bool replace = target.starts_with('!');
    if (replace) target.erase(0, 1);
    target = WithoutObjectPrefix(target);
    std::uint32_t attributes = 0;
    if (replace && GetFileAttributes(target, attributes) == FileCause::none &&
        (attributes & attr::directory) == 0)
      DeleteFile(target);
    MoveFile(source, target);
  }
  faults_ = std::move(programFaults);
}

}  // namespace velmora
