// Permissions on the simulated machine.  The host folders carry none a
// Windows user would meet, so the sim keeps one fact per directory: made
// with permissions of its own (CreateProtectedDirectory), kept with the
// attributes.  Users may write every directory except those, the Windows
// directory, the program files folder and what lies below any of them.
#include "backends/sim/sim_machine.h"
#include "framework/path_within.h"

namespace velmora {

std::string SimMachine::GetProgramFilesDirectory() {
  if (windowsDir_.size() < 2 || windowsDir_[1] != ':') return {};
  return windowsDir_.substr(0, 2) + "\\Program Files";
}

FileCause SimMachine::CreateProtectedDirectory(const std::string& path) {
  if (const FileCause cause = CreateDirectory(path); cause != FileCause::none) return cause;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  attributes_.Set(location.key, true,
                  attributes_.Get(location.key, true) | sim::AttributeStore::kProtectedBit);
  return FileCause::none;
}

bool SimMachine::UsersCanWriteDirectory(const std::string& path) {
  std::string full = GetFullPathName(path);
  if (full.empty()) return true;
  if (IsPathAtOrBelow(full, windowsDir_) || IsPathAtOrBelow(full, GetProgramFilesDirectory()))
    return false;
  for (;;) {
    Location location;
    if (Locate(full, location) == FileCause::none && location.kind == Kind::directory &&
        (attributes_.Get(location.key, true) & sim::AttributeStore::kProtectedBit) != 0)
      return false;
    const std::size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash < 3) return true;
    full.resize(slash);
  }
}

FileCause SimMachine::MarkReparsePoint(const std::string& path) {
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind != Kind::directory) return FileCause::badPath;
  attributes_.Set(location.key, true,
                  attributes_.Get(location.key, true) | sim::AttributeStore::kReparseBit);
  return FileCause::none;
}

}  // namespace velmora
