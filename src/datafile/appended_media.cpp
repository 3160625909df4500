#include "datafile/appended_media.h"

#include <algorithm>
#include <cstring>

#include "datafile/crc32.h"
#include "framework/ascii.h"

namespace velmora {
namespace {

constexpr std::uint32_t kMemberFixed = 9;  // name length, offset, length
constexpr std::uint32_t kAlignment = 8;
// The security data directory of a PE32 optional header (PE32+: 16 more).
constexpr std::uint32_t kSecurityDirectory32 = 96 + 4 * 8;

std::uint32_t Get32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

AppendedLoad Refused(std::string reason) {
  AppendedLoad load;
  load.state = AppendedState::refused;
  load.reason = std::move(reason);
  return load;
}

// Where the Authenticode signature table starts, when the file has one
// (0 otherwise); false when the file is cut short of it.
bool SignatureTable(std::uint32_t length, const ReadAt& read, std::uint32_t& start,
                    std::string& problem) {
  start = 0;
  std::uint8_t dos[64];
  if (length < sizeof dos || !read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
    return true;
  const std::uint32_t pe = Get32(dos + 60);
  std::uint8_t header[24 + kSecurityDirectory32 + 16 + 8];
  if (pe > length || length - pe < 24 + 2 || !read(pe, header, 26)) return true;
  if (std::memcmp(header, "PE\0\0", 4) != 0) return true;
  const std::uint32_t magic = header[24] | static_cast<std::uint32_t>(header[25]) << 8;
  const std::uint32_t directory = 24 + kSecurityDirectory32 + (magic == 0x20b ? 16 : 0);
  if (length - pe < directory + 8 || !read(pe, header, directory + 8)) return true;
  const std::uint32_t offset = Get32(header + directory);
  const std::uint32_t size = Get32(header + directory + 4);
  if (offset == 0 || size == 0) return true;
  if (offset > length || size > length - offset) {
    problem = "the file is cut short: its signature table ends at " +
              std::to_string(std::uint64_t{offset} + size) + ", the file has " +
              std::to_string(length) + " bytes";
    return false;
  }
  start = offset;
  return true;
}

// The container whose trailer ends at `end`.
AppendedLoad ReadContainer(std::uint32_t end, const ReadAt& read) {
  std::uint8_t trailer[kAppendedTrailerSize];
  if (!read(end - kAppendedTrailerSize, trailer, kAppendedTrailerSize))
    return Refused("its trailer cannot be read");
  if (Crc32(trailer, 28) != Get32(trailer + 28)) return Refused("its trailer is damaged");
  const std::uint32_t version = Get32(trailer + 8);
  if (version != kAppendedVersion)
    return Refused("format version " + std::to_string(version) + "; this program reads version " +
                   std::to_string(kAppendedVersion));
  const std::uint32_t count = Get32(trailer + 12);
  const std::uint32_t tableLength = Get32(trailer + 16);
  const std::uint32_t containerLength = Get32(trailer + 20);
  if (containerLength > end || containerLength < kAppendedTrailerSize ||
      tableLength > containerLength - kAppendedTrailerSize || count == 0 || count > kMostMembers)
    return Refused("its trailer gives sizes that do not fit the file");
  std::vector<std::uint8_t> table(tableLength);
  const std::uint32_t tableStart = end - kAppendedTrailerSize - tableLength;
  if (!read(tableStart, table.data(), tableLength)) return Refused("its table cannot be read");
  if (Crc32(table.data(), tableLength) != Get32(trailer + 24))
    return Refused("its table is damaged");

  AppendedLoad load;
  load.state = AppendedState::found;
  load.media.start = end - containerLength;
  const std::uint32_t filesLength = tableStart - load.media.start;
  std::uint32_t at = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t nameLength = at < tableLength ? table[at] : 0;
    if (nameLength == 0 || nameLength > kLongestMemberName ||
        tableLength - at < kMemberFixed + nameLength)
      return Refused("entry " + std::to_string(i + 1) + " of its table is malformed");
    AppendedMember member;
    member.name.assign(reinterpret_cast<const char*>(table.data() + at + 1), nameLength);
    const std::uint32_t offset = Get32(table.data() + at + 1 + nameLength);
    member.length = Get32(table.data() + at + 5 + nameLength);
    at += kMemberFixed + nameLength;
    if (offset > filesLength || member.length > filesLength - offset)
      return Refused(member.name + " lies outside the appended files");
    if (load.media.Find(member.name) != nullptr)
      return Refused(member.name + " is in its table twice");
    member.offset = load.media.start + offset;
    load.media.members.push_back(std::move(member));
  }
  if (at != tableLength) return Refused("its table is longer than its entries");
  return load;
}

bool HasMagic(std::uint32_t end, const ReadAt& read) {
  char magic[8];
  return end >= kAppendedTrailerSize && read(end - kAppendedTrailerSize, magic, 8) &&
         std::string_view(magic, 8) == kAppendedMagic;
}

}  // namespace

const AppendedMember* AppendedMedia::Find(std::string_view name) const {
  for (const AppendedMember& member : members)
    if (AsciiEqualIgnoringCase(member.name, name)) return &member;
  return nullptr;
}

AppendedLoad FindAppendedMedia(std::uint32_t length, const ReadAt& read) {
  if (HasMagic(length, read)) return ReadContainer(length, read);
  std::uint32_t signature = 0;
  std::string problem;
  if (!SignatureTable(length, read, signature, problem)) return Refused(problem);
  // Signing pads the file with zero bytes to a multiple of 8 before the table.
  for (std::uint32_t end = signature; end > 0 && signature - end < kAlignment; --end) {
    if (HasMagic(end, read)) return ReadContainer(end, read);
    std::uint8_t byte = 0;
    if (!read(end - 1, &byte, 1) || byte != 0) break;
  }
  return {};
}

AppendedLoad FindAppendedMedia(Machine& machine, FileHandle file) {
  std::uint64_t size = 0;
  if (machine.GetFileSize(file, size) != FileCause::none)
    return Refused("the program file's size cannot be had");
  if (size > 0xFFFFFFFFu) return {};
  return FindAppendedMedia(static_cast<std::uint32_t>(size), [&](std::uint32_t offset, void* buffer,
                                                                 std::uint32_t count) {
    std::uint64_t position = 0;
    std::uint32_t got = 0;
    return machine.SeekFile(file, offset, SeekOrigin::begin, position) == FileCause::none &&
           machine.ReadFile(file, buffer, count, got) == FileCause::none && got == count;
  });
}

std::string AppendedTableAndTrailer(const std::vector<AppendedMember>& members) {
  std::string table;
  std::uint32_t filesLength = 0;
  for (const AppendedMember& member : members) {
    table += static_cast<char>(member.name.size());
    table += member.name;
    Put32(table, member.offset);
    Put32(table, member.length);
    filesLength = std::max(filesLength, member.offset + member.length);
  }
  std::string trailer(kAppendedMagic);
  Put32(trailer, kAppendedVersion);
  Put32(trailer, static_cast<std::uint32_t>(members.size()));
  Put32(trailer, static_cast<std::uint32_t>(table.size()));
  Put32(trailer, filesLength + static_cast<std::uint32_t>(table.size()) + kAppendedTrailerSize);
  Put32(trailer, Crc32(table.data(), table.size()));
  Put32(trailer, Crc32(trailer.data(), trailer.size()));
  return table + trailer;
}

}  // namespace velmora
