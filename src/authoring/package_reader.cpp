#include "authoring/package_reader.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "authoring/ansi_text.h"
#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "platform/collecting_ui.h"
#include "steps/step.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

constexpr std::uint32_t kReadPiece = 4096;

// Appends `count` bytes, taking memory only for bytes that arrive.
bool ReadAppend(CCompressedFile& file, std::vector<std::uint8_t>& out, std::uint32_t count) {
  while (count > 0) {
    const std::uint32_t piece = std::min(count, kReadPiece);
    const std::size_t at = out.size();
    out.resize(at + piece);
    if (file.Read(out.data() + at, piece) != piece) return false;
    count -= piece;
  }
  return true;
}

// The offset of the first byte of the file that reading has not consumed.
// The stream reads ahead, so this drains what it holds; the stream is of no
// further use afterwards.
std::uint32_t StoppedAt(CCompressedFile& file) {
  try {
    if (!file.IsOpen()) return 0;
    file.SetCompressed(false);
    const std::uint32_t before = file.GetPosition();
    std::vector<std::uint8_t> sink(CCompressedFile::kReadAheadSize);
    const std::uint32_t delivered = file.Read(sink.data(), CCompressedFile::kReadAheadSize);
    const std::uint32_t fromFile = file.GetPosition() - before;
    return before - (delivered - fromFile);
  } catch (const std::exception&) {
    return 0;
  }
}

std::string Describe(const CStep& step) {
  std::string text = step.GetRuntimeClass()->m_lpszClassName;
  if (step.HasName() && !step.GetName().empty()) text += " '" + step.GetName() + "'";
  return text;
}

}  // namespace

// The media files of one part, whose stream goes on in the next file when
// one is exhausted; a file that cannot be had records the failure.
class PackageReader::Media final {
 public:
  Media(const MediaLocation& location, int part, ReadFailure& failure)
      : failure_(failure), set_(location, Events()) {
    set_.StartPart(part == kSecondPart);
    set_.Stream().SetMedia(&set_);
  }

  CCompressedFile& File() { return set_.Stream(); }
  std::uint32_t Disk() const { return set_.Number(); }
  std::string Name() const { return set_.FileName(); }

  bool Open(std::uint32_t disk) {
    previous_.clear();
    return set_.OpenNumber(disk);
  }

  // Records a failure in the open media file (the first one counts).
  bool Fail(std::uint32_t offset, const std::string& message,
            ReadErrorKind kind = ReadErrorKind::corrupt) {
    if (failure_.message.empty()) {
      failure_.kind = kind;
      failure_.file = Name();
      failure_.offset = offset;
      failure_.message = message;
    }
    return false;
  }

 private:
  MediaEvents Events() {
    MediaEvents events;
    // Reading goes on in the next file only once this one is exhausted.
    events.leaving = [this](const MediaSet& media) {
      previous_ = " (reading went on after the end of " + media.FileName() + " at offset " +
                  std::to_string(StoppedAt(set_.Stream())) + ")";
    };
    events.unavailable = [this](const MediaSet&, FileCause cause) {
      if (cause == FileCause::fileNotFound)
        return Fail(0, "the media file is missing" + previous_, ReadErrorKind::missingMedia);
      return Fail(0,
                  "the media file cannot be opened (" + FileCauseName(static_cast<int>(cause)) +
                      ")" + previous_,
                  ReadErrorKind::io);
    };
    events.failed = [this](const MediaSet& media, MediaFault fault, const CFileException* error) {
      if (fault == MediaFault::badDescription) {
        Fail(0, media.FaultText());
        failure_.file = kDescriptionFileName;
      } else if (fault == MediaFault::damaged) Fail(0, media.FaultText());
      else if (error == nullptr)
        Fail(StoppedAt(set_.Stream()), "the banner has no zero byte at its end");
      else
        Fail(StoppedAt(set_.Stream()), std::string("reading failed: ") + error->what(),
             ReadErrorKind::io);
    };
    return events;
  }

  ReadFailure& failure_;
  std::string previous_;
  MediaSet set_;
};

ReadError AsReadError(const ReadFailure& failure) {
  std::string what = failure.message;
  for (const std::string& report : failure.reports) what += "\n  file error report: " + report;
  std::optional<std::uint64_t> offset;
  if (failure.kind != ReadErrorKind::missingMedia) offset = failure.offset;
  return ReadError(failure.kind, failure.file, offset, what);
}

PackageReader::PackageReader(std::string folder) { location_.folder = std::move(folder); }

PackageReader::PackageReader(MediaLocation location) : location_(std::move(location)) {}

PackageReader::~PackageReader() = default;

bool PackageReader::ReadPackage(PackageContents& contents) {
  contents.second.reset();
  if (!ReadPart(kFirstPart, contents.first)) return false;
  if (!contents.first.header.twoParts) return true;
  contents.second.emplace();
  return ReadPart(kSecondPart, *contents.second);
}

bool PackageReader::ReadPart(int part, PartContents& contents) {
  contents.part = part;
  contents.header = {};
  contents.steps.clear();
  return Guarded(part, [&](Media& media) {
    return ReadHeaderOf(media, contents.header) && ReadSteps(media, contents);
  });
}

bool PackageReader::ReadHeader(int part, DataFileHeader& header) {
  header = {};
  return Guarded(part, [&](Media& media) { return ReadHeaderOf(media, header); });
}

bool PackageReader::ReadPayload(int part, const CStep& step, std::vector<std::uint8_t>& data,
                                std::vector<ChunkInfo>* chunks) {
  data.clear();
  if (chunks != nullptr) chunks->clear();
  return Guarded(part, [&](Media& media) { return ReadChunks(media, step, data, chunks); });
}

