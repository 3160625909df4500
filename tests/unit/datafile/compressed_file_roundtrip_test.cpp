// Generated inputs: the stream's encoder agrees with the reference encoder
// byte for byte, the decoder returns the input exactly, and the bytes do not
// depend on how the input is sliced into Writes or on output buffering.
#include <gtest/gtest.h>

#include <map>

#include "unit/datafile/codec_test_support.h"

namespace velmora::test {
namespace {

constexpr int kInputs = 10000;

std::size_t PickLength(std::mt19937& rng) {
  // Mostly short (fast), one in sixteen long enough to wrap the ring many
  // times and reach the 256-repetition limit.
  return rng() % 16 == 0 ? 600 + rng() % 2000 : rng() % 160;
}

TEST(CompressedFileRoundTrip, GeneratedInputsMatchTheReferenceAndDecodeExactly) {
  std::mt19937 rng(20240601);
  std::map<std::string, int> seen;  // which records the corpus produced
  for (int i = 0; i < kInputs; ++i) {
    const Bytes input = GenerateInput(rng, PickLength(rng));
    const Bytes encoded = Encode(input);
    const Bytes reference = ReferenceEncode(input);
    // (Hex only on failure: the messages are built lazily.)
    ASSERT_TRUE(encoded == reference)
        << "input " << i << ": " << Hex(input) << "\n  stream:    " << Hex(encoded)
        << "\n  reference: " << Hex(reference);
    ASSERT_TRUE(Decode(encoded) == input) << "input " << i << ": " << Hex(input);
    for (const Record& r : ParseRecords(encoded)) {
      if (r.kind == 0) {
        ++seen[r.count == 128 ? "literal 128" : "literal"];
      } else if (r.kind == 1) {
        ASSERT_GE(r.count, 3) << "the encoder never writes a repeat run of 2";
        ++seen[r.count == 128 ? "repeat 128" : "repeat"];
      } else {
        ASSERT_GE(r.count, 2) << "the encoder never writes one repetition";
        ++seen["pattern " + std::to_string(r.kind)];
        if (r.count == 256) ++seen["pattern 256"];
        if (r.fixedMask != (1 << r.kind) - 1) ++seen["pattern with varying positions"];
      }
    }
  }
  // The corpus exercised every kind of record and both limits.
  for (const char* kind :
       {"literal", "literal 128", "repeat", "repeat 128", "pattern 2", "pattern 3", "pattern 4",
        "pattern 5", "pattern 256", "pattern with varying positions"}) {
    EXPECT_GT(seen[kind], 0) << kind;
  }
}

TEST(CompressedFileRoundTrip, SlicingDoesNotChangeTheBytes) {
  std::mt19937 rng(77);
  for (int i = 0; i < 600; ++i) {
    const Bytes input = GenerateInput(rng, PickLength(rng));
    const Bytes whole = Encode(input);
    ASSERT_EQ(Encode(input, RandomSlicing(input.size(), rng)), whole) << "input " << i;
    if (i % 4 == 0) {
      ASSERT_EQ(Encode(input, OneBytePerWrite(input.size())), whole) << "input " << i;
    }
  }
}

TEST(CompressedFileRoundTrip, OutputBufferingDoesNotChangeTheBytes) {
  std::mt19937 rng(99);
  for (int i = 0; i < 200; ++i) {
    const Bytes input = GenerateInput(rng, 4000);
    const Bytes unbuffered = Encode(input);
    ASSERT_EQ(Encode(input, {}, 1), unbuffered);
    ASSERT_EQ(Encode(input, {}, 300), unbuffered);
    ASSERT_EQ(Encode(input, RandomSlicing(input.size(), rng), 65536), unbuffered);
  }
}

TEST(CompressedFileRoundTrip, DecodingInAnyChunkSizeGivesTheSameBytes) {
  std::mt19937 rng(5);
  for (int i = 0; i < 60; ++i) {
    const Bytes input = GenerateInput(rng, 3000);
    const Bytes encoded = Encode(input);
    for (std::uint32_t chunk : {1u, 2u, 3u, 5u, 127u, 4096u}) {
      ASSERT_EQ(Decode(encoded, chunk), input) << "chunk " << chunk;
    }
  }
}

TEST(CompressedFileRoundTrip, RandomBytesLongerThanTheReadAheadBuffer) {
  // Crosses many 16 KB refills, both inside literal runs and between records.
  std::mt19937 rng(1);
  Bytes input;
  for (int i = 0; i < 200000; ++i) input.push_back(static_cast<std::uint8_t>(rng()));
  const Bytes encoded = Encode(input);
  // Random bytes barely compress: one control byte per 128 (a chance run or
  // pattern can only save bytes).
  EXPECT_LE(encoded.size(), input.size() + (input.size() + 127) / 128);
  EXPECT_EQ(Decode(encoded, 1000), input);
  EXPECT_EQ(Decode(encoded, 1 << 20), input);
}

TEST(CompressedFileRoundTrip, LongMixedInputDecodesAcrossRefills) {
  std::mt19937 rng(3);
  const Bytes input = GenerateInput(rng, 300000);
  const Bytes encoded = Encode(input);
  ASSERT_GT(encoded.size(), 2 * CCompressedFile::kReadAheadSize);
  EXPECT_EQ(Hex(encoded), Hex(ReferenceEncode(input)));
  EXPECT_EQ(Decode(encoded, 333), input);
}

TEST(CompressedFileRoundTrip, PatternsOfEveryShapeAtTheRepetitionLimit) {
  // Every length and fixed mask, written 255..257 and 600 times, after a
  // varying number of leading literals (so the pattern starts at every
  // ring position).
  std::mt19937 rng(11);
  for (int length = 2; length <= 5; ++length) {
    for (int mask = 1; mask < (1 << length); ++mask) {
      for (int reps : {255, 256, 257, 600}) {
        Bytes input;
        const int lead = static_cast<int>(rng() % 130);
        for (int i = 0; i < lead; ++i) input.push_back(static_cast<std::uint8_t>(i * 7 + 100));
        for (int r = 0; r < reps; ++r) {
          for (int p = 0; p < length; ++p) {
            input.push_back(((mask >> p) & 1) != 0 ? static_cast<std::uint8_t>(0xA0 + p)
                                                   : static_cast<std::uint8_t>(rng() % 40));
          }
        }
        const Bytes encoded = Encode(input);
        ASSERT_EQ(Hex(encoded), Hex(ReferenceEncode(input)))
            << length << "/" << mask << "/" << reps;
        ASSERT_EQ(Decode(encoded), input) << length << "/" << mask << "/" << reps;
      }
    }
  }
}

}  // namespace
}  // namespace velmora::test
