#include "authoring/package_writer.h"

#include <stdexcept>
#include <thread>

#include "authoring/chunk_pipeline.h"
#include "authoring/package_error.h"
#include "authoring/package_plan.h"
#include "authoring/stretch_encoder.h"
#include "framework/file.h"
#include "platform/machine.h"

namespace velmora {
namespace {

// Writes the media files of one part in order, every stretch already
// encoded, and checks every position against the layout.
class MediaFileWriter {
 public:
  MediaFileWriter(const std::string& folder, int part, const std::string& banner)
      : folder_(folder), part_(part), banner_(banner) {}

  // Positions the writer at `offset` of media file `disk`, opening the
  // next media file when the layout moves on to it.
  void MoveTo(std::uint32_t disk, std::uint32_t offset) {
    while (disk_ < disk) OpenNext();
    if (position_ != offset) throw std::logic_error("package writer: layout drifted from its plan");
  }

  // Small stretches (records, chunks of small files) are gathered into one
  // write; a large one goes to the file as it is.
  void Write(const Bytes& bytes) {
    position_ += static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() >= kBufferSize / 4) {
      WriteBuffer();
      file_.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
      return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    if (buffer_.size() >= kBufferSize) WriteBuffer();
  }

  void Finish(const std::vector<std::uint32_t>& sizes) {
    CloseCurrent();
    if (sizes_ != sizes)
      throw std::logic_error("package writer: media file sizes differ from their plan");
  }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{256} * 1024;

  void WriteBuffer() {
    if (buffer_.empty()) return;
    file_.Write(buffer_.data(), static_cast<std::uint32_t>(buffer_.size()));
    buffer_.clear();
  }

  void CloseCurrent() {
    if (!file_.IsOpen()) return;
    WriteBuffer();
    file_.Close();
    sizes_.push_back(position_);
  }

  void OpenNext() {
    CloseCurrent();
    ++disk_;
    const std::string path = MediaFilePath(folder_, part_, disk_);
    CFileException error;
    if (!file_.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error))
      throw error;
    position_ = 0;
    Bytes prefix;
    AppendPrefix(prefix, banner_);
    Write(prefix);
  }

  std::string folder_;
  int part_;
  std::string banner_;
  CFile file_;
  Bytes buffer_;
  std::uint32_t disk_ = 0;
  std::uint32_t position_ = 0;
  std::vector<std::uint32_t> sizes_;  // of the media files closed
};

// The most data bytes (below the chunk's length, which does not fit) of a
// chunk that fit in `room`, with their encoding in `fitting`; 0 when not even
// one does.  The encoded size need not grow with every byte, so this finds a
// length that fits, not always the largest; the binary search is what fixes
// the layout, so it must not change.
std::uint32_t LengthThatFits(StretchEncoder& encoder, const EncodedChunk& chunk, std::uint32_t room,
                             Bytes& fitting) {
  Bytes bytes;
  Bytes encoded;
  std::uint32_t fits = 0;
  std::uint32_t tooLong = chunk.length;
  while (tooLong - fits > 1) {
    const std::uint32_t middle = fits + (tooLong - fits) / 2;
    bytes.clear();
    AppendChunkHead(bytes, chunk.sequence, middle);
    bytes.insert(bytes.end(), chunk.Data(), chunk.Data() + middle);
    encoder.Encode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), encoded);
    if (encoded.size() <= room) {
      fits = middle;
      fitting.swap(encoded);
    } else {
      tooLong = middle;
    }
  }
  return fits;
}

// Writes the payloads of the part after its records, chunk by chunk, and
// answers where each went.
std::vector<PayloadPlacement> WritePayloads(PartPlan& plan, const PackagePart& part,
                                            const WriterOptions& options, MediaFileWriter& out) {
  MediaLayout& layout = plan.layout;
  std::vector<PayloadPlacement> placements(part.steps.size());
  for (std::size_t i = 0; i < part.steps.size(); ++i)
    placements[i].size = static_cast<std::uint32_t>(StepContents(part.steps[i]).Source().Size());

  const unsigned jobs =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  ChunkPipeline chunks(part, options.chunkSize, jobs);
  StretchEncoder encoder;  // for chunks cut short
  Bytes cut;
  while (const EncodedChunk* chunk = chunks.Next()) {
    const Bytes* encoded = &chunk->encoded;
    std::uint32_t length = chunk->length;
    while (encoded->size() > layout.Room()) {
      length = LengthThatFits(encoder, *chunk, layout.Room(), cut);
      if (length != 0) {
        encoded = &cut;
        break;
      }
      // Not one byte fits: the whole chunk is tried again in the next media
      // file.  A fresh media file always takes a one-byte chunk once every
      // record fits, a file step's record being the larger.
      if (layout.AtFileStart())
        throw PackageError("a media file of " + std::to_string(layout.Limit()) +
                           " bytes cannot hold even one byte of a payload chunk");
      layout.NextFile();
      length = chunk->length;
    }
    const std::uint32_t disk = layout.Disk();
    const std::uint32_t offset = layout.Place(static_cast<std::uint32_t>(encoded->size()));
    out.MoveTo(disk, offset);
    out.Write(*encoded);
    PayloadPlacement& placement = placements[chunk->step];
    if (chunk->sequence == 1) {
      placement.disk = disk;
      placement.offset = offset;
    }
    placement.lastDisk = disk;
    placement.chunks = chunk->sequence;
    if (length < chunk->length) chunks.CutLast(length);
  }
  return placements;
}

