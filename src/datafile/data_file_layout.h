// The layout of an installation's data files: what the installation run
// and the package reader read, and what the package writer writes.  Every
// integer is unsigned and little-endian.
//
// Media files.  The first part of an installation is in "velmor.1",
// "velmor.2", ...; a second part in "velmore.1", "velmore.2", ...
//
//   +-------------------+----------------------------------------------+
//   | plain prefix      | any bytes that are not zero, then a zero     |
//   |                   | byte; not compressed, skipped unread         |
//   +-------------------+----------------------------------------------+
//   | compressed stream | to the end of the file (compressed_file.h)   |
//   +-------------------+----------------------------------------------+
//
// Header, at the start of the compressed stream of media file 1 of each
// part (offsets count decompressed bytes):
//
//   0      4     version        data file format version, kDataFileVersion
//   4      4     title length L
//   8      L+1   title          L bytes and a zero byte; the text up to the
//                               first zero byte is the title
//   9+L    4     reserved       read and not used
//   13+L   1     date check     nonzero = true: compare file dates
//   14+L   1     version check  nonzero = true: compare file versions
//   15+L   1     two parts      nonzero = true: a second part follows in
//                               "velmore.N", with a header of its own
//   16+L   4     step count     the number of step records that follow
//   20+L   ...   step records
//
// Step record.  Records follow one another with no end marker; they may
// go on in the next media file of the part, only between two records (a
// continuation file has a prefix and no header).
//
//   4      class name length N, the zero byte included,
//          kMinClassNameLength..kMaxClassNameLength
//   N      class name: N-1 characters and a zero byte
//   ...    body: plain leading fields, tags, "ENDS" (steps/step_record.h)
//
// Payload of a file step, at the media file and offset its record names
// (the offset counts from the file's first byte, prefix included), in a
// compressed stretch of its own: chunks until their lengths add up to the
// record's data size.  A payload may go on in the next media file, only
// between two chunks.
//
//   4      sequence number, 1 for the first chunk of a payload
//   4      data length L, at most the payload bytes still missing
//   L      data
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/media_set.h"
#include "datafile/read_error_kind.h"

namespace velmora {

class CCompressedFile;
class CFile;

inline constexpr std::uint32_t kDataFileVersion = 4;

// Media file names: the stem, then the number in decimal from 1.
inline constexpr const char* kFirstPartStem = "velmor.";
inline constexpr const char* kSecondPartStem = "velmore.";
// "velmor.2" (first part) or "velmore.2" (second part).
std::string MediaFileNameFor(bool secondPart, std::uint32_t number);

// Shortest and longest class name length field (terminating zero included).
inline constexpr std::uint32_t kMinClassNameLength = 2;
inline constexpr std::uint32_t kMaxClassNameLength = 128;

// Sequence number and length in front of every chunk's data.
inline constexpr std::uint32_t kChunkHeaderSize = 8;

// Positions in a media file are 32-bit signed in the stream classes, so no
// media file may grow past this.
inline constexpr std::uint32_t kLargestMediaFile = 0x7FFFFFFF;

struct DataFileHeader {
  std::uint32_t version = kDataFileVersion;
  std::string title;
  std::uint32_t reserved = 0;
  bool checkDates = false;
  bool checkVersions = false;
  bool twoParts = false;
  std::uint32_t stepCount = 0;
};

// What a reader below found wrong; KindOf sorts it for the error reports.
enum class LayoutFault {
  none,
  cutShort,            // the data ends inside a field
  unsupportedVersion,  // the header's version is not kDataFileVersion
  classNameLength,     // a class name length outside 2..128
  classNameEnd,        // a class name without its zero byte
  chunkSequence,       // a chunk numbered other than the one due
  chunkLength,         // a chunk longer than the payload bytes still missing
  noNextMedia,         // the next media file could not be had
};

ReadErrorKind KindOf(LayoutFault fault);

// ---- Reading ---------------------------------------------------------------
// Each field is one ReadBytes call on the stream, in the stream's current
// state; file exceptions are left to the caller.

// A 32-bit field; false when fewer than four bytes arrive.  `arrived`
// (may be null) receives how many did.
bool ReadUInt32(CCompressedFile& data, std::uint32_t& value, std::uint32_t* arrived = nullptr);

// Skips the plain prefix one byte at a time, with decompression off.
// Answers false when the file ends before the zero byte.
bool SkipPrefix(CFile& file);

// The header in the order it is stored, in four pieces, so that the
// installation run can act between them.
LayoutFault ReadHeaderVersion(CCompressedFile& data, DataFileHeader& header);
// Takes memory only for title bytes that arrive, whatever the length says.
LayoutFault ReadHeaderTitle(CCompressedFile& data, DataFileHeader& header,
                            std::uint32_t& titleLength);
LayoutFault ReadHeaderReserved(CCompressedFile& data, DataFileHeader& header);
LayoutFault ReadHeaderFlagsAndCount(CCompressedFile& data, DataFileHeader& header);

// The class name that opens a record: the text up to its first zero byte.
// When no byte of the length arrives (the media file ended before the
// record), `next` (may be null) opens the next media file, once.
LayoutFault ReadClassName(CCompressedFile& data, MediaSet* next, std::string& name);

struct ChunkHead {
  std::uint32_t sequence = 0;
  std::uint32_t length = 0;
};
// The head of chunk `expected` of a payload that still misses `missing`
// bytes.  While no byte of the sequence number arrives, `next` (may be
// null) opens the next media file.
LayoutFault ReadChunkHead(CCompressedFile& data, MediaSet* next, std::uint32_t expected,
                          std::uint32_t missing, ChunkHead& head);

// ---- Writing ---------------------------------------------------------------
// The bytes as the readers above take them from the stream.

using LayoutBytes = std::vector<std::uint8_t>;

void AppendPrefix(LayoutBytes& out, const std::string& banner);  // banner and its zero byte
void AppendHeader(LayoutBytes& out, const DataFileHeader& header);
void AppendClassName(LayoutBytes& out, const std::string& className);
void AppendChunkHead(LayoutBytes& out, std::uint32_t sequence, std::uint32_t length);

}  // namespace velmora
