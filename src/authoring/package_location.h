// The package a tool is given: a folder of media files, or a setup program
// that carries its package (datafile/appended_media.h).
#pragma once

#include <string>

#include "datafile/media_location.h"

namespace velmora {

// `path` on the current machine, a folder when `isFolder`, else a program
// file.  Throws ReadError when the program cannot be read, carries no
// package, or its appended media are damaged.
MediaLocation PackageLocationAt(const std::string& path, bool isFolder);

}  // namespace velmora