// Fills in, in the records already written, where each payload starts.
void PatchRecords(const PartPlan& plan, const std::vector<PayloadPlacement>& placements,
                  const std::string& folder) {
  CFile file;
  std::uint32_t open = 0;
  for (std::size_t i = 0; i < plan.records.size(); ++i) {
    const PlannedRecord& record = plan.records[i];
    if (record.image.dataSize == 0) continue;
    if (record.disk != open) {
      file.Close();
      const std::string path = MediaFilePath(folder, plan.part, record.disk);
      CFileException error;
      if (!file.Open(path, CFile::modeReadWrite | CFile::shareExclusive, &error)) throw error;
      open = record.disk;
    }
    const Bytes fields = record.image.PlainFields(placements[i].disk, placements[i].offset);
    file.Seek(static_cast<std::int32_t>(record.PlainOffset()), CFile::begin);
    file.Write(fields.data(), static_cast<std::uint32_t>(fields.size()));
  }
  file.Close();
}

WrittenPart WritePart(PartPlan& plan, const PackagePart& part, const std::string& folder,
                      const WriterOptions& options) {
  MediaFileWriter out(folder, plan.part, options.banner);
  out.MoveTo(1, static_cast<std::uint32_t>(options.banner.size() + 1));
  out.Write(plan.header);
  // The records name their payloads' media file and offset, known once the
  // payloads are written: until then those fields hold zeros.
  for (const PlannedRecord& record : plan.records) {
    out.MoveTo(record.disk, record.offset);
    out.Write(record.framing);
    out.Write(record.image.PlainFields(0, 0));
    out.Write(record.body);
  }
  WrittenPart written;
  written.payloads = WritePayloads(plan, part, options, out);
  written.sizes = plan.layout.Sizes();
  out.Finish(written.sizes);
  PatchRecords(plan, written.payloads, folder);

  for (std::uint32_t n = 1; n <= written.sizes.size(); ++n)
    written.files.push_back(MediaFileName(plan.part, n));
  for (const PlannedRecord& record : plan.records) {
    written.recordDisks.push_back(record.disk);
    written.recordOffsets.push_back(record.offset);
  }
  return written;
}

// Media files of the part numbered from `first` on, left from an earlier
// package in the same folder, would be taken for part of this one.
void RemoveFollowers(const std::string& folder, int part, std::uint32_t first) {
  Machine& machine = CurrentMachine();
  for (std::uint32_t n = first;; ++n) {
    const std::string path = MediaFilePath(folder, part, n);
    const FileCause cause = machine.DeleteFile(path);
    if (cause == FileCause::fileNotFound) return;
    ThrowIfFailed(cause, path);
  }
}

}  // namespace

WriteResult WritePackage(const PackageDefinition& package, const std::string& folder,
                         const WriterOptions& options) {
  StretchEncoder encoder;
  const bool twoParts = package.second.has_value();
  PartPlan first = PlanRecords(package.first, kFirstPart, twoParts, options, encoder);
  std::optional<PartPlan> second;
  if (twoParts) second = PlanRecords(*package.second, kSecondPart, false, options, encoder);

  WriteResult result;
  result.first = WritePart(first, package.first, folder, options);
  RemoveFollowers(folder, kFirstPart, static_cast<std::uint32_t>(result.first.files.size() + 1));
  if (second) result.second = WritePart(*second, *package.second, folder, options);
  RemoveFollowers(folder, kSecondPart,
                  second ? static_cast<std::uint32_t>(result.second->files.size() + 1) : 1);
  return result;
}

}  // namespace velmora
