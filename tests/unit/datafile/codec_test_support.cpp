#include "unit/datafile/codec_test_support.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora::test {

namespace {

// One simulated machine for every Encode and Decode of the test program,
// in a host folder removed when the program ends: a machine of their own
// for each call would cost more than the coding.
SimMachine& CodecMachine() {
  static const testing::TempRoot root("codec");
  static SimMachine machine(root.path());
  return machine;
}

}  // namespace

std::string Hex(const Bytes& bytes) {
  std::string text;
  char buffer[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02X", bytes[i]);
    if (i != 0) text += ' ';
    text += buffer;
  }
  return text;
}

Slicing OneBytePerWrite(std::size_t size) { return Slicing(size, 1); }

Slicing RandomSlicing(std::size_t size, std::mt19937& rng) {
  Slicing slices;
  std::size_t done = 0;
  while (done < size) {
    // Mostly short slices, now and then a long one, and empty Writes too.
    const unsigned pick = rng() % 10;
    std::size_t length = pick < 6 ? rng() % 8 : pick < 9 ? rng() % 200 : rng() % 2000;
    length = std::min(length, size - done);
    slices.push_back(static_cast<std::uint32_t>(length));
    done += length;
  }
  return slices;
}

Bytes Encode(const Bytes& input, const Slicing& slices, std::uint32_t outputBuffer) {
  SimMachine& machine = CodecMachine();
  ScopedMachine scoped(machine);
  {
    CCompressedFile file;
    if (!file.Open("C:\\OUT.BIN", CFile::modeCreate | CFile::modeWrite)) {
      throw std::runtime_error("cannot create C:\\OUT.BIN");
    }
    if (outputBuffer != 0) file.SetOutputBuffer(outputBuffer);
    file.SetCompressed(true);
    if (slices.empty()) {
      file.Write(input.data(), static_cast<std::uint32_t>(input.size()));
    } else {
      std::size_t at = 0;
      for (std::uint32_t length : slices) {
        file.Write(input.data() + at, length);
        at += length;
      }
      if (at != input.size()) throw std::logic_error("slicing does not cover the input");
    }
    file.SetCompressed(false);
    file.Close();
  }
  const std::string encoded = testing::GetFile(machine, "C:\\OUT.BIN");
  return Bytes(encoded.begin(), encoded.end());
}

Bytes Decode(const Bytes& stream, std::uint32_t chunkSize) {
  SimMachine& machine = CodecMachine();
  ScopedMachine scoped(machine);
  const std::string bytes(stream.begin(), stream.end());
  if (testing::PutFile(machine, "C:\\IN.BIN", bytes) != FileCause::none)
    throw std::runtime_error("cannot write C:\\IN.BIN");
  CCompressedFile file;
  if (!file.Open("C:\\IN.BIN", CFile::modeRead)) throw std::runtime_error("cannot open C:\\IN.BIN");
  file.SetCompressed(true);
  Bytes out;
  Bytes chunk(chunkSize);
  for (;;) {
    const std::uint32_t got = file.Read(chunk.data(), chunkSize);
    out.insert(out.end(), chunk.begin(), chunk.begin() + got);
    if (got < chunkSize) break;
  }
  return out;
}

// ---- reference encoder: the encoder description, read literally ---------------

void ReferenceEncoder::EmitLiteral(int count) {
  if (count == 0) return;
  out_.push_back(static_cast<std::uint8_t>(256 - count));
  for (int i = 0; i < count; ++i) out_.push_back(At(tail_ + i));
}

void ReferenceEncoder::EmitRepeat(int count) {
  if (count == 0) return;
  out_.push_back(static_cast<std::uint8_t>(count - 1));
  out_.push_back(patBytes_[0]);
}

void ReferenceEncoder::EmitPattern() {
  int descriptor = patLength_ << 5;
  for (int p = 0; p < patLength_; ++p) {
    if (patFixed_[p]) descriptor |= 1 << p;
  }
  out_.push_back(0);
  out_.push_back(static_cast<std::uint8_t>(descriptor));
  out_.push_back(static_cast<std::uint8_t>(patRepeats_ - 1));
  for (int p = 0; p < patLength_; ++p) {
    if (patFixed_[p]) out_.push_back(patBytes_[p]);
  }
  for (int i = 0; i < VariableBytes(); ++i) out_.push_back(At(tail_ + i));
}

