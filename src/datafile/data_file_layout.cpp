#include "datafile/data_file_layout.h"

#include "datafile/compressed_file.h"
#include "framework/little_endian.h"

namespace velmora {
namespace {

// Title bytes are read in pieces of this size, so that a damaged length
// cannot make a reader reserve gigabytes before it finds the data cut short.
constexpr std::uint32_t kTitlePiece = 4096;

bool ReadFlag(CCompressedFile& data, bool& flag) {
  std::uint8_t byte = 0;
  if (data.ReadBytes(&byte, 1) != 1) return false;
  flag = byte != 0;
  return true;
}

void AppendText(LayoutBytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

}  // namespace

std::string MediaFileNameFor(bool secondPart, std::uint32_t number) {
  return (secondPart ? kSecondPartStem : kFirstPartStem) + std::to_string(number);
}

ReadErrorKind KindOf(LayoutFault fault) {
  switch (fault) {
    case LayoutFault::unsupportedVersion: return ReadErrorKind::unsupported;
    case LayoutFault::noNextMedia: return ReadErrorKind::missingMedia;
    default: return ReadErrorKind::corrupt;
  }
}

bool ReadUInt32(CCompressedFile& data, std::uint32_t& value, std::uint32_t* arrived) {
  std::uint8_t bytes[4] = {};
  const std::uint32_t got = data.ReadBytes(bytes, 4);
  if (arrived != nullptr) *arrived = got;
  if (got != 4) return false;
  value = LoadU32(bytes);
  return true;
}

bool SkipPrefix(CFile& file) {
  for (;;) {
    std::uint8_t byte = 0;
    if (file.Read(&byte, 1) != 1) return false;
    if (byte == 0) return true;
  }
}

LayoutFault ReadHeaderVersion(CCompressedFile& data, DataFileHeader& header) {
  if (!ReadUInt32(data, header.version)) return LayoutFault::cutShort;
  return header.version == kDataFileVersion ? LayoutFault::none : LayoutFault::unsupportedVersion;
}

LayoutFault ReadHeaderTitle(CCompressedFile& data, DataFileHeader& header,
                            std::uint32_t& titleLength) {
  if (!ReadUInt32(data, titleLength)) return LayoutFault::cutShort;
  std::string bytes;
  std::uint64_t left = std::uint64_t{titleLength} + 1;
  char piece[kTitlePiece];
  while (left > 0) {
    const auto want = static_cast<std::uint32_t>(left < kTitlePiece ? left : kTitlePiece);
    if (data.ReadBytes(piece, want) != want) return LayoutFault::cutShort;
    bytes.append(piece, want);
    left -= want;
  }
  header.title = bytes.substr(0, bytes.find('\0'));
  return LayoutFault::none;
}

LayoutFault ReadHeaderReserved(CCompressedFile& data, DataFileHeader& header) {
  return ReadUInt32(data, header.reserved) ? LayoutFault::none : LayoutFault::cutShort;
}

LayoutFault ReadHeaderFlagsAndCount(CCompressedFile& data, DataFileHeader& header) {
  if (!ReadFlag(data, header.checkDates) || !ReadFlag(data, header.checkVersions) ||
      !ReadFlag(data, header.twoParts) || !ReadUInt32(data, header.stepCount))
    return LayoutFault::cutShort;
  return LayoutFault::none;
}

LayoutFault ReadClassName(CCompressedFile& data, MediaSet* next, std::string& name) {
  std::uint32_t length = 0;
  std::uint32_t arrived = 0;
  if (!ReadUInt32(data, length, &arrived)) {
    if (arrived != 0) return LayoutFault::cutShort;
    if (next == nullptr || !next->OpenNext()) return LayoutFault::noNextMedia;
    if (!ReadUInt32(data, length)) return LayoutFault::cutShort;
  }
  if (length < kMinClassNameLength || length > kMaxClassNameLength)
    return LayoutFault::classNameLength;
  char bytes[kMaxClassNameLength];
  if (data.ReadBytes(bytes, length) != length) return LayoutFault::cutShort;
  if (bytes[length - 1] != '\0') return LayoutFault::classNameEnd;
  name = bytes;
  return LayoutFault::none;
}

LayoutFault ReadChunkHead(CCompressedFile& data, MediaSet* next, std::uint32_t expected,
                          std::uint32_t missing, ChunkHead& head) {
  std::uint32_t arrived = 0;
  while (!ReadUInt32(data, head.sequence, &arrived)) {
    if (arrived != 0) return LayoutFault::cutShort;
    if (next == nullptr || !next->OpenNext()) return LayoutFault::noNextMedia;
  }
  if (head.sequence != expected) return LayoutFault::chunkSequence;
  if (!ReadUInt32(data, head.length)) return LayoutFault::cutShort;
  return head.length > missing ? LayoutFault::chunkLength : LayoutFault::none;
}

void AppendPrefix(LayoutBytes& out, const std::string& banner) { AppendText(out, banner); }

void AppendHeader(LayoutBytes& out, const DataFileHeader& header) {
  AppendU32(out, header.version);
  AppendU32(out, static_cast<std::uint32_t>(header.title.size()));
  AppendText(out, header.title);
  AppendU32(out, header.reserved);
  out.push_back(header.checkDates ? 1 : 0);
  out.push_back(header.checkVersions ? 1 : 0);
  out.push_back(header.twoParts ? 1 : 0);
  AppendU32(out, header.stepCount);
}

void AppendClassName(LayoutBytes& out, const std::string& className) {
  AppendU32(out, static_cast<std::uint32_t>(className.size() + 1));
  AppendText(out, className);
}

void AppendChunkHead(LayoutBytes& out, std::uint32_t sequence, std::uint32_t length) {
  AppendU32(out, sequence);
  AppendU32(out, length);
}

}  // namespace velmora
