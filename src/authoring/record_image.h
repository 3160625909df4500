// The bytes of a package header, a step record and a payload chunk, as the
// compressed stream delivers them to the readers.  The package writer lays
// them out in media files; the tests compare them with what the runtime's
// readers make of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/package_layout.h"

namespace velmora {

class CStep;

using Bytes = LayoutBytes;

Bytes HeaderBytes(const DataFileHeader& header);

// One step record in its three stretches: the class name framing and the
// body are compressed; between them the leading fields are plain bytes
// (data size, and when it is not 0, the payload's disk and offset).
struct RecordImage {
  Bytes framing;
  std::uint32_t dataSize = 0;
  Bytes body;  // tags, "ENDS", and for file steps the trailing fields

  std::uint32_t PlainSize() const { return dataSize != 0 ? 12 : 4; }
  Bytes PlainFields(std::uint32_t disk, std::uint32_t offset) const;
};

// The record of `step` with a payload of `dataSize` bytes: one tag for every
// property the step keeps, in tag order.  Throws PackageError for a value a
// record cannot carry (a zero byte in a text, a text too long).
RecordImage MakeRecordImage(const CStep& step, std::uint32_t dataSize);

// Chunk `sequence` of a payload: sequence number, length, data.
Bytes ChunkBytes(std::uint32_t sequence, const std::uint8_t* data, std::uint32_t length);

// Throws PackageError unless `text` can be a zero-terminated value of at
// most kMaxRecordStringLength bytes; `what` names it in the message.
void CheckRecordText(const std::string& text, const std::string& what);

}  // namespace velmora
