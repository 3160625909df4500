#include "authoring/package_reader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>

#include "datafile/compressed_file.h"
#include "datafile/step_factory.h"
#include "platform/scripted/scripted_ui.h"
#include "steps/step.h"

namespace velmora {
namespace {

// Longer titles are taken for damage rather than read.
constexpr std::uint32_t kLongestTitle = 1 << 20;
constexpr std::uint32_t kReadPiece = 4096;

std::uint32_t LittleEndian(const std::uint8_t (&bytes)[4]) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool ReadUInt32(CCompressedFile& file, std::uint32_t& value) {
  std::uint8_t bytes[4] = {};
  if (file.Read(bytes, 4) != 4) return false;
  value = LittleEndian(bytes);
  return true;
}

bool ReadByte(CCompressedFile& file, std::uint8_t& value) { return file.Read(&value, 1) == 1; }

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

// The media files of one part: opens them by number, skips their banners,
// and is the media source CreateStep turns to when a file is exhausted.
class PackageReader::Media final : public MediaSource {
 public:
  Media(const std::string& folder, int part, ReadFailure& failure)
      : folder_(folder), part_(part), failure_(failure) {}

  CCompressedFile& File() { return file_; }
  std::uint32_t Disk() const { return disk_; }
  std::string Name() const { return disk_ == 0 ? std::string() : MediaFileName(part_, disk_); }

  bool Open(std::uint32_t disk) {
    disk_ = disk - 1;
    return OpenNextMediaFile();
  }

  bool OpenNextMediaFile() override {
    try {
      // Reading goes on in the next file only once this one is exhausted.
      std::string previous;
      if (file_.IsOpen()) {
        previous = " (reading went on after the end of " + Name() + " at offset " +
                   std::to_string(StoppedAt(file_)) + ")";
        file_.Close();
      }
      file_.SetCompressed(false);
      ++disk_;
      CFileException error;
      if (!file_.Open(MediaFilePath(folder_, part_, disk_), CFile::modeRead | CFile::shareDenyWrite, &error)) {
        failure_.missingFile = true;
        return Fail(0, (error.Cause() == FileCause::fileNotFound
                            ? std::string("the media file is missing")
                            : "the media file cannot be opened (" + FileCauseName(error.m_cause) + ")") +
                           previous);
      }
      return SkipBanner();
    } catch (const CFileException& error) {
      return Fail(StoppedAt(file_), std::string("reading failed: ") + error.what());
    }
  }

  // Records a failure in the open media file (the first one counts).
  bool Fail(std::uint32_t offset, const std::string& message) {
    if (failure_.message.empty()) {
      failure_.file = Name();
      failure_.offset = offset;
      failure_.message = message;
    }
    return false;
  }

 private:
  bool SkipBanner() {
    std::uint8_t piece[kReadPiece];
    for (std::uint32_t start = 0;;) {
      const std::uint32_t got = file_.Read(piece, sizeof piece);
      if (got == 0) return Fail(start, "the banner has no zero byte at its end");
      const auto* zero = static_cast<const std::uint8_t*>(std::memchr(piece, 0, got));
      if (zero != nullptr) {
        file_.Seek(static_cast<std::int32_t>(start + (zero - piece) + 1), CFile::begin);
        file_.SetCompressed(true);
        return true;
      }
      start += got;
    }
  }

