// The reader of media appended to the setup program, on any bytes taken as
// the program file: every member it accepts lies inside the file, after
// the program, and the members do not overlap the table.
#include <algorithm>
#include <cstdlib>

#include "datafile/appended_media.h"
#include "fuzz_target.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file = fuzz::AsBytes(data, size);
  const auto length = static_cast<std::uint32_t>(file.size());
  const ReadAt read = [&file](std::uint32_t offset, void* buffer, std::uint32_t count) {
    if (offset > file.size() || count > file.size() - offset) return false;
    std::copy_n(file.begin() + offset, count, static_cast<std::uint8_t*>(buffer));
    return true;
  };
  const AppendedLoad load = FindAppendedMedia(length, read);
  if (load.state != AppendedState::found) return 0;
  for (const AppendedMember& member : load.media.members) {
    if (member.offset < load.media.start || member.offset > length ||
        member.length > length - member.offset)
      std::abort();
  }
  return 0;
}
