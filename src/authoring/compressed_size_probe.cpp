#include "authoring/compressed_size_probe.h"

#include "platform/machine.h"

namespace velmora {

CompressedSizeProbe::CompressedSizeProbe(const std::string& folder) {
  Machine& machine = CurrentMachine();
  ThrowIfFailed(machine.CreateTempFile(folder.empty() ? "." : folder, "vlm", path_), folder);
  CFileException error;
  if (!file_.Open(path_, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error)) {
    machine.DeleteFile(path_);
    throw error;
  }
  file_.SetOutputBuffer(64 * 1024);
}

CompressedSizeProbe::~CompressedSizeProbe() {
  file_.Abort();
  CurrentMachine().DeleteFile(path_);
}

std::uint32_t CompressedSizeProbe::Measure(const std::uint8_t* bytes, std::uint32_t count) {
  file_.Seek(0, CFile::begin);
  file_.SetCompressed(true);
  file_.Write(bytes, count);
  file_.SetCompressed(false);
  file_.Flush();
  return file_.GetPosition();
}

}  // namespace velmora