  std::string folder_;
  int part_;
  ReadFailure& failure_;
  CCompressedFile file_;
  std::uint32_t disk_ = 0;
};

PackageReader::PackageReader(std::string folder)
    : folder_(std::move(folder)) {}

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
  return Guarded(part, [&](Media& media) { return ReadHeaderAndSteps(media, contents); });
}

bool PackageReader::ReadPayload(int part, const CStep& step, std::vector<std::uint8_t>& data,
                                std::vector<ChunkInfo>* chunks) {
  data.clear();
  if (chunks != nullptr) chunks->clear();
  return Guarded(part, [&](Media& media) { return ReadChunks(media, step, data, chunks); });
}

// Reading with the part's media files as the media source, a user
// interface that only collects what it is shown, and every error turned
// into a failure.
bool PackageReader::Guarded(int part, const std::function<bool(Media&)>& read) {
  failure_ = {};
  ScriptedUi ui;
  ScopedUi scopedUi(ui);
  Media media(folder_, part, failure_);
  ScopedMediaSource scopedMedia(media);
  CCompressedFile& file = media.File();
  bool ok = false;
  try {
    ok = read(media);
  } catch (const CFileException& error) {
    file.ReportFileError(&error);
    ok = media.Fail(StoppedAt(file), std::string("reading failed: ") + error.what());
  } catch (const std::exception& error) {
    ok = media.Fail(StoppedAt(file), std::string("reading failed: ") + error.what());
  }
  for (const TranscriptEntry& entry : ui.Transcript())
    if (entry.kind == "message") failure_.reports.push_back(entry.text);
  return ok;
}

bool PackageReader::ReadHeaderAndSteps(Media& media, PartContents& contents) {
  if (!media.Open(1)) return false;
  CCompressedFile& file = media.File();
  PackageHeader& header = contents.header;
  std::uint32_t titleLength = 0;
  if (!ReadUInt32(file, header.version)) return media.Fail(StoppedAt(file), "the header ends early");
  if (header.version != kDataFileVersion)
    return media.Fail(StoppedAt(file), "data file format version " + std::to_string(header.version) +
                                           ", not " + std::to_string(kDataFileVersion));
  if (!ReadUInt32(file, titleLength)) return media.Fail(StoppedAt(file), "the header ends early");
  if (titleLength >= kLongestTitle)
    return media.Fail(StoppedAt(file),
                      "the title length " + std::to_string(titleLength) + " is not plausible");
  std::vector<std::uint8_t> title;
  std::uint32_t reserved = 0;
  std::uint8_t flags[3] = {};
  if (!ReadAppend(file, title, titleLength + 1) || !ReadUInt32(file, reserved) ||
      !ReadByte(file, flags[0]) || !ReadByte(file, flags[1]) || !ReadByte(file, flags[2]) ||
      !ReadUInt32(file, header.stepCount))
    return media.Fail(StoppedAt(file), "the header ends early");
  // The text up to the first zero byte, which need not be the last.
  header.title.assign(title.begin(), std::find(title.begin(), title.end(), std::uint8_t{0}));
  header.checkDates = flags[0] != 0;
  header.checkVersions = flags[1] != 0;
  header.twoParts = flags[2] != 0;

  for (std::uint32_t i = 0; i < header.stepCount; ++i) {
    CStep* step = CreateStep(&file);
    if (step == nullptr) {
      std::string message = "the record of step " + std::to_string(i + 1) + " of " +
                            std::to_string(header.stepCount) + " cannot be read";
      if (i > 0)
        message += " (it follows step " + std::to_string(i) + ", " + Describe(*contents.steps.back()) + ")";
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
    std::uint8_t bytes[4];
    std::uint32_t got = file.Read(bytes, 4);
    if (got == 0) {  // the media file ends between two chunks
      if (!media.OpenNextMediaFile()) return false;
      got = file.Read(bytes, 4);
    }
    const std::uint32_t sequence = LittleEndian(bytes);
    std::uint32_t length = 0;
    if (got != 4 || !ReadUInt32(file, length)) return media.Fail(StoppedAt(file), chunk + " is cut short");
    if (sequence != expected)
      return media.Fail(StoppedAt(file), chunk + " is numbered " + std::to_string(sequence));
    if (length > size - data.size())
      return media.Fail(StoppedAt(file), chunk + " runs past the file's " + std::to_string(size) + " bytes");
    if (!ReadAppend(file, data, length)) return media.Fail(StoppedAt(file), chunk + " is cut short");
    if (chunks != nullptr) chunks->push_back({media.Disk(), sequence, length});
  }
  return true;
}

std::vector<MediaFileInfo> PackageReader::MediaFiles(int part) const {
  std::vector<MediaFileInfo> files;
  for (std::uint32_t n = 1;; ++n) {
    CFile file;
    const std::string name = MediaFileName(part, n);
    if (!file.Open(MediaFilePath(folder_, part, n), CFile::modeRead | CFile::shareDenyWrite)) break;
    try {
      files.push_back({name, file.GetLength()});
    } catch (const CFileException&) {
      break;
    }
  }
  return files;
}

}  // namespace velmora
