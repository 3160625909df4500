#include "services/file_removal.h"

#include "platform/machine.h"

namespace velmora {

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

Removal RemoveFileNowOrAtRestart(const std::string& path) {
  Machine& machine = CurrentMachine();
  const FileCause cause = RemoveFileNow(path);
  if (cause == FileCause::none || cause == FileCause::fileNotFound) return Removal::removed;
  const std::string full = machine.GetFullPathName(path);
  if (!full.empty() && machine.DeleteFileAtRestart(full) == FileCause::none)
    return Removal::atRestart;
  return Removal::failed;
}

}  // namespace velmora
