// Directories of the simulated machine: create, remove, list.
#include <system_error>

#include "backends/sim/sim_host_error.h"
#include "backends/sim/sim_machine.h"

namespace velmora {
namespace fs = std::filesystem;

namespace {

// Windows answers ERROR_DIR_NOT_EMPTY.  The cause numbering has nothing
// closer than "access denied" for it (removeCurrentDir would tell the user
// something untrue), and the win32 backend maps it the same way.
constexpr FileCause kDirectoryNotEmpty = FileCause::accessDenied;

}  // namespace

FileCause SimMachine::CreateDirectory(const std::string& path) {
  if (const FileCause fault = faults_.Next("CreateDirectory"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind != Kind::missing) return FileCause::accessDenied;  // ERROR_ALREADY_EXISTS
  if (IsWriteProtected(location.win.drive)) return FileCause::accessDenied;
  const fs::path parent = location.host.parent_path();
  folderIndex_.Changing(parent);
  std::error_code ec;
  fs::create_directory(location.host, ec);
  if (ec) return sim::CauseOfHostError(ec);
  folderIndex_.Added(parent, location.host.filename().string());
  attributes_.Erase(location.key);
  return FileCause::none;
}

FileCause SimMachine::RemoveDirectory(const std::string& path) {
  if (const FileCause fault = faults_.Next("RemoveDirectory"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  if (location.kind == Kind::file) return FileCause::badPath;      // ERROR_DIRECTORY
  if (location.win.parts.empty()) return FileCause::accessDenied;  // a drive's root
  if (IsWriteProtected(location.win.drive)) return FileCause::accessDenied;
  if (IsCurrentOrAbove(location)) return FileCause::removeCurrentDir;
  if ((Attributes(location) & attr::readOnly) != 0) return FileCause::accessDenied;
  std::error_code ec;
  if (!fs::is_empty(location.host, ec)) return ec ? sim::CauseOfHostError(ec) : kDirectoryNotEmpty;
  const fs::path parent = location.host.parent_path();
  folderIndex_.Changing(parent);
  fs::remove(location.host, ec);
  if (ec) return sim::CauseOfHostError(ec);
  folderIndex_.Removed(parent, location.host.filename().string());
  folderIndex_.ForgetTree(location.host);
  attributes_.Erase(location.key);
  return FileCause::none;
}

FileCause SimMachine::ListDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  entries.clear();
  if (const FileCause fault = faults_.Next("ListDirectory"); fault != FileCause::none) return fault;
  Location folder;
  if (const FileCause cause = Locate(path, folder); cause != FileCause::none) return cause;
  // FindFirstFile("missing\*") and ("file\*") both fail with a bad path.
  if (folder.kind != Kind::directory) return FileCause::badPath;

  std::error_code ec;
  for (fs::directory_iterator it(folder.host, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // Names Windows could not open are left out, and so are links the sim
    // would refuse to follow.
    if (!sim::IsValidName(name)) continue;
    sim::WinPath child = folder.win;
    child.trailingSeparator = false;
    child.parts.push_back(name);
    if (sim::FormatWindowsPath(child).size() >= kMaxPathBytes) continue;
    Location location;
    if (Resolve(child, location) != FileCause::none || location.kind == Kind::missing) continue;
    std::uint64_t size = 0;
    if (location.kind == Kind::file) {
      std::error_code sizeError;
      size = fs::file_size(location.host, sizeError);
      if (sizeError) size = 0;
    }
    entries.push_back(DirEntry{name, Attributes(location), size});
  }
  if (ec) {
    entries.clear();
    return sim::CauseOfHostError(ec);
  }
  return FileCause::none;
}

}  // namespace velmora
