#include "authoring/record_image.h"

#include <cstring>

#include "authoring/package_error.h"
#include "authoring/step_properties.h"
#include "steps/step.h"
#include "steps/step_file.h"
#include "steps/step_record.h"

namespace velmora {
namespace {

void PutUInt32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

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

Bytes HeaderBytes(const PackageHeader& header) {
  CheckRecordText(header.title, "the title");
  Bytes out;
  PutUInt32(out, header.version);
  PutUInt32(out, static_cast<std::uint32_t>(header.title.size()));
  PutText(out, header.title);
  PutUInt32(out, 0);  // reserved
  out.push_back(header.checkDates ? 1 : 0);
  out.push_back(header.checkVersions ? 1 : 0);
  out.push_back(header.twoParts ? 1 : 0);
  PutUInt32(out, header.stepCount);
  return out;
}

Bytes RecordImage::PlainFields(std::uint32_t disk, std::uint32_t offset) const {
  Bytes out;
  PutUInt32(out, dataSize);
  if (dataSize != 0) {
    PutUInt32(out, disk);
    PutUInt32(out, offset);
  }
  return out;
}

RecordImage MakeRecordImage(const CStep& step, std::uint32_t dataSize) {
  RecordImage image;
  const char* className = step.GetRuntimeClass()->m_lpszClassName;
  const auto nameLength = static_cast<std::uint32_t>(std::strlen(className) + 1);
  PutUInt32(image.framing, nameLength);
  PutText(image.framing, className);

  const auto* file = dynamic_cast<const CStepFile*>(&step);
  image.dataSize = file != nullptr ? dataSize : 0;

  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    PutTag(image.body, property.tag);
    if (property.type == PropertyType::text) {
      const std::string value = GetText(step, property);
      CheckRecordText(value, std::string("the ") + property.key);
      PutUInt32(image.body, static_cast<std::uint32_t>(value.size() + 1));
      PutText(image.body, value);
    } else {
      PutUInt32(image.body, GetFlag(step, property) ? 1 : 0);
    }
  }
  PutTag(image.body, kEndTag);

  if (file != nullptr) {
    PutUInt32(image.body, image.dataSize);
    PutUInt32(image.body, static_cast<std::uint32_t>(file->GetCreationTime()));
    PutUInt32(image.body, static_cast<std::uint32_t>(file->GetModificationTime()));
  }
  return image;
}

Bytes ChunkBytes(std::uint32_t sequence, const std::uint8_t* data, std::uint32_t length) {
  Bytes out;
  out.reserve(kChunkHeaderSize + length);
  PutUInt32(out, sequence);
  PutUInt32(out, length);
  out.insert(out.end(), data, data + length);
  return out;
}

}  // namespace velmora
