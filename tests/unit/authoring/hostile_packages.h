// Damaged media files made by hand, shared by the hostile-input tests of
// the package reader and of the installation run.
#pragma once

#include <string>
#include <vector>

#include "authoring/record_image.h"
#include "datafile/compressed_file.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {

struct Stretch {
  bool compressed;
  Bytes bytes;
  std::uint32_t at = 0;  // not 0: written at this offset
};

// A media file at `path` on the current machine: an empty banner, then the
// stretches.
inline void WriteRaw(const std::string& path, const std::vector<Stretch>& stretches) {
  CCompressedFile file;
  ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
  const std::uint8_t zero = 0;
  file.Write(&zero, 1);
  for (const Stretch& stretch : stretches) {
    if (stretch.at != 0) file.Seek(static_cast<std::int32_t>(stretch.at), CFile::begin);
    file.SetCompressed(stretch.compressed);
    file.Write(stretch.bytes.data(), static_cast<std::uint32_t>(stretch.bytes.size()));
    file.SetCompressed(false);
  }
  file.Close();
}

// A length field that claims far more than the file holds.
struct HugeLengthCase {
  const char* what;
  std::vector<Stretch> stretches;
  bool recordsRead;     // the header and records read; the payload fails
  const char* message;  // in the reader's failure
};

inline std::vector<HugeLengthCase> HugeLengthCases() {
  DataFileHeader header;
  header.title = "Huge";
  header.stepCount = 1;
  Bytes hugeTitle = HeaderBytes(header);
  hugeTitle[4] = hugeTitle[5] = hugeTitle[6] = hugeTitle[7] = 0xFF;  // title length

  const RecordImage pmg = MakeRecordImage(*GroupStep("G").step, 0);
  Bytes hugeName = pmg.body;
  hugeName[5] = hugeName[6] = hugeName[7] = hugeName[8] = 0xFF;  // length of NAME

  // A payload that claims 2 GiB, and a chunk of 16 MiB that are not there
  // or of more than the payload's size.
  const RecordImage big = MakeRecordImage(*FileStep({.name = "BIG"}).step, 0x7FFFFFF0);
  const std::uint32_t payloadAt = 1 + 1000;
  Bytes missingChunk = ChunkBytes(1, nullptr, 0);
  missingChunk[4] = missingChunk[5] = missingChunk[6] = 0xFF;
  Bytes longChunk = missingChunk;
  longChunk[7] = 0xFF;
  const auto bigPackage = [&](const Bytes& chunk) {
    return std::vector<Stretch>{{true, HeaderBytes(header)},
                                {true, big.framing},
                                {false, big.PlainFields(1, payloadAt)},
                                {true, big.body},
                                {true, chunk, payloadAt}};
  };
  return {
      {"title length", {{true, hugeTitle}}, false, "title length"},
      {"string length",
       {{true, HeaderBytes(header)},
        {true, pmg.framing},
        {false, pmg.PlainFields(0, 0)},
        {true, hugeName}},
       false,
       "step 1 of 1"},
      {"chunk not there", bigPackage(missingChunk), true, "cut short"},
      {"chunk past the payload", bigPackage(longChunk), true, "runs past"},
  };
}

}  // namespace velmora::test
