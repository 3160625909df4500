// The package writer: turns the steps of an installation (the runtime's own
// step objects, with their properties set) and the contents of the file
// steps into the media files of a package, encoded by the runtime's
// compressed stream and written on the current machine.
//
// The header and every record are laid out before the first byte is
// written, so a package whose header or records cannot be made (a record
// larger than a media file, a text a record cannot carry) is refused with a
// PackageError and nothing is written.  The payloads are then read, encoded
// and written in one pass, each chunk encoded once; the records name where
// their payloads start, so those fields are filled in once the payloads are
// written.  Layout of one part:
//   - the header, then every step record in order; the records may go on in
//     the next media file, but only between two records;
//   - then the payloads in step order, each a run of chunks numbered from 1.
//     A payload starts a compressed stretch of its own at the offset named
//     in its record and may go on in the next media file, but only between
//     two chunks.  A chunk that does not fit in what is left of a media file
//     is cut to fit it (the rest goes on in the next chunk), so media files
//     are filled up to the disk size.
// Every compressed stretch ends at the end of the record or chunk it holds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/package_layout.h"
#include "authoring/payload_source.h"

namespace velmora {

class CStep;

struct PackageStep {
  std::unique_ptr<CStep> step;
  // The file's contents held in memory, for file steps (the data size and
  // the times in the record come from here and from the step); empty for
  // other steps.
  std::vector<std::uint8_t> payload;
  // Or where the writer reads the file's contents from, a chunk at a time,
  // when they are not held in memory (then `payload` stays empty).
  std::shared_ptr<const PayloadSource> source = nullptr;
};

struct PackagePart {
  std::string title;
  bool checkDates = false;
  bool checkVersions = false;
  std::vector<PackageStep> steps;
};

struct PackageDefinition {
  PackagePart first;
  std::optional<PackagePart> second;
};

struct WriterOptions {
  // Largest media file in bytes; 0 = no limit but kLargestMediaFile.
  std::uint32_t diskSize = 0;
  // Largest number of data bytes in one chunk.
  std::uint32_t chunkSize = kDefaultChunkSize;
  // Opens every media file; must not hold a zero byte (may be empty).
  std::string banner = kDefaultBanner;
  // Threads that encode payload chunks; 0 = one per processor, 1 = the
  // writing thread encodes them itself.  The media files are the same
  // whatever the number.
  unsigned jobs = 0;
};

// Where a step's payload went.
struct PayloadPlacement {
  std::uint32_t disk = 0;    // 0: no payload
  std::uint32_t offset = 0;  // from the start of that media file
  std::uint32_t size = 0;    // data bytes
  std::uint32_t chunks = 0;
  std::uint32_t lastDisk = 0;  // the media file that holds its last chunk
};

struct WrittenPart {
  std::vector<std::string> files;            // media file names, in order
  std::vector<std::uint32_t> sizes;          // their sizes
  std::vector<PayloadPlacement> payloads;    // one per step
  std::vector<std::uint32_t> recordDisks;    // media file of each step record
  std::vector<std::uint32_t> recordOffsets;  // and where in it the record starts
};

struct WriteResult {
  WrittenPart first;
  std::optional<WrittenPart> second;
};

// Writes the package's media files into `folder` (a path on the current
// machine, "" for the current directory; it must exist), replacing media
// files of the same names.  Steps are not validated here (see
// package_checks.h).  Throws PackageError when the package cannot be laid
// out (nothing is written then), PayloadReadError when a step's contents
// cannot be read or change size while they are read, CFileException when
// writing fails (after either of the last two the folder may hold some of the
// new media files; write into a fresh folder when that matters).
WriteResult WritePackage(const PackageDefinition& package, const std::string& folder,
                         const WriterOptions& options = {});

}  // namespace velmora
