// The layout of one part of a package, decided before anything is written:
// which media file and offset each header, record and chunk goes to, and
// how large every media file becomes.  See package_writer.h for the rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "authoring/package_writer.h"
#include "authoring/record_image.h"

namespace velmora {

class CompressedSizeProbe;

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

struct PlannedRecord {
  std::uint32_t disk = 0;
  std::uint32_t offset = 0;
  RecordImage image;
};

struct PlannedChunk {
  std::size_t step = 0;
  std::uint32_t disk = 0;
  std::uint32_t offset = 0;
  std::uint32_t sequence = 0;
  std::uint32_t dataStart = 0;  // in the step's payload
  std::uint32_t length = 0;     // data bytes
  std::uint32_t size = 0;       // bytes in the media file
};

struct PartPlan {
  int part = kFirstPart;
  Bytes header;
  std::vector<PlannedRecord> records;
  std::vector<PlannedChunk> chunks;
  std::vector<PayloadPlacement> payloads;  // one per step
  std::vector<std::uint32_t> fileSizes;    // media file n at index n - 1
};

// Throws PackageError when the part cannot be laid out.
PartPlan PlanPart(const PackagePart& part, int partNumber, bool twoParts,
                  const WriterOptions& options, CompressedSizeProbe& probe);

}  // namespace velmora
