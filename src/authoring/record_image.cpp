#include "authoring/record_image.h"

#include "authoring/package_error.h"
#include "authoring/step_properties.h"
#include "framework/little_endian.h"
#include "steps/step.h"
#include "steps/step_file.h"
#include "steps/step_record.h"

namespace velmora {
namespace {

void PutText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void PutTag(Bytes& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
  out.push_back(0);
}

}  // namespace

void CheckRecordText(const std::string& text, const std::string& what) {
  if (text.find('\0') != std::string::npos)
    throw PackageError(what + " holds a zero byte, which would end the value there");
  if (text.size() >= kMaxRecordStringLength)
    throw PackageError(what + " is " + std::to_string(text.size()) +
                       " bytes long; the most a value may have is " +
                       std::to_string(kMaxRecordStringLength - 1));
}

Bytes HeaderBytes(const DataFileHeader& header) {
  CheckRecordText(header.title, "the title");
  Bytes out;
  AppendHeader(out, header);
  return out;
}

Bytes RecordImage::PlainFields(std::uint32_t disk, std::uint32_t offset) const {
  Bytes out;
  AppendU32(out, dataSize);
  if (dataSize != 0) {
    AppendU32(out, disk);
    AppendU32(out, offset);
  }
  return out;
}

RecordImage MakeRecordImage(const CStep& step, std::uint32_t dataSize) {
  RecordImage image;
  AppendClassName(image.framing, step.GetRuntimeClass()->m_lpszClassName);

  const auto* file = dynamic_cast<const CStepFile*>(&step);
  image.dataSize = file != nullptr ? dataSize : 0;

  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    PutTag(image.body, property.tag);
    if (property.type == PropertyType::text) {
      const std::string value = GetText(step, property);
      CheckRecordText(value, std::string("the ") + property.key);
      AppendU32(image.body, static_cast<std::uint32_t>(value.size() + 1));
      PutText(image.body, value);
    } else {
      AppendU32(image.body, GetFlag(step, property) ? 1 : 0);
    }
  }
  PutTag(image.body, kEndTag);

  if (file != nullptr) {
    AppendU32(image.body, image.dataSize);
    AppendU32(image.body, static_cast<std::uint32_t>(file->GetCreationTime()));
    AppendU32(image.body, static_cast<std::uint32_t>(file->GetModificationTime()));
  }
  return image;
}

Bytes ChunkBytes(std::uint32_t sequence, const std::uint8_t* data, std::uint32_t length) {
  Bytes out;
  out.reserve(kChunkHeaderSize + length);
  AppendChunkHead(out, sequence, length);
  out.insert(out.end(), data, data + length);
  return out;
}

}  // namespace velmora
