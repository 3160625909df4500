// Resolving Windows paths to host paths inside a drive's folder, and the
// bookkeeping shared by the file operations (sharing, attributes).
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "backends/sim/sim_host_error.h"
#include "backends/sim/sim_host_io.h"
#include "backends/sim/sim_machine.h"
#include "framework/ascii.h"

namespace velmora {
namespace fs = std::filesystem;

namespace {

bool IsWithin(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty() && std::next(o) == outer.end()) break;  // outer ends in a separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// Finds name in dir: the exact name first, then any name equal but for
// case.  Answers false when nothing matches.
bool FindName(sim::FolderIndex& index, const fs::path& dir, const std::string& name,
              std::string& actual, fs::file_status& status, std::error_code& error) {
  std::error_code ec;
  status = fs::symlink_status(dir / name, ec);
  if (fs::exists(status)) {
    actual = name;
    return true;
  }
  if (!index.Find(dir, name, actual, error)) return false;
  status = fs::symlink_status(dir / actual, ec);
  return fs::exists(status);  // gone since the folder was read: missing
}

unsigned AccessBits(FileAccess access) {
  switch (access) {
    case FileAccess::read: return 1;
    case FileAccess::write: return 2;
    case FileAccess::readWrite: return 3;
  }
  return 3;
}

// The accesses a handle lets other opens have.
unsigned SharedBits(FileShare share) {
  switch (share) {
    case FileShare::denyNone: return 3;
    case FileShare::denyWrite: return 1;
    case FileShare::denyRead: return 2;
    case FileShare::exclusive: return 0;
  }
  return 0;
}

}  // namespace

FileCause SimMachine::Locate(const std::string& path, Location& out) {
  sim::WinPath win;
  if (const FileCause cause = sim::ParseWindowsPath(path, current_, win); cause != FileCause::none)
    return cause;
  return Resolve(win, out);
}

FileCause SimMachine::Resolve(const sim::WinPath& win, Location& out) {
  fs::path folder;
  bool strict = true;
  if (!DriveFolder(win.drive, folder, strict))
    return IsEmptyDrive(win.drive) ? FileCause::hardIO
                                   : FileCause::badPath;  // not ready / no drive

  Location location;
  location.win = win;
  location.host = folder;
  location.key = std::string(1, win.drive);
  location.kind = Kind::directory;
  for (std::size_t i = 0; i < win.parts.size(); ++i) {
    const bool last = i + 1 == win.parts.size();
    if (location.kind != Kind::directory) return FileCause::badPath;  // a file used as a folder
    std::string actual;
    fs::file_status status;
    std::error_code error;
    if (!FindName(folderIndex_, location.host, win.parts[i], actual, status, error)) {
      if (error) return sim::CauseOfHostError(error);
      if (!last) return FileCause::badPath;
      location.host /= win.parts[i];
      location.key += '/' + AsciiLowered(win.parts[i]);
      location.kind = Kind::missing;
      break;
    }
    location.host /= actual;
    location.key += '/' + AsciiLowered(actual);
    if (fs::is_symlink(status)) {
      // Inside ROOT a link could lead anywhere: refuse it.  Inside a mount,
      // follow it only while its target stays within the mounted folder.
      if (strict) return FileCause::accessDenied;
      std::error_code ec;
      const fs::path target = fs::canonical(location.host, ec);
      if (ec || !IsWithin(target, folder)) return FileCause::accessDenied;
      status = fs::status(target, ec);
    }
    if (fs::is_directory(status)) {
      location.kind = Kind::directory;
    } else if (fs::is_regular_file(status) || !strict) {
      location.kind = Kind::file;
    } else {
      return FileCause::accessDenied;  // a device or pipe planted in the root
    }
  }
  out = std::move(location);
  return FileCause::none;
}

SimMachine::OpenEntry* SimMachine::Find(FileHandle handle) {
  const auto it = open_.find(handle);
  return it == open_.end() ? nullptr : &it->second;
}

bool SimMachine::ShareConflict(const std::string& key, FileAccess access, FileShare share) const {
  const unsigned wanted = AccessBits(access);
  const unsigned granted = SharedBits(share);
  for (const auto& [handle, entry] : open_) {
    if (entry.key != key) continue;
    if ((wanted & ~SharedBits(entry.share)) != 0) return true;
    if ((AccessBits(entry.access) & ~granted) != 0) return true;
  }
  return false;
}

bool SimMachine::AnyOpenAtOrBelow(const std::string& key) const {
  for (const auto& [handle, entry] : open_) {
    if (entry.key == key) return true;
    if (entry.key.size() > key.size() && entry.key.compare(0, key.size(), key) == 0 &&
        entry.key[key.size()] == '/')
      return true;
  }
  return false;
}

bool SimMachine::IsCurrentOrAbove(const Location& location) const {
  if (location.win.drive != current_.drive || location.win.parts.size() > current_.parts.size())
    return false;
  for (std::size_t i = 0; i < location.win.parts.size(); ++i)
    if (!AsciiEqualIgnoringCase(location.win.parts[i], current_.parts[i])) return false;
  return true;
}

std::uint32_t SimMachine::Attributes(const Location& location) const {
  const bool isDirectory = location.kind == Kind::directory;
  const std::uint32_t bits =
      attributes_.Get(location.key, isDirectory) & ~sim::AttributeStore::kProtectedBit;
  if (isDirectory) return bits | attr::directory;
  return bits == 0 ? attr::normal : bits;
}

FileCause SimMachine::CreateEmptyFile(const Location& location) {
  const fs::path folder = location.host.parent_path();
  folderIndex_.Changing(folder);
  std::FILE* stream = sim::OpenHostFile(location.host, "wb");
  if (stream == nullptr) return sim::CauseOfErrno(errno);
  std::fclose(stream);
  folderIndex_.Added(folder, location.host.filename().string());
  attributes_.Erase(location.key);
  return FileCause::none;
}

}  // namespace velmora
