// CCompressedFile's write side: the encoder and its output staging.  The
// encoder's output is binding (the data files are written by it and must
// come out byte for byte the same), so where the code takes a shortcut it
// says why the result is the same as deciding byte by byte.
#include <algorithm>
#include <cstring>

#include "datafile/compressed_file.h"

namespace velmora {
namespace {

constexpr int kRing = CCompressedFile::kHistorySize;  // 129
constexpr int kMaxPending = kRing - 1;                // 128 bytes wait at most
// Largest record: a pattern run's 3 header bytes, at most 5 fixed bytes and
// at most 128 variable bytes (a literal run is at most 129 bytes).
constexpr std::uint32_t kMaxRecord = 3 + 5 + kMaxPending;

int Wrap(int index) { return index >= kRing ? index - kRing : index; }
int Distance(int from, int to) { return to >= from ? to - from : to - from + kRing; }

// Encoder shortcut for the pattern search.  For d = 2..5,
// bit i of matches.d[d - 2] tells whether the byte pushed i bytes ago equals
// the byte d bytes before it.  The search for length j compares the k-th
// occurrence from the end with the candidate (the last j bytes) position by
// position; a position still fixed at k - 1 stays fixed at k exactly when the
// (k-1)-th and k-th occurrences agree there, which is bit i + (k - 2) j of
// the history for distance j (i = j - 1 - position).  So the whole search is
// bit arithmetic.  k never exceeds 5 (at k = 5 any fixed position is
// accepted), so 20 bits per distance suffice.
//
// A bit is consulted only when both bytes it compares are pending (the
// search needs n >= k j), and for those it is exact: a pending byte of the
// literal state is never rewritten, and every change of state recomputes
// the bits of the bytes that are then pending.  Bits involving bytes that are
// not pending may be anything.
struct MatchHistory {
  std::uint32_t d[4] = {};

  void ShiftIn(const std::uint8_t* at, std::uint8_t byte) {
    // `at` is where `byte` goes, in the second copy of the ring.
    d[0] = d[0] << 1 | static_cast<std::uint32_t>(byte == at[-2]);
    d[1] = d[1] << 1 | static_cast<std::uint32_t>(byte == at[-3]);
    d[2] = d[2] << 1 | static_cast<std::uint32_t>(byte == at[-4]);
    d[3] = d[3] << 1 | static_cast<std::uint32_t>(byte == at[-5]);
  }
  bool Any() const { return ((d[0] & 3u) | (d[1] & 7u) | (d[2] & 15u) | (d[3] & 31u)) != 0; }
};

// The history of the n pending bytes before `head`.
MatchHistory Recompute(const std::uint8_t* ring, int head, int n) {
  MatchHistory history;
  for (int i = std::min(n, 20) - 1; i >= 0; --i) {
    const std::uint8_t* at = ring + (head - 1 - i + kRing);  // the byte i ago
    for (int dist = 2; dist <= 5; ++dist) {
      const bool same = i + dist < n && *at == at[-dist];
      history.d[dist - 2] = history.d[dist - 2] << 1 | static_cast<std::uint32_t>(same);
    }
  }
  return history;
}

// Fixed positions in a set of at most 5 bits (std::popcount is a library
// call on the baseline x86 and i686 targets).
constexpr std::uint8_t kBitCount[32] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4,
                                        1, 2, 2, 3, 2, 3, 3, 4, 2, 3, 3, 4, 3, 4, 4, 5};

// Whether a pattern with fixedCount fixed positions, repeated k times, is
// worth a pattern record: the fewer fixed positions, the more repetitions
// it needs; with one or three, a pattern at the pending data's tail is taken
// one repetition sooner.
bool Accepts(int fixedCount, int k, bool atTail) {
  switch (fixedCount) {
    case 0: return false;
    case 1: return (k >= 4 && atTail) || k >= 5;
    case 2: return k >= 3;
    case 3: return (k >= 2 && atTail) || k >= 3;
    default: return k >= 2;
  }
}

}  // namespace

void CCompressedFile::Write(const void* buffer, std::uint32_t count) {
  if (buffer == nullptr || count == 0) return;
  if (m_compressed) {
    Encode(static_cast<const std::uint8_t*>(buffer), count);
    return;
  }
  if (m_history) {
    FlushEncoder();
    m_history.reset();
  }
  CFile::Write(buffer, count);
}

void CCompressedFile::Flush() {
  WriteStaged();
  CFile::Flush();
}

void CCompressedFile::SetOutputBuffer(std::uint32_t bytes) {
  WriteStaged();
  m_outBufferSize = bytes;
  m_outCapacity = std::max(bytes, kMaxRecord);
  m_out = std::make_unique_for_overwrite<std::uint8_t[]>(m_outCapacity);
}

