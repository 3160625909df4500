// The stream code against vectors made by an independent implementation
// (tests/data/codec and tests/data/decode), through CCompressedFile.
#include <gtest/gtest.h>

#include "unit/datafile/codec_test_support.h"
#include "unit/support/media_fixtures.h"

namespace velmora::test {
namespace {

// The stems of a folder's files that end in `suffix`.
std::vector<std::string> Stems(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> stems;
  for (const std::filesystem::path& path : TestDataEntries(folder))
    if (path.extension() == suffix) stems.push_back(path.stem().string());
  return stems;
}

// Every pair of the manifest is there, and encoding NNN.in gives NNN.enc
// byte for byte; decoding NNN.enc gives NNN.in back.
TEST(CodecFixtures, EncodeGivesTheVectorAndDecodeGivesTheInput) {
  const std::vector<std::string> stems = Stems("codec", ".in");
  if (stems.empty()) GTEST_SKIP() << "no fixtures at " << TestDataPath("codec");
  EXPECT_EQ(stems.size(),
            ReadJsonFile(TestDataPath("codec/manifest.json"))["vectors"].items.size());
  for (const std::string& stem : stems) {
    const Bytes input = ReadHostFile(TestDataPath("codec/" + stem + ".in"));
    const Bytes encoded = ReadHostFile(TestDataPath("codec/" + stem + ".enc"));
    EXPECT_TRUE(Encode(input) == encoded) << stem;
    EXPECT_TRUE(Decode(encoded) == input) << stem;
  }
}

// Streams the encoder never writes still decode as the vectors say.
TEST(CodecFixtures, DecodeVectorsGiveTheirOutput) {
  const std::vector<std::string> stems = Stems("decode", ".enc");
  if (stems.empty()) GTEST_SKIP() << "no fixtures at " << TestDataPath("decode");
  EXPECT_EQ(stems.size(),
            ReadJsonFile(TestDataPath("decode/manifest.json"))["vectors"].items.size());
  for (const std::string& stem : stems) {
    const Bytes output = ReadHostFile(TestDataPath("decode/" + stem + ".out"));
    EXPECT_EQ(Hex(Decode(ReadHostFile(TestDataPath("decode/" + stem + ".enc")))), Hex(output))
        << stem;
  }
}

}  // namespace
}  // namespace velmora::test
