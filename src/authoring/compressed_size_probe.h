// How many bytes a stretch of the compressed stream takes in a media file.
// The encoder's output depends only on the bytes of the stretch (it starts
// from a reset state and is flushed at the end), so the package writer
// measures every stretch here, with the same encoder, before it decides
// which media file the stretch goes to.
#pragma once

#include <cstdint>
#include <memory>

namespace velmora {

class CCompressedFile;
class CountingMachine;

class CompressedSizeProbe {
 public:
  CompressedSizeProbe();
  ~CompressedSizeProbe();
  CompressedSizeProbe(const CompressedSizeProbe&) = delete;
  CompressedSizeProbe& operator=(const CompressedSizeProbe&) = delete;

  // Bytes the encoder writes for `count` bytes compressed as one stretch.
  std::uint32_t Measure(const std::uint8_t* bytes, std::uint32_t count);

 private:
  std::unique_ptr<CountingMachine> machine_;
  std::unique_ptr<CCompressedFile> file_;
};

}  // namespace velmora
