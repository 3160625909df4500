// Running programs' images on the simulated machine.  Windows maps the
// image of a running program from a file it holds open sharing read and
// delete access: the file cannot be written, nor deleted while it is
// mapped, but it can be renamed, and the program runs on from the new name.
#include "backends/sim/sim_machine.h"

namespace velmora {

FileCause SimMachine::OpenRunningImage(const std::string& path, FileHandle& handle) {
  const FileCause cause =
      OpenFile(path, FileAccess::read, FileShare::denyWrite, FileDisposition::openExisting, handle);
  if (cause == FileCause::none) open_[handle].image = true;
  return cause;
}

bool SimMachine::OpenOtherThanImages(const std::string& key) const {
  for (const auto& [handle, entry] : open_)
    if (entry.key == key && !entry.image) return true;
  return false;
}

void SimMachine::ImagesMoved(const std::string& from, const std::string& to,
                             const std::filesystem::path& host) {
  bool moved = false;
  for (auto& [handle, entry] : open_) {
    if (entry.key != from) continue;
    entry.key = to;
    entry.host = host;
    moved = true;
  }
  if (!moved) return;
  if (const auto written = lastWrites_.find(from); written != lastWrites_.end()) {
    const std::uint64_t last = written->second;
    lastWrites_.erase(written);
    lastWrites_[to] = last;
  }
}

}  // namespace velmora
