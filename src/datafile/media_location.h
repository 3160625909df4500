// Where the setup program finds its package: the media files in a folder,
// or the files appended to the program itself (appended_media.h).
#pragma once

#include <string>

#include "datafile/appended_media.h"

namespace velmora {

struct MediaLocation {
  // The folder of the files ("" for the current directory), when `program`
  // is empty.
  std::string folder;
  // Otherwise the program file whose appended media hold them.
  std::string program;
  AppendedMedia appended;
  // Why the program's appended media cannot be used ("" when they can, or
  // when there are none): a run refuses to go on.
  std::string damage;

  bool Embedded() const { return !program.empty(); }
};

// The media of a run of `programPath`, looked for in this order: velmor.1
// in the current directory; velmor.1 beside the program; the program's own
// appended media.  With none of them, the current directory, whose disk
// the run asks for.  Appended media that are damaged are named with the
// program and the reason in `damage`.
MediaLocation LocateMedia(const std::string& programPath);

// The folder part of a path ("C:\\DL\\SETUP.EXE": "C:\\DL\\"; "" for a name
// alone).
std::string FolderOf(const std::string& path);

}  // namespace velmora
