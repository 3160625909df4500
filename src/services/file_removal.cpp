#include "services/file_removal.h"

#include "platform/machine.h"

namespace velmora {
namespace {

// Moves a file (by its full path) to a fresh unique name in its own
// directory and answers that name; "" when it could not be moved.
std::string MoveAside(Machine& machine, const std::string& full) {
  const std::size_t slash = full.find_last_of('\\');
  if (slash == std::string::npos) return {};
  std::string aside;
  if (machine.CreateTempFile(full.substr(0, slash + 1), "vmd", aside) != FileCause::none)
    return {};
  if (machine.DeleteFile(aside) == FileCause::none &&
      machine.MoveFile(full, aside) == FileCause::none)
    return aside;
  // The empty file that reserved the name does not stay behind.
  machine.DeleteFile(aside);
  return {};
}

}  // namespace

FileCause RemoveFileNow(const std::string& path) {
  Machine& machine = CurrentMachine();
  std::uint32_t attributes = 0;
  if (machine.GetFileAttributes(path, attributes) == FileCause::none &&
      (attributes & attr::readOnly) != 0) {
    std::uint32_t rest = attributes & ~attr::readOnly;
    machine.SetFileAttributes(path, rest == 0 ? attr::normal : rest);
  }
  return machine.DeleteFile(path);
}

// The system's deletion at its next start goes by name.  Were the name the
// file's own, a file installed there before that start (the product
// installed again at once, a library put back by another installation)
// would be the one deleted.  A running program or a loaded library can be
// renamed though not deleted, so the file first moves to a name of its own
// that nothing else is given, and that name is left to the system.
Removal RemoveFileNowOrAtRestart(const std::string& path) {
  Machine& machine = CurrentMachine();
  const FileCause cause = RemoveFileNow(path);
  if (cause == FileCause::none || cause == FileCause::fileNotFound) return Removal::removed;
  const std::string full = machine.GetFullPathName(path);
  if (full.empty()) return Removal::failed;
  const std::string aside = MoveAside(machine, full);
  if (aside.empty())
    return machine.DeleteFileAtRestart(full) == FileCause::none ? Removal::atRestart
                                                                : Removal::failed;
  if (machine.DeleteFileAtRestart(aside) == FileCause::none) return Removal::atRestart;
  // Nothing will delete it under its new name: it goes back to its own, so
  // that a later attempt finds it where it belongs.
  machine.MoveFile(aside, full);
  return Removal::failed;
}

}  // namespace velmora