void CCompressedFile::ResetEncoder() {
  m_historyHead = 0;
  m_historyTail = 0;
  m_patLength = 0;
  m_patPos = 0;
  m_patRepeats = 0;
  m_patFixedCount = 0;
}

void CCompressedFile::DiscardEncoder() {
  ResetEncoder();
  m_outLength = 0;
}

void CCompressedFile::WriteStaged() {
  if (m_outLength == 0) return;
  const std::uint32_t length = m_outLength;
  m_outLength = 0;  // a failed write must not be retried by the destructor
  if (m_sink != nullptr) {
    m_sink->insert(m_sink->end(), m_out.get(), m_out.get() + length);
    return;
  }
  CFile::Write(m_out.get(), length);
}

// A record is complete in the staging area: write it now (unbuffered) or
// when the next record might not fit.
void CCompressedFile::RecordDone() {
  if (m_outLength + kMaxRecord > m_outCapacity) WriteStaged();
}

void CCompressedFile::EmitLiteral(int start, int count) {
  if (count == 0) return;
  std::uint8_t* out = m_out.get() + m_outLength;
  out[0] = static_cast<std::uint8_t>(256 - count);
  std::memcpy(out + 1, m_history.get() + start, static_cast<std::size_t>(count));
  m_outLength += 1 + static_cast<std::uint32_t>(count);
  RecordDone();
}

// Only ever called with count >= 3: a repeat run starts at three bytes.
void CCompressedFile::EmitRepeat(int count) {
  if (count == 0) return;
  std::uint8_t* out = m_out.get() + m_outLength;
  out[0] = static_cast<std::uint8_t>(count - 1);
  out[1] = m_patBytes[0];
  m_outLength += 2;
  RecordDone();
}

// The pattern run with m_patRepeats repetitions; its variable bytes are the
// ring bytes from `start` on.
void CCompressedFile::EmitPattern(int start) {
  const int length = m_patLength;
  std::uint8_t* out = m_out.get() + m_outLength;
  std::uint8_t descriptor = static_cast<std::uint8_t>(length << 5);
  for (int p = 0; p < length; ++p) {
    if (m_patFixed[p]) descriptor = static_cast<std::uint8_t>(descriptor | (1u << p));
  }
  std::uint32_t at = 0;
  out[at++] = 0;
  out[at++] = descriptor;
  out[at++] = static_cast<std::uint8_t>(m_patRepeats - 1);
  for (int p = 0; p < length; ++p) {
    if (m_patFixed[p]) out[at++] = m_patBytes[p];
  }
  const int variable = (length - m_patFixedCount) * m_patRepeats;
  std::memcpy(out + at, m_history.get() + start, static_cast<std::size_t>(variable));
  m_outLength += at + static_cast<std::uint32_t>(variable);
  RecordDone();
}

// Rebuilding a partial repetition: positions m_patPos-1 down to 0, varying
// positions taking the ring bytes backwards from `head`; the result goes to
// ring positions 0..m_patPos-1.  Every byte is read before any is written:
// in place, a fixed position's byte could land on a ring byte that a lower
// varying position has still to read.
void CCompressedFile::RebuildPartial(int head) {
  std::uint8_t rebuilt[5];
  const std::uint8_t* back = m_history.get() + head + kRing;
  for (int p = m_patPos - 1; p >= 0; --p) {
    rebuilt[p] = m_patFixed[p] ? m_patBytes[p] : *--back;
  }
  for (int p = 0; p < m_patPos; ++p) Put(p, rebuilt[p]);
}