// Rebuilding a partial repetition into ring positions 0..patPos-1: all bytes
// are read before any is written back.
void ReferenceEncoder::Rebuild() {
  std::uint8_t rebuilt[5];
  int index = head_;
  for (int p = patPos_ - 1; p >= 0; --p) {
    if (patFixed_[p]) {
      rebuilt[p] = patBytes_[p];
    } else {
      index = Mod(index - 1);
      rebuilt[p] = ring_[index];
    }
  }
  for (int p = 0; p < patPos_; ++p) ring_[p] = rebuilt[p];
}

void ReferenceEncoder::Take(std::uint8_t c) {
  int n = Pending();
  // 1. Before c is taken: finish the current record.
  if (n == 128 || patRepeats_ == 256) {
    if (patLength_ >= 2) {
      EmitPattern();
      tail_ = Mod(tail_ + VariableBytes());
      if (patPos_ > 0) {
        Rebuild();
        head_ = patPos_;
      } else {
        head_ = 0;
      }
      patLength_ = 0;
      patPos_ = 0;
      patRepeats_ = 0;
      tail_ = 0;
    } else {
      if (patLength_ == 0) {
        EmitLiteral(n);
      } else {
        EmitRepeat(n);
      }
      head_ = tail_ = 0;
      patLength_ = patPos_ = patRepeats_ = 0;
    }
    n = Pending();
  }

  // 2. Collecting literals.
  if (patLength_ == 0) {
    if (n < 2) {
      Push(c);
      return;
    }
    if (c == At(head_ - 1) && c == At(head_ - 2)) {
      EmitLiteral(n - 2);
      ring_[0] = ring_[1] = ring_[2] = c;
      head_ = 3;
      tail_ = 0;
      patBytes_[0] = c;
      patLength_ = 1;
      return;
    }
    Push(c);
    ++n;
    bool accepted = false;
    for (int j = 2; j <= 5 && !accepted && n >= 2 * j; ++j) {
      for (int p = 0; p < j; ++p) {
        patBytes_[p] = At(head_ - j + p);
        patFixed_[p] = true;
      }
      patFixedCount_ = j;
      for (int k = 2; patFixedCount_ > 0 && !accepted && n >= k * j; ++k) {
        const int start = Mod(head_ - k * j);
        for (int p = 0; p < j; ++p) {
          if (patFixed_[p] && At(start + p) != patBytes_[p]) {
            patFixed_[p] = false;
            --patFixedCount_;
          }
        }
        const bool atTail = start == tail_;
        const int f = patFixedCount_;
        if ((f == 1 && ((k >= 4 && atTail) || k >= 5)) || (f == 2 && k >= 3) ||
            (f == 3 && ((k >= 2 && atTail) || k >= 3)) || ((f == 4 || f == 5) && k >= 2)) {
          accepted = true;
          if (start != tail_) {
            EmitLiteral(Mod(start - tail_));
            tail_ = start;
          }
          patLength_ = j;
          patPos_ = 0;
          patRepeats_ = k;
          int copied = 0;
          for (int p = 0; p < k * j; ++p) {
            if (!patFixed_[p % j]) {
              ring_[Mod(tail_ + copied)] = ring_[Mod(tail_ + p)];
              ++copied;
            }
          }
          n = k * (j - patFixedCount_);
          head_ = Mod(tail_ + n);
        }
      }
    }
    return;
  }

  // 3. Inside a repeat run.
  if (patLength_ == 1) {
    if (c == patBytes_[0]) {
      Push(c);
    } else {
      EmitRepeat(n);
      ring_[0] = c;
      head_ = 1;
      tail_ = 0;
      patLength_ = 0;
    }
    return;
  }

  // 4. Inside a pattern run.
  if (patFixed_[patPos_] && c != patBytes_[patPos_]) {
    EmitPattern();
    tail_ = Mod(tail_ + VariableBytes());
    if (patPos_ > 0) {
      Rebuild();
      ring_[patPos_] = c;
      head_ = patPos_ + 1;
    } else {
      ring_[0] = c;
      head_ = 1;
    }
    patLength_ = 0;
    patPos_ = 0;
    patRepeats_ = 0;
    tail_ = 0;
    return;
  }
  if (!patFixed_[patPos_]) Push(c);
  if (++patPos_ == patLength_) {
    patPos_ = 0;
    ++patRepeats_;
  }
}

