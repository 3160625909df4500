// Byte-exact vectors of the stream format: every documented example and edge
// case, each checked against the stream's encoder, the reference encoder and
// the decoder; then records the encoder never writes but the decoder accepts.
#include <gtest/gtest.h>

#include "unit/datafile/codec_test_support.h"
#include "unit/support/sim_machine_fixture.h"

namespace velmora::test {
namespace {

struct Vector {
  const char* name;
  Bytes input;
  Bytes encoded;
};

Bytes Distinct(int count) {
  // (7 i) mod 256 is a permutation: no byte repeats, so no runs or patterns.
  Bytes bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
  return bytes;
}

std::vector<Vector> WorkedVectors() {
  const Bytes distinct = Distinct(200);
  return {
      {"TenEqualBytes", Bytes(10, 0x61), B({0x09, 0x61})},
      {"ThreeLiterals", B({0x61, 0x62, 0x63}), B({0xFD, 0x61, 0x62, 0x63})},
      {"TwelveBytePattern",
       B({0x78, 0x41, 0x78, 0x42, 0x78, 0x43, 0x78, 0x44, 0x78, 0x45, 0x78, 0x46}),
       B({0x00, 0x41, 0x05, 0x78, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46})},
      {"AbcFourTimes", Repeat(B({0x61, 0x62, 0x63}), 4), B({0x00, 0x67, 0x03, 0x61, 0x62, 0x63})},
      {"ThreeHundredEqualBytes", Bytes(300, 0x61), B({0x7F, 0x61, 0x7F, 0x61, 0x2B, 0x61})},
      {"HundredTwentyNineEqualBytes", Bytes(129, 0x61), B({0x7F, 0x61, 0xFF, 0x61})},
      {"TwoEqualBytes", B({0x61, 0x61}), B({0xFE, 0x61, 0x61})},
      {"RunOfThreeBetweenLiterals", B({0x78, 0x61, 0x61, 0x61, 0x79}),
       B({0xFF, 0x78, 0x02, 0x61, 0xFF, 0x79})},
      {"FourBytesTwice", Repeat(B({0x01, 0x02, 0x03, 0x04}), 2),
       B({0x00, 0x8F, 0x01, 0x01, 0x02, 0x03, 0x04})},
      {"AbThreeHundredTimes", Repeat(B({0x61, 0x62}), 300),
       B({0x00, 0x43, 0xFF, 0x61, 0x62, 0x00, 0x43, 0x2B, 0x61, 0x62})},
      {"TwoHundredPatternlessBytes", distinct,
       Concat(Concat(B({0x80}), Bytes(distinct.begin(), distinct.begin() + 128)),
              Concat(B({0xB8}), Bytes(distinct.begin() + 128, distinct.end())))},
      {"Nothing", {}, {}},
  };
}

class WorkedVectorTest : public ::testing::TestWithParam<Vector> {};

TEST_P(WorkedVectorTest, EncoderWritesExactlyTheseBytes) {
  const Vector& v = GetParam();
  EXPECT_EQ(Hex(Encode(v.input)), Hex(v.encoded));
}

TEST_P(WorkedVectorTest, ByteAtATimeWritesTheSameBytes) {
  const Vector& v = GetParam();
  EXPECT_EQ(Hex(Encode(v.input, OneBytePerWrite(v.input.size()))), Hex(v.encoded));
}

TEST_P(WorkedVectorTest, ReferenceEncoderAgrees) {
  const Vector& v = GetParam();
  EXPECT_EQ(Hex(ReferenceEncode(v.input)), Hex(v.encoded));
}

TEST_P(WorkedVectorTest, DecoderDeliversTheInput) {
  const Vector& v = GetParam();
  EXPECT_EQ(Decode(v.encoded), v.input);
  EXPECT_EQ(Decode(v.encoded, 1), v.input);
}

INSTANTIATE_TEST_SUITE_P(Worked, WorkedVectorTest, ::testing::ValuesIn(WorkedVectors()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- more encoder vectors, worked out by hand from the algorithm --------------

TEST(CompressedFileEncoder, VaryingPositionReachesBackToTheTail) {
  // x, then abc three times.  At the ninth byte the search for j = 3 sees
  // "c a b" twice, not at the tail, then "x a b": position 0 becomes varying
  // and k = 3 with 2 fixed positions is accepted, x as a variable byte.  The
  // last c is an incomplete repetition, flushed as a literal.
  const Bytes input = Concat(B({0x78}), Repeat(B({0x61, 0x62, 0x63}), 3));
  EXPECT_EQ(Hex(Encode(input)),
            Hex(B({0x00, 0x66, 0x02, 0x61, 0x62, 0x78, 0x63, 0x63, 0xFF, 0x63})));
}

TEST(CompressedFileEncoder, LiteralsBeforeAnAcceptedPatternGoOutFirst) {
  // x y, then abc three times: the occurrence accepted at k = 3 starts at y,
  // so the literal x goes out before the pattern run.
  const Bytes input = Concat(B({0x78, 0x79}), Repeat(B({0x61, 0x62, 0x63}), 3));
  EXPECT_EQ(Hex(Encode(input)),
            Hex(B({0xFF, 0x78, 0x00, 0x66, 0x02, 0x61, 0x62, 0x79, 0x63, 0x63, 0xFF, 0x63})));
}

TEST(CompressedFileEncoder, PatternEndsOnAFixedMismatchMidRepetition) {
  // 01 02 03 04 twice, then 01 02 09: the pattern ends at position 2; the
  // partial repetition 01 02 is rebuilt and goes out with 09 as literals.
  const Bytes input = Concat(Repeat(B({1, 2, 3, 4}), 2), B({1, 2, 9}));
  EXPECT_EQ(Hex(Encode(input)), Hex(B({0x00, 0x8F, 0x01, 1, 2, 3, 4, 0xFD, 1, 2, 9})));
}

TEST(CompressedFileEncoder, FlushRebuildsAnIncompleteRepetition) {
  // x A x B x C x D x: the pattern (x fixed) has 4 repetitions and one
  // incomplete one ("x") when flushed.
  const Bytes input = B({0x78, 0x41, 0x78, 0x42, 0x78, 0x43, 0x78, 0x44, 0x78});
  EXPECT_EQ(Hex(Encode(input)),
            Hex(B({0x00, 0x41, 0x03, 0x78, 0x41, 0x42, 0x43, 0x44, 0xFF, 0x78})));
}

TEST(CompressedFileEncoder, RebuildReadsEveryRingByteBeforeWritingAny) {
  // Pattern F4 1A F5 at positions 1..3, position 0 varying, two repetitions
  // (F5 F4 1A F5 after F4 F4 1A F5); then F4 F4 1A, an incomplete third one.
  // After the pattern run goes out, the ring holds the partial repetition's
  // variable byte F4 at position 2.  Rebuilding in place would write the
  // fixed 1A over it before position 0 reads it (FD 1A F4 1A: wrong).
  const Bytes input = B({0xF4, 0xF4, 0x1A, 0xF5, 0xF5, 0xF4, 0x1A, 0xF5, 0xF4, 0xF4, 0x1A});
  const Bytes expected =
      B({0x00, 0x8E, 0x01, 0xF4, 0x1A, 0xF5, 0xF4, 0xF5, 0xFD, 0xF4, 0xF4, 0x1A});
  EXPECT_EQ(Hex(Encode(input)), Hex(expected));
  EXPECT_EQ(Hex(ReferenceEncode(input)), Hex(expected));
  EXPECT_EQ(Decode(expected), input);
}

TEST(CompressedFileEncoder, RepeatRunEndsWithTheFirstDifferentByte) {
  EXPECT_EQ(Hex(Encode(B({0x61, 0x61, 0x61, 0x61, 0x62}))), Hex(B({0x03, 0x61, 0xFF, 0x62})));
}

TEST(CompressedFileEncoder, HundredTwentyEightLiteralsThenARun) {
  Bytes input = Distinct(128);
  input.insert(input.end(), 5, 0x00);  // byte 0 also starts the distinct bytes
  Bytes expected = Concat(B({0x80}), Distinct(128));
  expected = Concat(expected, B({0x04, 0x00}));
  EXPECT_EQ(Hex(Encode(input)), Hex(expected));
}

TEST(CompressedFileEncoder, WritingNothingAndSwitchingOffWritesNothing) {
  const testing::TempRoot root;
  SimMachine machine(root.path());
  ScopedMachine scoped(machine);
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\OUT", CFile::modeCreate | CFile::modeWrite));
  file.SetCompressed(true);
  file.Write(nullptr, 10);  // a null buffer writes nothing
  file.Write("abc", 0);
  file.SetCompressed(false);
  file.SetCompressed(true);
  file.Seek(0, CFile::current);
  file.Close();
  EXPECT_TRUE(testing::ReadHostFile(root.path() / "C" / "OUT").empty());
  EXPECT_EQ(machine.OperationCalls().count("WriteFile"), 0u);
}

// ---- decoder: records the encoder never writes --------------------------------

TEST(CompressedFileDecoder, AcceptsARepeatRunOfTwo) {
  EXPECT_EQ(Decode(B({0x01, 0x61, 0xFF, 0x62})), B({0x61, 0x61, 0x62}));
}

TEST(CompressedFileDecoder, AcceptsAPatternRunOfOneRepetition) {
  // Length 3, position 1 fixed (5A), K = 0: one repetition, two variable bytes.
  EXPECT_EQ(Decode(B({0x00, 0x62, 0x00, 0x5A, 0x01, 0x02})), B({0x01, 0x5A, 0x02}));
}

TEST(CompressedFileDecoder, AcceptsAPatternWithEveryPositionVarying) {
  EXPECT_EQ(Decode(B({0x00, 0x40, 0x01, 1, 2, 3, 4})), B({1, 2, 3, 4}));
}

TEST(CompressedFileDecoder, AcceptsTheLongestRecordsOfEachKind) {
  Bytes literal(128);
  for (int i = 0; i < 128; ++i) literal[i] = static_cast<std::uint8_t>(i);
  Bytes stream = Concat(B({0x80}), literal);
  stream = Concat(stream, B({0x7F, 0x33}));                       // 128 x 33
  stream = Concat(stream, B({0x00, 0xBF, 0xFF, 1, 2, 3, 4, 5}));  // 12345 x 256
  const Bytes expected = Concat(Concat(literal, Bytes(128, 0x33)), Repeat(B({1, 2, 3, 4, 5}), 256));
  EXPECT_EQ(Decode(stream), expected);
  EXPECT_EQ(Decode(stream, 7), expected);
}

TEST(CompressedFileDecoder, IgnoresDescriptorBitsAboveThePatternLength) {
  // Length 2 with bit 4 set: not written by the encoder; only bits 0..1 count.
  EXPECT_EQ(Decode(B({0x00, 0x51, 0x01, 0x78, 0x41, 0x42})), B({0x78, 0x41, 0x78, 0x42}));
}

// A descriptor whose length is not 2..5 is the end of the decodable data: the
// read returns what came before it, later reads deliver nothing, and a Seek
// starts afresh.
class BadDescriptorTest : public testing::SimMachineTest,
                          public ::testing::WithParamInterface<int> {};

TEST_P(BadDescriptorTest, EndsTheDecodableData) {
  const Bytes stream = B({0xFE, 0x61, 0x62, 0x00, GetParam(), 0x05, 0x11, 0x22, 0xFF, 0x63});
  SetFile("C:\\IN", stream);
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\IN", CFile::modeRead));
  file.SetCompressed(true);
  std::uint8_t buffer[32] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 2u);
  EXPECT_EQ(buffer[0], 0x61);
  EXPECT_EQ(buffer[1], 0x62);
  EXPECT_TRUE(file.HasBadRecord());
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);

  file.Seek(0, CFile::begin);
  EXPECT_FALSE(file.HasBadRecord());
  EXPECT_EQ(file.Read(buffer, 2), 2u);
  EXPECT_EQ(buffer[1], 0x62);
  file.Seek(8, CFile::begin);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 1u);
  EXPECT_EQ(buffer[0], 0x63);
}

INSTANTIATE_TEST_SUITE_P(Lengths, BadDescriptorTest,
                         ::testing::Values(0x00, 0x03, 0x20, 0x3F, 0xC0, 0xC5, 0xE0, 0xFF));

TEST(CompressedFileDecoder, BadDescriptorIsClearedBySwitchingCompressionOff) {
  const testing::TempRoot root;
  SimMachine machine(root.path());
  ScopedMachine scoped(machine);
  ASSERT_EQ(testing::PutFile(machine, "C:\\IN", std::string("\x00\xE0\x41\x42", 4)),
            FileCause::none);
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\IN", CFile::modeRead));
  file.SetCompressed(true);
  std::uint8_t buffer[8];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  EXPECT_TRUE(file.HasBadRecord());
  file.SetCompressed(false);
  EXPECT_FALSE(file.HasBadRecord());
  // The plain read continues after the bytes the decoder consumed (00 E0).
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 2u);
  EXPECT_EQ(buffer[0], 0x41);
}

}  // namespace
}  // namespace velmora::test
