// Helpers for the CCompressedFile tests: encode/decode through the stream on a
// simulated machine, a reference encoder written as literally as possible from
// the description of the encoder (slow, modulo arithmetic everywhere, no
// shortcuts), a generator of encoder-stressing inputs, and a record parser.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "datafile/compressed_file.h"

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::initializer_list<int> values) {
  Bytes bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}
inline Bytes Repeat(const Bytes& unit, int times) {
  Bytes bytes;
  for (int i = 0; i < times; ++i) bytes.insert(bytes.end(), unit.begin(), unit.end());
  return bytes;
}
inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
std::string Hex(const Bytes& bytes);

// Slices for Encode: the lengths of the successive Write calls.  Empty means
// one Write of everything.
using Slicing = std::vector<std::uint32_t>;
Slicing OneBytePerWrite(std::size_t size);
Slicing RandomSlicing(std::size_t size, std::mt19937& rng);

// Encodes through CCompressedFile (compression on, the Writes, compression
// off) on a simulated machine of the helpers' own; answers the file's bytes.
Bytes Encode(const Bytes& input, const Slicing& slices = {}, std::uint32_t outputBuffer = 0);
// Decodes a whole file with compression on, reading in chunks of chunkSize
// until a short read; answers the bytes delivered.
Bytes Decode(const Bytes& stream, std::uint32_t chunkSize = 4096);

// ---- reference encoder -------------------------------------------------------
class ReferenceEncoder {
 public:
  void Write(const Bytes& bytes) {
    for (std::uint8_t c : bytes) Take(c);
  }
  Bytes Finish() {
    Flush();
    return out_;
  }

 private:
  static int Mod(int i) {
    i %= 129;
    return i < 0 ? i + 129 : i;
  }
  int Pending() const { return Mod(head_ - tail_); }
  std::uint8_t At(int i) const { return ring_[Mod(i)]; }
  void Push(std::uint8_t c) {
    ring_[head_] = c;
    head_ = Mod(head_ + 1);
  }
  void Take(std::uint8_t c);
  void Flush();
  void EmitLiteral(int count);
  void EmitRepeat(int count);
  void EmitPattern();
  int VariableBytes() const { return (patLength_ - patFixedCount_) * patRepeats_; }
  void Rebuild();

  std::uint8_t ring_[129] = {};
  int head_ = 0, tail_ = 0;
  int patLength_ = 0, patPos_ = 0, patRepeats_ = 0, patFixedCount_ = 0;
  std::uint8_t patBytes_[8] = {};
  bool patFixed_[5] = {};
  Bytes out_;
};

inline Bytes ReferenceEncode(const Bytes& input) {
  ReferenceEncoder encoder;
  encoder.Write(input);
  return encoder.Finish();
}

// ---- generated inputs ----------------------------------------------------------
// A mix of runs (up to 600 bytes), 2..5-byte patterns with random fixed and
// varying positions and up to 600 repetitions, random bytes, bytes from a
// small alphabet and copies of earlier stretches.
Bytes GenerateInput(std::mt19937& rng, std::size_t length);

// ---- record parser --------------------------------------------------------------
struct Record {
  int kind;       // 0 literal, 1 repeat, 2..5 pattern length
  int count;      // literal bytes, repeat bytes or pattern repetitions
  int fixedMask;  // pattern only
};
// Splits a complete encoder output into records; throws on a malformed stream.
std::vector<Record> ParseRecords(const Bytes& stream);

}  // namespace velmora::test
