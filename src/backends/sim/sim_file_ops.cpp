// Operations on files by name: delete, move, copy, attributes, temporary
// files.
#include <cstdio>
#include <system_error>

#include "backends/sim/sim_host_error.h"
#include "backends/sim/sim_host_io.h"
#include "backends/sim/sim_machine.h"

namespace velmora {
namespace fs = std::filesystem;

namespace {

std::uint64_t SizeOf(const fs::path& path) {
  std::error_code ec;
  const std::uint64_t size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

std::uint64_t TreeSize(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(path, ec))) return SizeOf(path);
  std::uint64_t total = 0;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) total += it->file_size(ec);
  return total;
}

}  // namespace

FileCause SimMachine::DeleteFile(const std::string& path) {
  if (const FileCause fault = faults_.Next("DeleteFile"); fault != FileCause::none) return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  if (location.kind == Kind::directory) return FileCause::accessDenied;
  if (IsWriteProtected(location.win.drive)) return FileCause::accessDenied;
  // No open of ours shares delete access but a running program's image,
  // and a mapped image is not deleted (ERROR_ACCESS_DENIED).
  if (OpenOtherThanImages(location.key)) return FileCause::sharingViolation;
  if (AnyOpenAtOrBelow(location.key)) return FileCause::accessDenied;
  if ((Attributes(location) & attr::readOnly) != 0) return FileCause::accessDenied;
  const std::uint64_t size = SizeOf(location.host);
  const fs::path parent = location.host.parent_path();
  folderIndex_.Changing(parent);
  std::error_code ec;
  fs::remove(location.host, ec);
  if (ec) return sim::CauseOfHostError(ec);
  folderIndex_.Removed(parent, location.host.filename().string());
  Release(location.win.drive, size);
  attributes_.Erase(location.key);
  return FileCause::none;
}

