// How the package writer lays out a package's media files, beyond the data
// file layout itself (datafile/data_file_layout.h): the parts by number,
// media file paths in a folder, chunk size and banner defaults.
#pragma once

#include <cstdint>
#include <string>

#include "datafile/data_file_layout.h"

namespace velmora {

// The two parts of a package: the first in "velmor.%u", an optional second
// part with a header of its own in "velmore.%u".  Each numbers its media
// files from 1.
inline constexpr int kFirstPart = 1;
inline constexpr int kSecondPart = 2;

// "velmor.3", "velmore.1".
std::string MediaFileName(int part, std::uint32_t number);
// The media file's path in `folder` ("" for the current directory).
std::string MediaFilePath(const std::string& folder, int part, std::uint32_t number);

inline constexpr std::uint32_t kDefaultChunkSize = 64 * 1024;

// The banner that opens every media file the writer makes (the zero byte
// after it is added by the writer).
inline constexpr const char* kDefaultBanner = "Velmora Setup media file\r\n\x1a";

}  // namespace velmora
