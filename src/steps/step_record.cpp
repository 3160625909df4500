// CStep::ReadRecord: the tagged record reader shared by every step kind.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "framework/file_exception.h"
#include "steps/step.h"
#include "steps/step_record.h"

namespace velmora {
namespace {

// Values are read in pieces of this size, so a hostile length costs memory
// only for bytes the stream actually delivers.
constexpr std::uint32_t kReadPiece = 4096;

// A string value: length, then that many bytes ending in a zero byte.  The
// value is the text up to the first zero byte.
bool ReadStringValue(CCompressedFile& data, std::string& value) {
  std::uint32_t length = 0;
  if (!ReadUInt32(data, length)) return false;
  if (length == 0 || length > kMaxRecordStringLength) return false;
  std::string bytes;
  while (bytes.size() < length) {
    const std::uint32_t piece = std::min<std::uint32_t>(kReadPiece, length - static_cast<std::uint32_t>(bytes.size()));
    const std::size_t at = bytes.size();
    bytes.resize(at + piece);
    if (data.ReadBytes(bytes.data() + at, piece) != piece) return false;
  }
  if (bytes.back() != '\0') return false;
  bytes.resize(bytes.find('\0'));
  value = std::move(bytes);
  return true;
}

bool ApplyStringTag(CStep& step, int index, const std::string& value) {
  switch (index) {
    case 0: return step.SetName(value);
    case 1: return step.SetDirectory(value);
    case 2: return step.SetQuestion(value);
    case 3: return step.SetDefault(value);
    case 4: return step.SetIconName(value);
    case 5: return step.SetIniFile(value);
    case 6: return step.SetIniSection(value);
    case 7: return step.SetIniEntry(value);
    case 8: return step.SetRegEntry(value);
    default: return false;
  }
}

bool ApplyFlagTag(CStep& step, int index, bool value) {
  switch (index) {
    case 9: return step.SetIcon(value);
    case 10: return step.SetReadOnly(value);
    case 11: return step.SetHidden(value);
    case 12: return step.SetRegister(value);
    case 13: return step.SetShared(value);
    case 14: return step.SetUseRecommended(value);
    default: return false;
  }
}

int FindTag(const char (&tag)[5]) {
  for (std::size_t i = 0; i < kStepTags.size(); ++i)
    if (std::memcmp(kStepTags[i].name, tag, 5) == 0) return static_cast<int>(i);
  return -1;
}

// The leading plain fields, then the tags up to "ENDS".  File errors are
// left to the caller.  Whatever was read before a failure stays set.
bool ReadTaggedBody(CStep& step, CCompressedFile& data) {
  const bool compressed = data.IsCompressed();
  data.SetCompressed(false);
  std::uint32_t size = 0;
  if (!ReadUInt32(data, size)) return false;
  step.SetDataSize(size);
  if (size != 0) {
    std::uint32_t disk = 0;
    std::uint32_t offset = 0;
    if (!ReadUInt32(data, disk)) return false;
    step.SetDiskAndOffset(disk, step.GetDataOffset());
    if (!ReadUInt32(data, offset)) return false;
    step.SetDiskAndOffset(disk, offset);
  } else {
    step.SetDiskAndOffset(0, 0);
  }
  data.SetCompressed(compressed);

  for (;;) {
    char tag[5];
    if (data.ReadBytes(tag, 5) != 5) return false;
    if (tag[4] != '\0') return false;
    const int index = FindTag(tag);
    if (index < 0) return false;
    switch (kStepTags[static_cast<std::size_t>(index)].kind) {
      case StepTagKind::end:
        return true;
      case StepTagKind::string: {
        std::string value;
        if (!ReadStringValue(data, value)) return false;
        ApplyStringTag(step, index, value);
        break;
      }
      case StepTagKind::flag: {
        std::uint32_t value = 0;
        if (!ReadUInt32(data, value)) return false;
        ApplyFlagTag(step, index, value != 0);
        break;
      }
    }
  }
}

}  // namespace

bool CStep::ReadRecord(CCompressedFile* data) {
  if (data == nullptr) return false;
  try {
    return ReadTaggedBody(*this, *data);
  } catch (const CFileException& error) {
    if (error.m_cause == static_cast<int>(FileCause::none)) return true;
    data->ReportFileError(&error);
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace velmora
