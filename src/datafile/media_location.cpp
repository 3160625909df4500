#include "datafile/media_location.h"

#include "datafile/data_file_layout.h"
#include "framework/ascii.h"
#include "platform/machine.h"

namespace velmora {
namespace {

bool FirstMediaFileIn(const std::string& folder) {
  std::uint32_t attributes = 0;
  return CurrentMachine().GetFileAttributes(folder + MediaFileNameFor(false, 1), attributes) ==
         FileCause::none;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

MediaLocation LocateMedia(const std::string& programPath) {
  MediaLocation location;
  if (programPath.empty() || FirstMediaFileIn("")) return location;
  Machine& machine = CurrentMachine();
  const std::string programFolder = FolderOf(machine.GetFullPathName(programPath));
  std::string current = machine.GetCurrentDirectory();
  if (!current.empty() && current.back() != '\\') current += '\\';
  if (!AsciiEqualIgnoringCase(programFolder, current) && FirstMediaFileIn(programFolder)) {
    location.folder = programFolder;
    return location;
  }
  FileHandle file = kNoFile;
  if (machine.OpenFile(programPath, FileAccess::read, FileShare::denyWrite,
                       FileDisposition::openExisting, file) != FileCause::none)
    return location;
  AppendedLoad load = FindAppendedMedia(machine, file);
  machine.CloseFile(file);
  if (load.state != AppendedState::none) location.program = programPath;
  if (load.state == AppendedState::found) location.appended = std::move(load.media);
  if (load.state == AppendedState::refused) location.damage = load.reason;
  return location;
}

}  // namespace velmora
