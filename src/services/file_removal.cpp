#include "services/file_removal.h"

#include "framework/ascii.h"
#include "platform/machine.h"
#include "services/registry.h"

namespace velmora {
namespace {

// Moves a file (by its full path) to a fresh unique name in its own
// directory and answers that name; "" when it could not be moved.
std::string MoveAside(Machine& machine, const std::string& full) {
  const std::size_t slash = full.find_last_of('\\');
  if (slash == std::string::npos) return {};
  std::string aside;
  if (machine.CreateTempFile(full.substr(0, slash + 1), "vmd", aside) != FileCause::none) return {};
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
  // The system deletes what is at the name when it next starts, with its
  // own rights: in a folder a user may change, that could be anything the
  // user links there by then.
  if (machine.UsersCanWriteDirectory(full.substr(0, full.find_last_of('\\') + 1)))
    return Removal::failed;
  const std::string aside = MoveAside(machine, full);
  if (aside.empty())
    return machine.DeleteFileAtRestart(full) == FileCause::none ? Removal::atRestart
                                                                : Removal::failed;
  if (machine.DeleteFileAtRestart(aside) == FileCause::none) return Removal::atRestart;
  // Nothing will delete it under its new name: it goes back to its own, so
  // that a later attempt finds it where it belongs, and its deletion goes
  // by its own name.  That is safe as long as whatever is placed at the
  // name before the next start drops the request (CancelDeletionAtRestart).
  if (machine.MoveFile(aside, full) != FileCause::none) return Removal::failed;
  return machine.DeleteFileAtRestart(full) == FileCause::none ? Removal::atRestart
                                                              : Removal::failed;
}

bool CancelDeletionAtRestart(const std::string& path) {
  Machine& machine = CurrentMachine();
  const std::string full = machine.GetFullPathName(path);
  RegData data;
  if (full.empty() ||
      QueryRegistryValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue, data) !=
          winerror::success ||
      data.type != regtype::multiSz)
    return false;
  // Pairs of strings: the source ("\??\" and the path), then the target,
  // empty for a deletion.
  std::vector<std::string> strings;
  std::string current;
  for (const std::uint8_t byte : data.bytes) {
    if (byte != 0) {
      current += static_cast<char>(byte);
      continue;
    }
    strings.push_back(current);
    current.clear();
  }
  const std::string wanted = AsciiUppered("\\??\\" + full);
  std::vector<std::uint8_t> kept;
  bool dropped = false;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (strings[i].empty()) break;  // the list's end
    if (strings[i + 1].empty() && AsciiUppered(strings[i]) == wanted) {
      dropped = true;
      continue;
    }
    for (const std::string* text : {&strings[i], &strings[i + 1]}) {
      kept.insert(kept.end(), text->begin(), text->end());
      kept.push_back(0);
    }
  }
  if (!dropped) return false;
  if (kept.empty()) {
    return DeleteRegistryValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue);
  }
  kept.push_back(0);
  return WriteRegistryValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue,
                            regtype::multiSz, kept);
}

}  // namespace velmora
