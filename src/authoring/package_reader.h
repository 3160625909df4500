// The package reader: reads a package's media files back through the
// runtime's own readers (the compressed stream, CreateStep and each step's
// ReadRecord), for listing and extracting packages.
//
// It never asks anyone anything: a missing media file is an error naming
// it, and the file error reports that the runtime's readers show are
// collected instead of shown.  When reading fails, Failure() says what kind
// of failure it was, which media file and at which byte offset reading
// stopped.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/package_layout.h"
#include "authoring/read_error.h"
#include "datafile/media_location.h"
#include "steps/step.h"

namespace velmora {

struct ReadFailure {
  ReadErrorKind kind = ReadErrorKind::corrupt;
  std::string file;          // media file name; "" when none was open
  std::uint32_t offset = 0;  // where reading stopped in it
  std::string message;
  std::vector<std::string> reports;  // texts of the runtime's file error reports
};

// The failure as the tools report it, the file error reports on lines of
// their own.  A missing media file has no offset.
ReadError AsReadError(const ReadFailure& failure);

struct PartContents {
  int part = kFirstPart;
  DataFileHeader header;
  std::vector<std::unique_ptr<CStep>> steps;
};

struct PackageContents {
  PartContents first;
  std::optional<PartContents> second;
};

// One chunk of a payload as it was read.
struct ChunkInfo {
  std::uint32_t disk = 0;
  std::uint32_t sequence = 0;
  std::uint32_t length = 0;
};

struct MediaFileInfo {
  std::string name;
  std::uint32_t size = 0;
};

class PackageReader {
 public:
  // `folder`: where the media files are, a path on the current machine
  // ("" for the current directory).
  explicit PackageReader(std::string folder);
  // The files where `location` says (a folder, or a setup program's
  // appended media).
  explicit PackageReader(MediaLocation location);
  ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  // Reads the first part and, when its header says so, the second.
  bool ReadPackage(PackageContents& contents);
  // Reads one part's header and step records.
  bool ReadPart(int part, PartContents& contents);
  // Reads one part's header only.
  bool ReadHeader(int part, DataFileHeader& header);
  // Reads the payload of a step of `part`, chunk by chunk from its disk and
  // offset, as the installation does.  `chunks` (may be null) receives
  // where each chunk was found.
  bool ReadPayload(int part, const CStep& step, std::vector<std::uint8_t>& data,
                   std::vector<ChunkInfo>* chunks = nullptr);

  // The part's media files that are present, numbered from 1 up to the
  // first one missing.
  std::vector<MediaFileInfo> MediaFiles(int part) const;

  const ReadFailure& Failure() const { return failure_; }

 private:
  class Media;

  bool Guarded(int part, const std::function<bool(Media&)>& read);
  bool ReadHeaderOf(Media& media, DataFileHeader& header);
  bool ReadSteps(Media& media, PartContents& contents);
  bool ReadChunks(Media& media, const CStep& step, std::vector<std::uint8_t>& data,
                  std::vector<ChunkInfo>* chunks);

  MediaLocation location_;
  ReadFailure failure_;
};

}  // namespace velmora
