#include "authoring/package_plan.h"

#include <algorithm>
#include <limits>

#include "authoring/compressed_size_probe.h"
#include "authoring/package_error.h"
#include "steps/step.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

// The media files of one part as they fill up.
class Layout {
 public:
  Layout(std::uint32_t prefix, std::uint32_t limit) : prefix_(prefix), limit_(limit), pos_(prefix) {}

  std::uint32_t Disk() const { return disk_; }
  std::uint32_t Limit() const { return limit_; }
  std::uint32_t Room() const { return limit_ - pos_; }
  bool AtFileStart() const { return pos_ == prefix_; }
  void NextFile() {
    sizes_.push_back(pos_);
    ++disk_;
    pos_ = prefix_;
  }
  std::uint32_t Place(std::uint32_t size) {
    const std::uint32_t at = pos_;
    pos_ += size;
    return at;
  }
  std::vector<std::uint32_t> Finish() {
    sizes_.push_back(pos_);
    return sizes_;
  }

 private:
  std::uint32_t prefix_;
  std::uint32_t limit_;
  std::uint32_t pos_;
  std::uint32_t disk_ = 1;
  std::vector<std::uint32_t> sizes_;
};

std::string Describe(const CStep& step, std::size_t index, int part) {
  std::string text = (part == kSecondPart ? "second part, step " : "step ") +
                     std::to_string(index + 1) + " (" +
                     step.GetRuntimeClass()->m_lpszClassName;
  if (step.HasName() && !step.GetName().empty()) text += " '" + step.GetName() + "'";
  return text + ")";
}

