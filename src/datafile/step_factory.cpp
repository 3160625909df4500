#include "datafile/step_factory.h"

#include <cstring>

#include "datafile/compressed_file.h"
#include "framework/file_exception.h"
#include "steps/step.h"

namespace velmora {
namespace {

bool ReadUInt32(CCompressedFile& data, std::uint32_t& value, std::uint32_t& got) {
  std::uint8_t bytes[4] = {};
  got = data.ReadBytes(bytes, 4);
  value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
          static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return got == 4;
}

// The class name of the next record; false for a bad length or a missing
// terminator.  A media file that ends right before the record is followed
// by the next one.
bool ReadClassName(CCompressedFile& data, char (&name)[kMaxClassNameLength]) {
  std::uint32_t length = 0;
  std::uint32_t got = 0;
  if (!ReadUInt32(data, length, got)) {
    if (got != 0) return false;
    MediaSource* media = CurrentMediaSource();
    if (media == nullptr || !media->OpenNextMediaFile()) return false;
    if (!ReadUInt32(data, length, got)) return false;
  }
  if (length < kMinClassNameLength || length > kMaxClassNameLength) return false;
  if (data.ReadBytes(name, length) != length) return false;
  return name[length - 1] == '\0';
}

}  // namespace

CStep* CreateStep(CCompressedFile* dataFile) {
  if (dataFile == nullptr) return nullptr;
  char name[kMaxClassNameLength] = {};
  try {
    if (!ReadClassName(*dataFile, name)) return nullptr;
  } catch (const CFileException& error) {
    // A failure without a cause is treated like any other failed read.
    if (error.m_cause != static_cast<int>(FileCause::none)) dataFile->ReportFileError(&error);
    return nullptr;
  }
  CStep* step = FindStepClass(name);
  if (step == nullptr) return nullptr;
  if (!step->ReadRecord(dataFile)) {
    delete step;
    return nullptr;
  }
  return step;
}

}  // namespace velmora
