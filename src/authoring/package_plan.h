// The part of a package's layout that is known before any payload is read:
// the header and every step record, encoded, and where each goes.  The
// payloads' chunks follow the last record; where each chunk goes depends on
// what the chunks before it encode to, so the writer places them as it
// encodes them (package_writer.cpp), carrying on the same MediaLayout.  See
// package_writer.h for the rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "authoring/package_writer.h"
#include "authoring/record_image.h"

namespace velmora {

class StretchEncoder;

// A step's contents as one kind of source: its `source`, else its
// `payload` in memory.
class StepContents {
 public:
  explicit StepContents(const PackageStep& step)
      : memory_(step.payload.data(), step.payload.size()),
        source_(step.source ? *step.source : memory_) {}
  StepContents(const StepContents&) = delete;
  StepContents& operator=(const StepContents&) = delete;

  const PayloadSource& Source() const { return source_; }

 private:
  MemoryPayload memory_;
  const PayloadSource& source_;
};

// The media files of one part as they fill up: the media file being filled
// (numbered from 1), the bytes placed in it, and the sizes of those before.
class MediaLayout {
 public:
  MediaLayout() = default;
  MediaLayout(std::uint32_t prefix, std::uint32_t limit)
      : prefix_(prefix), limit_(limit), pos_(prefix) {}

  std::uint32_t Disk() const { return disk_; }
  std::uint32_t Limit() const { return limit_; }
  std::uint32_t Room() const { return limit_ - pos_; }
  bool AtFileStart() const { return pos_ == prefix_; }
  void NextFile() {
    sizes_.push_back(pos_);
    ++disk_;
    pos_ = prefix_;
  }
  // Places `size` bytes (at most Room()) in the current media file and
  // answers their offset.
  std::uint32_t Place(std::uint32_t size) {
    const std::uint32_t at = pos_;
    pos_ += size;
    return at;
  }
  // The sizes of all media files, the current one last.
  std::vector<std::uint32_t> Sizes() const {
    std::vector<std::uint32_t> sizes = sizes_;
    sizes.push_back(pos_);
    return sizes;
  }

 private:
  std::uint32_t prefix_ = 0;
  std::uint32_t limit_ = 0;
  std::uint32_t pos_ = 0;
  std::uint32_t disk_ = 1;
  std::vector<std::uint32_t> sizes_;
};

struct PlannedRecord {
  std::uint32_t disk = 0;
  std::uint32_t offset = 0;
  RecordImage image;
  Bytes framing;  // image.framing encoded
  Bytes body;     // image.body encoded
  // Where the plain fields start in the media file.
  std::uint32_t PlainOffset() const { return offset + static_cast<std::uint32_t>(framing.size()); }
};

struct PartPlan {
  int part = kFirstPart;
  Bytes header;  // encoded
  std::vector<PlannedRecord> records;
  MediaLayout layout;  // as it stands after the last record
};

// Throws PackageError when the header or a record cannot be laid out, or a
// step cannot carry what it is given.
PartPlan PlanRecords(const PackagePart& part, int partNumber, bool twoParts,
                     const WriterOptions& options, StretchEncoder& encoder);

}  // namespace velmora
