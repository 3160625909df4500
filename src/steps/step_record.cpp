// CStep::ReadRecord: the tagged record reader shared by every step kind.
#include "steps/step_record.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "framework/file_exception.h"
#include "steps/step.h"
#include "steps/step_tags.h"

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
    const std::uint32_t piece =
        std::min<std::uint32_t>(kReadPiece, length - static_cast<std::uint32_t>(bytes.size()));
    const std::size_t at = bytes.size();
    bytes.resize(at + piece);
    if (data.ReadBytes(bytes.data() + at, piece) != piece) return false;
  }
  if (bytes.back() != '\0') return false;
  bytes.resize(bytes.find('\0'));
  value = std::move(bytes);
  return true;
}

// The property of a tag; null for kEndTag and for a tag that is not one.
const StepProperty* FindTag(const char (&tag)[5]) {
  for (const StepProperty& property : StepProperties())
    if (std::memcmp(property.tag, tag, 5) == 0) return &property;
  return nullptr;
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
    if (std::memcmp(tag, kEndTag, 5) == 0) return true;
    const StepProperty* property = FindTag(tag);
    if (property == nullptr) return false;
    // The setter is called whether or not the kind keeps the property: a
    // kind that does not discards the value.
    if (property->type == PropertyType::text) {
      std::string value;
      if (!ReadStringValue(data, value)) return false;
      (step.*property->setText)(value);
    } else {
      std::uint32_t value = 0;
      if (!ReadUInt32(data, value)) return false;
      (step.*property->setFlag)(value != 0);
    }
  }
}

}  // namespace

bool CStep::ReadRecord(CCompressedFile* data) {
  if (data == nullptr) return false;
  try {
    return ReadTaggedBody(*this, *data);
  } catch (const CFileException& error) {
    if (error.Cause() == FileCause::none) return true;
    data->ReportFileError(&error);
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace velmora
