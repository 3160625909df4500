// How many bytes a stretch of the compressed stream takes in a media file.
// The encoder's output depends only on the bytes of the stretch (it starts
// from a reset state and is flushed at the end), so the package writer
// measures every stretch with the same encoder, in a scratch file, before
// it decides which media file the stretch goes to.
#pragma once

#include <cstdint>
#include <string>

#include "datafile/compressed_file.h"

namespace velmora {

class CompressedSizeProbe {
 public:
  // The scratch file is made in `folder` on the current machine ("" for the
  // current directory) and deleted again by the destructor.  Throws
  // CFileException when it cannot be made.
  explicit CompressedSizeProbe(const std::string& folder);
  ~CompressedSizeProbe();
  CompressedSizeProbe(const CompressedSizeProbe&) = delete;
  CompressedSizeProbe& operator=(const CompressedSizeProbe&) = delete;

  // Bytes the encoder writes for `count` bytes compressed as one stretch.
  std::uint32_t Measure(const std::uint8_t* bytes, std::uint32_t count);

 private:
  std::string path_;
  CCompressedFile file_;
};

}  // namespace velmora