void CCompressedFile::Encode(const std::uint8_t* in, std::uint32_t count) {
  const std::uint8_t* const ring = m_history.get();
  int head = m_historyHead;
  int tail = m_historyTail;
  int n = Distance(tail, head);
  MatchHistory matches = Recompute(ring, head, m_patLength == 0 ? n : 0);

  std::uint32_t i = 0;
  while (i < count) {
    const std::uint8_t c = in[i];

    // Finish the current record when the ring or the count is full.
    if (n == kMaxPending || m_patRepeats == 256) {
      if (m_patLength >= 2) {
        EmitPattern(tail);
        if (m_patPos > 0) RebuildPartial(head);
        head = n = m_patPos;
      } else {
        if (m_patLength == 0) {
          EmitLiteral(tail, n);
        } else {
          EmitRepeat(n);
        }
        head = n = 0;
      }
      tail = 0;
      m_patLength = m_patPos = m_patRepeats = 0;
      matches = Recompute(ring, head, n);
    }

    if (m_patLength == 0) {
      // Collecting literals.
      const std::uint8_t* at = ring + (head + kRing);
      if (n >= 2 && c == at[-1] && c == at[-2]) {
        // A run of three starts.
        EmitLiteral(tail, n - 2);
        Put(0, c);
        Put(1, c);
        Put(2, c);
        head = 3;
        tail = 0;
        n = 3;
        m_patBytes[0] = c;
        m_patLength = 1;
        ++i;
        continue;
      }
      // Otherwise c is pushed.
      matches.ShiftIn(at, c);
      Put(head, c);
      head = Wrap(head + 1);
      ++n;
      ++i;
      if (n < 4 || !matches.Any()) continue;

      // Search for a pattern ending with c.
      for (int j = 2; j <= 5 && n >= 2 * j; ++j) {
        const std::uint32_t history = matches.d[j - 2];
        const std::uint32_t low = (1u << j) - 1;
        std::uint32_t fixed = history & low;  // bit i: position j - 1 - i
        int k = 2;
        while (fixed != 0 && !Accepts(kBitCount[fixed], k, n == k * j)) {
          if (n < (k + 1) * j) {
            fixed = 0;
            break;
          }
          fixed &= history >> ((k - 1) * j);
          ++k;
        }
        if (fixed == 0) continue;
        // Accepted; the k-th occurrence from the end starts k j back.
        const std::uint8_t* candidate = ring + (head + kRing - j);
        for (int p = 0; p < j; ++p) {
          m_patBytes[p] = candidate[p];
          m_patFixed[p] = ((fixed >> (j - 1 - p)) & 1u) != 0;
        }
        const int start = Wrap(head + kRing - k * j);
        if (start != tail) {
          EmitLiteral(tail, n - k * j);
          tail = start;
        }
        m_patLength = j;
        m_patPos = 0;
        m_patRepeats = k;
        m_patFixedCount = kBitCount[fixed];
        // Compact: only the variable bytes stay, in order, from the tail.
        // The copy never overtakes its source (copied <= p < 129).
        int copied = 0;
        for (int p = 0; p < k * j; ++p) {
          if (!m_patFixed[p % j]) {
            Put(Wrap(tail + copied), ring[tail + p]);
            ++copied;
          }
        }
        n = copied;
        head = Wrap(tail + n);
        break;
      }
    } else if (m_patLength == 1) {
      // Inside a repeat run.  The pushed bytes all equal the
      // repeated byte and are never read back (the record is count and
      // byte), so a stretch of equal bytes only moves the head.
      if (c == m_patBytes[0]) {
        const std::uint32_t limit = std::min<std::uint32_t>(count - i, kMaxPending - n);
        std::uint32_t same = 1;
        while (same < limit && in[i + same] == c) ++same;
        n += static_cast<int>(same);
        head = Wrap(head + static_cast<int>(same));
        i += same;
        continue;
      }
      EmitRepeat(n);
      Put(0, c);
      head = 1;
      tail = 0;
      n = 1;
      m_patLength = 0;
      matches = Recompute(ring, head, n);
      ++i;
    } else {
      // Inside a pattern run.
      const int pos = m_patPos;
      if (m_patFixed[pos] && c != m_patBytes[pos]) {
        EmitPattern(tail);
        if (pos > 0) RebuildPartial(head);
        Put(pos, c);
        head = n = pos + 1;
        tail = 0;
        m_patLength = m_patPos = m_patRepeats = 0;
        matches = Recompute(ring, head, n);
        ++i;
        continue;
      }
      if (!m_patFixed[pos]) {
        Put(head, c);
        head = Wrap(head + 1);
        ++n;
      }
      if (++m_patPos == m_patLength) {
        m_patPos = 0;
        ++m_patRepeats;
      }
      ++i;
    }
  }
  m_historyHead = head;
  m_historyTail = tail;
}

// Flush: finish every pending record, reset the encoder and the decoder.
// Nothing happens to the encoder without a ring (compression never on).
void CCompressedFile::FlushEncoder() {
  if (m_history) {
    const int pending = Distance(m_historyTail, m_historyHead);
    try {
      if (pending != 0 || m_patRepeats != 0) {
        if (m_patLength == 0) {
          EmitLiteral(m_historyTail, pending);
        } else if (m_patLength == 1) {
          EmitRepeat(pending);
        } else {
          EmitPattern(m_historyTail);
          if (m_patPos > 0) {
            // The incomplete repetition becomes pending literals at ring
            // position 0; flushing again writes them as one literal run.
            RebuildPartial(m_historyHead);
            EmitLiteral(0, m_patPos);
          }
        }
      }
    } catch (...) {
      ResetEncoder();
      ResetDecoder();
      throw;
    }
    ResetEncoder();
  }
  ResetDecoder();
  WriteStaged();
}

}  // namespace velmora