// The request joins the pending renames as Windows writes them: the file as
// "\??\" + full path, an empty target, and the list's closing zero.
FileCause SimMachine::DeleteFileAtRestart(const std::string& path) {
  if (const FileCause fault = faults_.Next("DeleteFileAtRestart"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  RegData old;
  std::string list;
  const long queried = registry_.QueryValue(hkey::localMachine, kPendingRenamesKey,
                                            kPendingRenamesValue, 1u << 20, old);
  // A list that is there but cannot be read is not overwritten.
  if (queried != winerror::success && queried != winerror::fileNotFound)
    return FileCause::accessDenied;
  if (queried == winerror::success && old.type == regtype::multiSz) {
    list.assign(old.bytes.begin(), old.bytes.end());
    if (!list.empty() && list.back() == '\0') list.pop_back();
  }
  list += "\\??\\" + GetFullPathName(path);
  list.append(3, '\0');
  if (registry_.SetValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue,
                         regtype::multiSz, list.data(),
                         static_cast<std::uint32_t>(list.size())) != winerror::success)
    return FileCause::accessDenied;
  return FileCause::none;
}

FileCause SimMachine::MoveFile(const std::string& from, const std::string& to) {
  if (const FileCause fault = faults_.Next("MoveFile"); fault != FileCause::none) return fault;
  Location source;
  if (const FileCause cause = Locate(from, source); cause != FileCause::none) return cause;
  if (source.kind == Kind::missing) return FileCause::fileNotFound;
  if (source.win.parts.empty()) return FileCause::accessDenied;  // a drive's root
  if (IsWriteProtected(source.win.drive)) return FileCause::accessDenied;
  // Only a running program's image shares renaming.
  if (source.kind == Kind::file && OpenOtherThanImages(source.key))
    return FileCause::sharingViolation;
  // The current directory is held open, and so is every folder above it.
  if (source.kind == Kind::directory && IsCurrentOrAbove(source))
    return FileCause::sharingViolation;
  // A folder holding open files stays put.
  if (source.kind == Kind::directory && AnyOpenAtOrBelow(source.key))
    return FileCause::accessDenied;

  Location target;
  if (const FileCause cause = Locate(to, target); cause != FileCause::none) return cause;
  const bool sameFile = target.key == source.key;  // a change of case only
  if (target.kind != Kind::missing && !sameFile)
    return FileCause::accessDenied;  // ERROR_ALREADY_EXISTS
  if (target.win.parts.empty()) return FileCause::accessDenied;
  if (IsWriteProtected(target.win.drive)) return FileCause::accessDenied;
  // Into itself: ERROR_INVALID_PARAMETER, which has no cause of its own.
  if (target.key.starts_with(source.key + '/')) return FileCause::generic;
  const bool crossDrive = target.win.drive != source.win.drive;
  if (crossDrive && source.kind == Kind::directory)
    return FileCause::badPath;  // ERROR_NOT_SAME_DEVICE
  // Across drives a move is a copy and a deletion, which an image refuses.
  if (crossDrive && AnyOpenAtOrBelow(source.key)) return FileCause::accessDenied;

  fs::path destination = target.host;
  if (sameFile) destination = source.host.parent_path() / target.win.parts.back();
  const std::uint64_t size = crossDrive ? TreeSize(source.host) : 0;
  if (const FileCause cause = Consume(target.win.drive, size); cause != FileCause::none)
    return cause;

  folderIndex_.Changing(source.host.parent_path());
  folderIndex_.Changing(destination.parent_path());
  std::error_code ec;
  fs::rename(source.host, destination, ec);
  FileCause cause = sim::CauseOfHostError(ec);
  if (ec == std::errc::cross_device_link && source.kind == Kind::file) {
    // Two mounts on different host file systems: copy, then remove.
    cause = sim::CopyHostFile(source.host, destination);
    if (cause == FileCause::none) {
      fs::remove(source.host, ec);
      cause = sim::CauseOfHostError(ec);
      if (cause != FileCause::none) fs::remove(destination, ec);
    } else {
      fs::remove(destination, ec);
    }
  }
  if (cause != FileCause::none) {
    Release(target.win.drive, size);
    return cause;
  }
  Release(source.win.drive, size);
  folderIndex_.Removed(source.host.parent_path(), source.host.filename().string());
  folderIndex_.Added(destination.parent_path(), destination.filename().string());
  if (source.kind == Kind::directory) folderIndex_.ForgetTree(source.host);
  attributes_.Move(source.key, target.key);
  if (source.kind == Kind::file) {
    MoveKeptTimes(source.host, destination);
    ImagesMoved(source.key, target.key, destination);
  }
  return FileCause::none;
}

FileCause SimMachine::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  if (const FileCause fault = faults_.Next("CopyFile"); fault != FileCause::none) return fault;
  Location source;
  if (const FileCause cause = Locate(from, source); cause != FileCause::none) return cause;
  if (source.kind == Kind::missing) return FileCause::fileNotFound;
  if (source.kind == Kind::directory) return FileCause::accessDenied;
  // The source is read with read and write shared.
  if (ShareConflict(source.key, FileAccess::read, FileShare::denyNone))
    return FileCause::sharingViolation;

  Location target;
  if (const FileCause cause = Locate(to, target); cause != FileCause::none) return cause;
  if (target.kind == Kind::directory) return FileCause::accessDenied;
  if (IsWriteProtected(target.win.drive)) return FileCause::accessDenied;
  const std::uint32_t sourceBits = Attributes(source) & sim::AttributeStore::kKeptBits;
  std::uint64_t oldSize = 0;
  if (target.kind == Kind::file) {
    if (failIfExists) return FileCause::accessDenied;  // ERROR_FILE_EXISTS
    // Copying a file onto itself would truncate it: refuse it as Windows
    // does (the source is held open while the target is opened).
    if (target.key == source.key) return FileCause::sharingViolation;
    const std::uint32_t bits = Attributes(target);
    if ((bits & attr::readOnly) != 0) return FileCause::accessDenied;
    // Replacing hidden or system needs a source that has them too.
    if ((bits & ~sourceBits & (attr::hidden | attr::system)) != 0) return FileCause::accessDenied;
    // The target is opened for writing with read and write shared.
    if (ShareConflict(target.key, FileAccess::write, FileShare::denyNone))
      return FileCause::sharingViolation;
    oldSize = SizeOf(target.host);
  }
  const std::uint64_t newSize = SizeOf(source.host);
  if (newSize > oldSize) {
    if (const FileCause cause = Consume(target.win.drive, newSize - oldSize);
        cause != FileCause::none)
      return cause;
  }
  const fs::path targetFolder = target.host.parent_path();
  folderIndex_.Changing(targetFolder);
  if (const FileCause cause = sim::CopyHostFile(source.host, target.host);
      cause != FileCause::none) {
    if (newSize > oldSize) Release(target.win.drive, newSize - oldSize);
    return cause;
  }
  folderIndex_.Added(targetFolder, target.host.filename().string());
  if (oldSize > newSize) Release(target.win.drive, oldSize - newSize);
  ContentsChanged(target.key);
  // The copy takes the source's attributes and is marked for backup.
  attributes_.Erase(target.key);
  attributes_.Set(target.key, false, sourceBits | attr::archive);
  return FileCause::none;
}