std::uint32_t MeasureChunk(CompressedSizeProbe& probe, std::uint32_t sequence,
                           const std::uint8_t* data, std::uint32_t length) {
  const Bytes bytes = ChunkBytes(sequence, data, length);
  return probe.Measure(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// The most data bytes (below `length`, which does not fit) of a chunk that
// fit in `room`; 0 when not even one does.  The encoded size need not grow
// with every byte, so this finds a length that fits, not always the largest.
std::uint32_t LengthThatFits(CompressedSizeProbe& probe, std::uint32_t sequence,
                             const std::uint8_t* data, std::uint32_t length, std::uint32_t room) {
  std::uint32_t fits = 0;
  std::uint32_t tooLong = length;
  while (tooLong - fits > 1) {
    const std::uint32_t middle = fits + (tooLong - fits) / 2;
    if (MeasureChunk(probe, sequence, data, middle) <= room) fits = middle;
    else tooLong = middle;
  }
  return fits;
}

// Plans the chunks of one step's payload, reading it a chunk at a time
// into `buffer` to measure what each chunk compresses to.
void PlanPayload(PartPlan& plan, const PackagePart& part, std::size_t index,
                 const WriterOptions& options, Layout& layout, CompressedSizeProbe& probe,
                 std::vector<std::uint8_t>& buffer) {
  const StepContents contents(part.steps[index]);
  const PayloadSource& source = contents.Source();
  const auto total = static_cast<std::uint32_t>(source.Size());
  PayloadPlacement& placement = plan.payloads[index];
  placement.size = total;
  std::uint32_t done = 0;
  std::uint32_t sequence = 1;
  while (done < total) {
    std::uint32_t length = std::min(options.chunkSize, total - done);
    if (buffer.size() < length) buffer.resize(length);
    source.Read(done, length, buffer.data());
    const std::uint8_t* data = buffer.data();
    std::uint32_t size = MeasureChunk(probe, sequence, data, length);
    if (size > layout.Room()) {
      length = LengthThatFits(probe, sequence, data, length, layout.Room());
      if (length == 0) {
        if (layout.AtFileStart())
          throw PackageError("a media file of " + std::to_string(layout.Limit()) +
                             " bytes cannot hold even one byte of a payload chunk");
        layout.NextFile();
        continue;
      }
      size = MeasureChunk(probe, sequence, data, length);
    }
    PlannedChunk chunk;
    chunk.step = index;
    chunk.disk = layout.Disk();
    chunk.offset = layout.Place(size);
    chunk.sequence = sequence;
    chunk.dataStart = done;
    chunk.length = length;
    chunk.size = size;
    if (sequence == 1) {
      placement.disk = chunk.disk;
      placement.offset = chunk.offset;
    }
    placement.lastDisk = chunk.disk;
    placement.chunks = sequence;
    plan.chunks.push_back(chunk);
    done += length;
    ++sequence;
  }
}

void CheckPart(const PackagePart& part, int partNumber) {
  if (part.steps.size() > std::numeric_limits<std::uint32_t>::max())
    throw PackageError("too many steps");
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PackageStep& step = part.steps[i];
    if (!step.step) throw PackageError("step " + std::to_string(i + 1) + " is missing");
    const bool isFile = dynamic_cast<const CStepFile*>(step.step.get()) != nullptr;
    if (!isFile && (step.source || !step.payload.empty()))
      throw PackageError(Describe(*step.step, i, partNumber) + " cannot carry file contents");
    if (step.source && !step.payload.empty())
      throw PackageError(Describe(*step.step, i, partNumber) +
                         " has its file contents both in memory and in a source");
    if (StepContents(step).Source().Size() >
        static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
      throw PackageError(Describe(*step.step, i, partNumber) + ": the file is larger than 2 GiB");
  }
}

}  // namespace

PartPlan PlanPart(const PackagePart& part, int partNumber, bool twoParts,
                  const WriterOptions& options, CompressedSizeProbe& probe) {
  CheckPart(part, partNumber);
  if (options.banner.find('\0') != std::string::npos)
    throw PackageError("the banner must not hold a zero byte");
  if (options.chunkSize == 0) throw PackageError("the chunk size must be at least 1 byte");
  const std::uint32_t limit = options.diskSize == 0
                                  ? kLargestMediaFile
                                  : std::min(options.diskSize, kLargestMediaFile);
  const std::uint64_t prefix = options.banner.size() + 1;
  if (prefix >= limit)
    throw PackageError("a media file of " + std::to_string(limit) +
                       " bytes cannot hold more than its banner");
  Layout layout(static_cast<std::uint32_t>(prefix), limit);

  PartPlan plan;
  plan.part = partNumber;
  DataFileHeader header;
  header.title = part.title;
  header.checkDates = part.checkDates;
  header.checkVersions = part.checkVersions;
  header.twoParts = twoParts;
  header.stepCount = static_cast<std::uint32_t>(part.steps.size());
  plan.header = HeaderBytes(header);
  const std::uint32_t headerSize =
      probe.Measure(plan.header.data(), static_cast<std::uint32_t>(plan.header.size()));
  if (headerSize > layout.Room())
    throw PackageError("the header (" + std::to_string(headerSize) +
                       " bytes) does not fit in a media file of " + std::to_string(limit) +
                       " bytes");
  layout.Place(headerSize);

  // The records, each whole in one media file.
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PackageStep& step = part.steps[i];
    PlannedRecord record;
    try {
      record.image =
          MakeRecordImage(*step.step, static_cast<std::uint32_t>(StepContents(step).Source().Size()));
    } catch (const PackageError& error) {
      throw PackageError(Describe(*step.step, i, partNumber) + ": " + error.what());
    }
    const Bytes& framing = record.image.framing;
    const Bytes& body = record.image.body;
    const std::uint64_t size =
        std::uint64_t{probe.Measure(framing.data(), static_cast<std::uint32_t>(framing.size()))} +
        record.image.PlainSize() +
        probe.Measure(body.data(), static_cast<std::uint32_t>(body.size()));
    if (size > layout.Room() && !layout.AtFileStart()) layout.NextFile();
    if (size > layout.Room())
      throw PackageError("the record of " + Describe(*step.step, i, partNumber) + " (" +
                         std::to_string(size) + " bytes) does not fit in a media file of " +
                         std::to_string(limit) + " bytes");
    record.disk = layout.Disk();
    record.offset = layout.Place(static_cast<std::uint32_t>(size));
    plan.records.push_back(std::move(record));
  }

  // The payloads, after the last record.
  plan.payloads.resize(part.steps.size());
  std::vector<std::uint8_t> buffer;
  for (std::size_t i = 0; i < part.steps.size(); ++i)
    PlanPayload(plan, part, i, options, layout, probe, buffer);

  plan.fileSizes = layout.Finish();
  return plan;
}

}  // namespace velmora
