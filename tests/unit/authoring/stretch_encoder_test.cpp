// Stretches encoded in memory are the bytes the stream writes to a file for
// them: for the independent codec vectors, and for a stretch whose output
// passes through the encoder's output staging several times.
#include "authoring/stretch_encoder.h"

#include <gtest/gtest.h>

#include "unit/datafile/codec_test_support.h"
#include "unit/support/media_fixtures.h"

namespace velmora::test {
namespace {

TEST(StretchEncoder, GivesWhatTheStreamWritesToAFile) {
  std::vector<Bytes> inputs;
  for (const std::filesystem::path& path : TestDataEntries("codec"))
    if (path.extension() == ".in") inputs.push_back(ReadHostFile(path));
  ASSERT_FALSE(inputs.empty()) << "no fixtures at " << TestDataPath("codec");
  Bytes large;
  for (int i = 0; i < 30000; ++i) {
    const std::string line =
        "row " + std::to_string(i * 7919 % 10007) + (i % 3 == 0 ? "\r\n" : "    ");
    large.insert(large.end(), line.begin(), line.end());
  }
  inputs.push_back(large);
  inputs.emplace_back();

  StretchEncoder encoder;  // one encoder for all: no state carries over
  for (std::size_t i = 0; i < inputs.size(); ++i)
    EXPECT_EQ(encoder.Encode(inputs[i]), Encode(inputs[i])) << i;
}

}  // namespace
}  // namespace velmora::test
