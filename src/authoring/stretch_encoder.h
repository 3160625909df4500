// Stretches of the compressed stream encoded in memory.  The encoder's
// output for a stretch depends only on the stretch's bytes (it starts from a
// reset state and is flushed at the end), so the bytes made here are exactly
// what a media file holds for that stretch, and their count is the room the
// stretch takes there.  An encoder touches no machine, so encoders on several
// threads may work at once, each used by one thread at a time.
#pragma once

#include <cstdint>

#include "authoring/record_image.h"
#include "datafile/compressed_file.h"

namespace velmora {

class StretchEncoder {
 public:
  StretchEncoder();
  StretchEncoder(const StretchEncoder&) = delete;
  StretchEncoder& operator=(const StretchEncoder&) = delete;

  // Replaces `out` with the encoding of `count` bytes as one stretch.
  void Encode(const std::uint8_t* bytes, std::uint32_t count, Bytes& out);
  Bytes Encode(const Bytes& bytes) {
    Bytes out;
    Encode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), out);
    return out;
  }

 private:
  CCompressedFile file_;  // never opened: its output goes to a sink
};

}  // namespace velmora