void ReferenceEncoder::Flush() {
  const int a = Pending();
  if (!(a == 0 && patRepeats_ == 0)) {
    if (patLength_ == 0) {
      EmitLiteral(a);
    } else if (patLength_ == 1) {
      EmitRepeat(a);
    } else {
      EmitPattern();
      tail_ = Mod(tail_ + VariableBytes());
      if (patPos_ > 0) {
        Rebuild();
        head_ = patPos_;
        tail_ = 0;
        patLength_ = 0;
        patPos_ = 0;
        patRepeats_ = 0;
        Flush();  // emits the rebuilt bytes as a literal run
        return;
      }
    }
  }
  head_ = tail_ = 0;
  patLength_ = patPos_ = patRepeats_ = patFixedCount_ = 0;
}

// ---- generator ----------------------------------------------------------------

Bytes GenerateInput(std::mt19937& rng, std::size_t length) {
  auto below = [&](unsigned bound) { return static_cast<unsigned>(rng() % bound); };
  // A small alphabet makes accidental repeats and patterns likely.
  const std::uint8_t alphabetBase = static_cast<std::uint8_t>(below(256));
  const unsigned alphabetSize = 2 + below(3);
  auto small = [&] { return static_cast<std::uint8_t>(alphabetBase + below(alphabetSize)); };
  auto any = [&] { return static_cast<std::uint8_t>(below(256)); };

  Bytes out;
  while (out.size() < length) {
    const std::size_t left = length - out.size();
    switch (below(6)) {
      case 0: {  // run
        const std::uint8_t v = below(2) != 0 ? small() : any();
        const unsigned n = below(4) == 0 ? 1 + below(600) : 1 + below(12);
        out.insert(out.end(), std::min<std::size_t>(n, left), v);
        break;
      }
      case 1:
      case 2: {  // pattern of 2..5 bytes, some positions varying
        const unsigned len = 2 + below(4);
        std::uint8_t base[5];
        for (auto& b : base) b = below(3) == 0 ? any() : small();
        const unsigned fixedMask = below(1u << len);
        const unsigned reps = below(5) == 0 ? 1 + below(600) : 1 + below(10);
        const bool smallVariable = below(2) != 0;
        for (unsigned r = 0; r < reps && out.size() < length; ++r) {
          for (unsigned p = 0; p < len && out.size() < length; ++p) {
            out.push_back(((fixedMask >> p) & 1) != 0 ? base[p] : smallVariable ? small() : any());
          }
        }
        break;
      }
      case 3: {  // random bytes
        const unsigned n = 1 + below(200);
        for (unsigned i = 0; i < n && out.size() < length; ++i) out.push_back(any());
        break;
      }
      case 4: {  // small alphabet
        const unsigned n = 1 + below(100);
        for (unsigned i = 0; i < n && out.size() < length; ++i) out.push_back(small());
        break;
      }
      default: {  // copy of an earlier stretch
        if (out.empty()) break;
        const std::size_t from = below(static_cast<unsigned>(out.size()));
        const std::size_t n = std::min<std::size_t>({1 + below(64), out.size() - from, left});
        for (std::size_t i = 0; i < n; ++i) out.push_back(out[from + i]);
        break;
      }
    }
  }
  return out;
}

// ---- record parser --------------------------------------------------------------

std::vector<Record> ParseRecords(const Bytes& stream) {
  std::vector<Record> records;
  std::size_t at = 0;
  auto need = [&](std::size_t n) {
    if (at + n > stream.size()) throw std::runtime_error("stream ends inside a record");
  };
  while (at < stream.size()) {
    const int control = stream[at++];
    if (control >= 0x80) {
      need(static_cast<std::size_t>(256 - control));
      records.push_back({0, 256 - control, 0});
      at += static_cast<std::size_t>(256 - control);
    } else if (control != 0) {
      need(1);
      records.push_back({1, control + 1, 0});
      at += 1;
    } else {
      need(2);
      const int descriptor = stream[at];
      const int length = descriptor >> 5;
      const int repeats = stream[at + 1] + 1;
      at += 2;
      if (length < 2 || length > 5) throw std::runtime_error("bad pattern length");
      const int mask = descriptor & ((1 << length) - 1);
      if ((descriptor & 0x1F & ~mask) != 0) throw std::runtime_error("stray descriptor bits");
      const int fixed = __builtin_popcount(static_cast<unsigned>(mask));
      const std::size_t body = static_cast<std::size_t>(fixed + repeats * (length - fixed));
      need(body);
      at += body;
      records.push_back({length, repeats, mask});
    }
  }
  return records;
}

}  // namespace velmora::test
