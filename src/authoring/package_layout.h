// The layout of an installation package's media files, as the package
// writer produces it and the package reader checks it.
//
// Every media file: a plain banner (bytes that are not zero) and one zero
// byte, then the compressed stream.  Media file 1 of each part starts that
// stream with the header:
//
//   4    data file format version (kDataFileVersion)
//   4    title length L
//   L+1  title and a zero byte
//   4    reserved (written as zero)
//   1    date-check flag
//   1    version-check flag
//   1    two-part flag: a second part follows in the "velmore.%u" files
//   4    step count
//
// then one step record per step (datafile/step_factory.h for the class name
// framing, steps/step_record.h for the body), and the file steps' payloads
// in numbered chunks (steps/step_file.h).  Integers are little-endian.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

inline constexpr std::uint32_t kDataFileVersion = 4;

// The two parts of a package: the first in "velmor.%u", an optional second
// part with a header of its own in "velmore.%u".  Each numbers its media
// files from 1.
inline constexpr int kFirstPart = 1;
inline constexpr int kSecondPart = 2;

// "velmor.3", "velmore.1".
std::string MediaFileName(int part, std::uint32_t number);
// The media file's path in `folder` ("" for the current directory).
std::string MediaFilePath(const std::string& folder, int part, std::uint32_t number);

// Payload chunk: 4-byte sequence number (from 1), 4-byte length, the data.
inline constexpr std::uint32_t kChunkHeaderSize = 8;
inline constexpr std::uint32_t kDefaultChunkSize = 64 * 1024;

// Positions in a media file are 32-bit signed in the stream classes, so no
// media file may grow past this.
inline constexpr std::uint32_t kLargestMediaFile = 0x7FFFFFFF;

// The banner that opens every media file the writer makes (the zero byte
// after it is added by the writer).
inline constexpr const char* kDefaultBanner = "Velmora Setup media file\r\n\x1a";

struct PackageHeader {
  std::uint32_t version = kDataFileVersion;
  std::string title;
  bool checkDates = false;
  bool checkVersions = false;
  bool twoParts = false;
  std::uint32_t stepCount = 0;
};

}  // namespace velmora
