// Writes the package description (datafile/package_description.h) beside
// the media files a package writer wrote.
#pragma once

#include <string>

#include "authoring/package_writer.h"
#include "datafile/package_description.h"

namespace velmora {

// Reads back every media file `written` names in `folder` (on the current
// machine), and writes the description of them, with `product`, beside
// them.  Throws CFileException when a media file cannot be
// read or the description cannot be written.
void WritePackageDescription(const std::string& folder, const WriteResult& written,
                             const ProductDetails& product = {});

}  // namespace velmora
