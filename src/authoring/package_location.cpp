#include "authoring/package_location.h"

#include "authoring/read_error.h"
#include "framework/file_exception.h"
#include "platform/machine.h"

namespace velmora {

MediaLocation PackageLocationAt(const std::string& path, bool isFolder) {
  MediaLocation location;
  if (isFolder) {
    location.folder = path;
    return location;
  }
  Machine& machine = CurrentMachine();
  FileHandle file = kNoFile;
  if (const FileCause cause = machine.OpenFile(path, FileAccess::read, FileShare::denyWrite,
                                               FileDisposition::openExisting, file);
      cause != FileCause::none)
    throw ReadError(ReadErrorKind::io, path, std::nullopt,
                    "cannot be opened (" + FileCauseName(static_cast<int>(cause)) + ")");
  AppendedLoad load = FindAppendedMedia(machine, file);
  machine.CloseFile(file);
  if (load.state == AppendedState::none)
    throw ReadError(ReadErrorKind::corrupt, path, std::nullopt,
                    "neither a folder nor a setup program with a package appended to it");
  if (load.state == AppendedState::refused)
    throw ReadError(ReadErrorKind::corrupt, path, std::nullopt,
                    "the package appended to the program cannot be read: " + load.reason);
  location.program = path;
  location.appended = std::move(load.media);
  return location;
}

}  // namespace velmora