// Reading with the part's media set, a user
// interface that only collects what it is shown, and every error turned
// into a failure.
bool PackageReader::Guarded(int part, const std::function<bool(Media&)>& read) {
  failure_ = {};
  CollectingUi ui;
  ScopedUi scopedUi(ui);
  Media media(location_, part, failure_);
  CCompressedFile& file = media.File();
  bool ok = false;
  try {
    ok = read(media);
  } catch (const CFileException& error) {
    file.ReportFileError(&error);
    ok = media.Fail(StoppedAt(file), std::string("reading failed: ") + error.what(),
                    ReadErrorKind::io);
  } catch (const std::exception& error) {
    ok = media.Fail(StoppedAt(file), std::string("reading failed: ") + error.what());
  }
  for (const std::string& message : ui.Messages()) failure_.reports.push_back(message);
  return ok;
}

// The header as the installation run reads it, field by field.
bool PackageReader::ReadHeaderOf(Media& media, DataFileHeader& header) {
  if (!media.Open(1)) return false;
  CCompressedFile& file = media.File();
  LayoutFault fault = ReadHeaderVersion(file, header);
  if (fault == LayoutFault::unsupportedVersion)
    return media.Fail(StoppedAt(file),
                      "data file format version " + std::to_string(header.version) +
                          "; this program reads version " + std::to_string(kDataFileVersion),
                      KindOf(fault));
  std::uint32_t titleLength = 0;
  if (fault == LayoutFault::none && ReadHeaderTitle(file, header, titleLength) != LayoutFault::none)
    return media.Fail(StoppedAt(file),
                      "the title is cut short (title length " + std::to_string(titleLength) + ")");
  if (fault == LayoutFault::none) fault = ReadHeaderReserved(file, header);
  if (fault == LayoutFault::none) fault = ReadHeaderFlagsAndCount(file, header);
  if (fault != LayoutFault::none) return media.Fail(StoppedAt(file), "the header ends early");
  return true;
}

bool PackageReader::ReadSteps(Media& media, PartContents& contents) {
  CCompressedFile& file = media.File();
  const std::uint32_t count = contents.header.stepCount;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::unique_ptr<CStep> refused;
    CStep* step = CreateStep(&file, &refused);
    if (step == nullptr) {
      std::string message = "the record of step " + std::to_string(i + 1) + " of " +
                            std::to_string(count) + " cannot be read";
      if (i > 0)
        message += " (it follows step " + std::to_string(i) + ", " +
                   Describe(*contents.steps.back()) + ")";
      if (const auto* named = dynamic_cast<const CStepFile*>(refused.get())) {
        if (const std::string problem = named->NameProblem(); !problem.empty())
          message += ": " + std::string(named->GetRuntimeClass()->m_lpszClassName) + " " +
                     TextQuoted(named->GetName()) + ", whose file name " + problem;
      }
      return media.Fail(StoppedAt(file), message);
    }
    contents.steps.emplace_back(step);
  }
  return true;
}

// The chunks of a payload, as the file step's InstallData reads them.
bool PackageReader::ReadChunks(Media& media, const CStep& step, std::vector<std::uint8_t>& data,
                               std::vector<ChunkInfo>* chunks) {
  const std::uint32_t size = step.GetDataSize();
  if (size == 0) return true;
  if (step.GetDisk() == 0) return media.Fail(0, Describe(step) + " has data but no media file");
  if (!media.Open(step.GetDisk())) return false;
  CCompressedFile& file = media.File();
  file.Seek(static_cast<std::int32_t>(step.GetDataOffset()), CFile::begin);
  for (std::uint32_t expected = 1; data.size() < size; ++expected) {
    const std::string chunk = "chunk " + std::to_string(expected) + " of " + Describe(step);
    const auto missing = static_cast<std::uint32_t>(size - data.size());
    ChunkHead head;
    const LayoutFault fault = ReadChunkHead(file, file.Media(), expected, missing, head);
    switch (fault) {
      case LayoutFault::none: break;
      case LayoutFault::noNextMedia:
        return false;  // the media file that failed to open is the failure
      case LayoutFault::chunkSequence:
        return media.Fail(StoppedAt(file), chunk + " is numbered " + std::to_string(head.sequence));
      case LayoutFault::chunkLength:
        return media.Fail(StoppedAt(file),
                          chunk + " runs past the file's " + std::to_string(size) + " bytes");
      default: return media.Fail(StoppedAt(file), chunk + " is cut short", KindOf(fault));
    }
    if (!ReadAppend(file, data, head.length))
      return media.Fail(StoppedAt(file), chunk + " is cut short");
    if (chunks != nullptr) chunks->push_back({media.Disk(), head.sequence, head.length});
  }
  return true;
}

std::vector<MediaFileInfo> PackageReader::MediaFiles(int part) const {
  std::vector<MediaFileInfo> files;
  for (std::uint32_t n = 1;; ++n) {
    CFile file;
    const std::string name = MediaFileName(part, n);
    if (location_.Embedded()) {
      const AppendedMember* member = location_.appended.Find(name);
      if (member == nullptr) break;
      files.push_back({name, member->length});
      continue;
    }
    if (!file.Open(MediaFilePath(location_.folder, part, n),
                   CFile::modeRead | CFile::shareDenyWrite))
      break;
    try {
      files.push_back({name, file.GetLength()});
    } catch (const CFileException&) {
      break;
    }
  }
  return files;
}

}  // namespace velmora
