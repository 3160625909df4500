#include "authoring/package_writer.h"

#include <stdexcept>

#include "authoring/compressed_size_probe.h"
#include "authoring/package_plan.h"
#include "datafile/compressed_file.h"
#include "platform/machine.h"

namespace velmora {
namespace {

// Writes the media files of one part in order, one stretch at a time, and
// checks every position against the plan.
class MediaFileWriter {
 public:
  MediaFileWriter(const std::string& folder, int part, const std::string& banner)
      : folder_(folder), part_(part), banner_(banner) {}

  // Positions the writer at `offset` of media file `disk`, opening the
  // next media file when the plan moves on to it.
  void MoveTo(std::uint32_t disk, std::uint32_t offset) {
    while (disk_ < disk) OpenNext();
    if (Position() != offset) throw std::logic_error("package writer: layout drifted from its plan");
  }

  void Compressed(const Bytes& bytes) {
    file_.SetCompressed(true);
    file_.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    file_.SetCompressed(false);  // ends the stretch at a record boundary
  }
  void Plain(const Bytes& bytes) { file_.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size())); }

  bool IsAt(std::uint32_t offset) { return Position() == offset; }

  void Finish(const std::vector<std::uint32_t>& sizes) {
    CheckSize(sizes);
    file_.Close();
  }

 private:
  std::uint32_t Position() {
    file_.Flush();
    return file_.GetPosition();
  }

  void CheckSize(const std::vector<std::uint32_t>& sizes) {
    if (disk_ == 0 || disk_ > sizes.size() || Position() != sizes[disk_ - 1])
      throw std::logic_error("package writer: media file size differs from its plan");
  }

  void OpenNext() {
    if (file_.IsOpen()) file_.Close();
    ++disk_;
    const std::string path = MediaFilePath(folder_, part_, disk_);
    CFileException error;
    if (!file_.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error))
      throw error;
    file_.SetOutputBuffer(64 * 1024);
    Bytes prefix;
    AppendPrefix(prefix, banner_);
    Plain(prefix);
  }

  std::string folder_;
  int part_;
  std::string banner_;
  CCompressedFile file_;
  std::uint32_t disk_ = 0;
};

void WritePart(const PartPlan& plan, const PackagePart& part, const std::string& folder,
               const WriterOptions& options) {
  MediaFileWriter out(folder, plan.part, options.banner);
  out.MoveTo(1, static_cast<std::uint32_t>(options.banner.size() + 1));
  out.Compressed(plan.header);
  for (std::size_t i = 0; i < plan.records.size(); ++i) {
    const PlannedRecord& record = plan.records[i];
    const PayloadPlacement& payload = plan.payloads[i];
    out.MoveTo(record.disk, record.offset);
    out.Compressed(record.image.framing);
    out.Plain(record.image.PlainFields(payload.disk, payload.offset));
    out.Compressed(record.image.body);
  }
  // The payloads are read again, a chunk at a time, as they were when
  // planned.  A chunk that compresses to another size than planned means
  // its file changed in between.
  std::vector<std::uint8_t> buffer;
  for (const PlannedChunk& chunk : plan.chunks) {
    out.MoveTo(chunk.disk, chunk.offset);
    const StepContents contents(part.steps[chunk.step]);
    if (buffer.size() < chunk.length) buffer.resize(chunk.length);
    contents.Source().Read(chunk.dataStart, chunk.length, buffer.data());
    out.Compressed(ChunkBytes(chunk.sequence, buffer.data(), chunk.length));
    if (!out.IsAt(chunk.offset + chunk.size))
      throw PayloadReadError(contents.Source().Name() + ": the file changed while the package was written");
  }
  out.Finish(plan.fileSizes);
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

WrittenPart Summary(const PartPlan& plan) {
  WrittenPart written;
  for (std::uint32_t n = 1; n <= plan.fileSizes.size(); ++n)
    written.files.push_back(MediaFileName(plan.part, n));
  written.sizes = plan.fileSizes;
  written.payloads = plan.payloads;
  for (const PlannedRecord& record : plan.records) {
    written.recordDisks.push_back(record.disk);
    written.recordOffsets.push_back(record.offset);
  }
  return written;
}

}  // namespace

WriteResult WritePackage(const PackageDefinition& package, const std::string& folder,
                         const WriterOptions& options) {
  CompressedSizeProbe probe(folder);
  const bool twoParts = package.second.has_value();
  const PartPlan first = PlanPart(package.first, kFirstPart, twoParts, options, probe);
  std::optional<PartPlan> second;
  if (twoParts) second = PlanPart(*package.second, kSecondPart, false, options, probe);

  WritePart(first, package.first, folder, options);
  RemoveFollowers(folder, kFirstPart, static_cast<std::uint32_t>(first.fileSizes.size() + 1));
  if (second) WritePart(*second, *package.second, folder, options);
  RemoveFollowers(folder, kSecondPart,
                  second ? static_cast<std::uint32_t>(second->fileSizes.size() + 1) : 1);

  WriteResult result;
  result.first = Summary(first);
  if (second) result.second = Summary(*second);
  return result;
}

}  // namespace velmora
