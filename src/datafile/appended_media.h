// Media appended to the setup program: one SETUP.EXE that carries its
// package.  After the program's PE image come the files (media files of
// both parts and the package description), then a table of them and a
// trailer (docs/single-file.md):
//
//   container start   the files' bytes, one after another
//   table             per file: name length (1 byte, 1..32), name,
//                     offset from the container start (4), length (4)
//   trailer, 32 bytes "VELMEDIA", format version (4), file count (4),
//                     table length (4), container length from its start to
//                     the trailer's end (4), CRC-32 of the table (4),
//                     CRC-32 of the trailer's first 28 bytes (4)
//
// Integers are unsigned little-endian.  The trailer ends the file, or comes
// right before the Authenticode signature table that signing appends (the
// PE's security data directory gives where that starts), after at most 7
// zero bytes of alignment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace velmora {

inline constexpr std::string_view kAppendedMagic = "VELMEDIA";
inline constexpr std::uint32_t kAppendedVersion = 1;
inline constexpr std::uint32_t kAppendedTrailerSize = 32;
inline constexpr std::size_t kLongestMemberName = 32;
inline constexpr std::uint32_t kMostMembers = 4096;

struct AppendedMember {
  std::string name;
  std::uint32_t offset = 0;  // in the program file
  std::uint32_t length = 0;
};

struct AppendedMedia {
  // Where the container starts: the program alone is this long.
  std::uint32_t start = 0;
  std::vector<AppendedMember> members;

  // By name, without regard to case; null when absent.
  const AppendedMember* Find(std::string_view name) const;
};

enum class AppendedState {
  none,     // no trailer: a program without appended media
  found,    // a valid container
  refused,  // a trailer or table that is damaged, or a file cut short
};

struct AppendedLoad {
  AppendedState state = AppendedState::none;
  AppendedMedia media;
  std::string reason;  // for `refused`
};

// Reads `count` bytes at `offset` of the file; false when they cannot be.
using ReadAt = std::function<bool(std::uint32_t offset, void* buffer, std::uint32_t count)>;

// Looks for the container in a file of `length` bytes.
AppendedLoad FindAppendedMedia(std::uint32_t length, const ReadAt& read);
// In an open file of a machine; its position is left anywhere.
AppendedLoad FindAppendedMedia(Machine& machine, FileHandle file);

// The table and trailer to write after files laid out from the container
// start as `members` say (offsets from the container start).
std::string AppendedTableAndTrailer(const std::vector<AppendedMember>& members);

}  // namespace velmora