FileCause SimMachine::GetFileAttributes(const std::string& path, std::uint32_t& attributes) {
  attributes = 0;
  if (const FileCause fault = faults_.Next("GetFileAttributes"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  attributes = Attributes(location);
  return FileCause::none;
}

FileCause SimMachine::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  if (const FileCause fault = faults_.Next("SetFileAttributes"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  if (IsWriteProtected(location.win.drive)) return FileCause::accessDenied;
  const bool isDirectory = location.kind == Kind::directory;
  const std::uint32_t kept = attributes_.Get(location.key, isDirectory) &
                             (sim::AttributeStore::kStoredBits & ~sim::AttributeStore::kKeptBits);
  attributes_.Set(location.key, isDirectory, (attributes & sim::AttributeStore::kKeptBits) | kept);
  return FileCause::none;
}

// GetTempFileName with unique number 0: tries numbered names in turn and
// creates the first that is free.
FileCause SimMachine::CreateTempFile(const std::string& directory, const std::string& prefix,
                                     std::string& path) {
  path.clear();
  if (const FileCause fault = faults_.Next("CreateTempFile"); fault != FileCause::none)
    return fault;
  Location folder;
  if (const FileCause cause = Locate(directory, folder); cause != FileCause::none) return cause;
  if (folder.kind != Kind::directory) return FileCause::badPath;  // ERROR_DIRECTORY
  if (IsWriteProtected(folder.win.drive)) return FileCause::accessDenied;
  const std::string stem = prefix.substr(0, 3);

  for (std::uint32_t tries = 0; tries < 0xFFFF; ++tries) {
    const std::uint32_t number = nextTempNumber_;
    nextTempNumber_ = nextTempNumber_ >= 0xFFFF ? 1 : nextTempNumber_ + 1;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(number));
    sim::WinPath candidate = folder.win;
    candidate.trailingSeparator = false;
    candidate.parts.push_back(stem + hex + ".tmp");
    if (!sim::IsValidName(candidate.parts.back())) return FileCause::badPath;
    Location file;
    if (const FileCause cause = Resolve(candidate, file); cause != FileCause::none) return cause;
    if (sim::FormatWindowsPath(candidate).size() >= kMaxPathBytes) return FileCause::badPath;
    if (file.kind != Kind::missing) continue;
    if (const FileCause cause = CreateEmptyFile(file); cause != FileCause::none) return cause;
    path = sim::FormatWindowsPath(candidate);
    return FileCause::none;
  }
  return FileCause::accessDenied;  // every number taken: ERROR_FILE_EXISTS
}

}  // namespace velmora
