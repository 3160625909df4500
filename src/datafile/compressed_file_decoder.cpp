// CCompressedFile's read side: plain reads through the read-ahead buffer,
// and the decoder, which accepts every record of the stream format
// (compressed_file.h).
#include <algorithm>
#include <cstring>

#include "datafile/compressed_file.h"

namespace velmora {
namespace {

constexpr std::uint32_t kAheadMask = CCompressedFile::kReadAheadSize - 1;

}  // namespace

std::uint32_t CCompressedFile::Read(void* buffer, std::uint32_t count) {
  if (count == 0) return 0;
  auto* out = static_cast<std::uint8_t*>(buffer);
  return m_compressed ? ReadDecoded(out, count) : ReadPlain(out, count);
}

void CCompressedFile::EnsureReadAhead() {
  if (m_readAhead) return;
  m_readAhead = std::make_unique_for_overwrite<std::uint8_t[]>(kReadAheadSize);
  m_readAheadPos = 0;
  m_readAheadEnd = 0;
}

void CCompressedFile::DropReadAhead() {
  m_readAheadPos = 0;
  m_readAheadEnd = 0;
}

void CCompressedFile::ResetDecoder() {
  m_runCount = 0;
  m_runKind = 0;
  m_runIndex = 0;
}

// Called with the buffer empty.  Answers the number of bytes read (0 at the
// end of the file); they sit at 0.. onwards.  Keeping "end" at the
// stale value when nothing is read would make the old contents look
// valid again; here an empty refill leaves the buffer empty.
std::uint32_t CCompressedFile::Refill() {
  m_readAheadPos = 0;
  const std::uint32_t got = ReadFromFile(m_readAhead.get(), kReadAheadSize);
  m_readAheadEnd = got == kReadAheadSize ? 0 : static_cast<std::int32_t>(got);
  return got;
}

std::uint32_t CCompressedFile::ReadPlain(std::uint8_t* out, std::uint32_t count) {
  std::uint32_t done = 0;
  if (m_readAhead) {
    while (done < count && m_readAheadPos != m_readAheadEnd) {
      const auto pos = static_cast<std::uint32_t>(m_readAheadPos);
      const auto end = static_cast<std::uint32_t>(m_readAheadEnd);
      const std::uint32_t stretch = end > pos ? end - pos : kReadAheadSize - pos;
      const std::uint32_t take = std::min(stretch, count - done);
      std::memcpy(out + done, m_readAhead.get() + pos, take);
      done += take;
      m_readAheadPos = static_cast<std::int32_t>((pos + take) & kAheadMask);
    }
    if (m_readAheadPos == m_readAheadEnd) {
      m_readAhead.reset();
      DropReadAhead();
    }
  }
  if (done < count) done += ReadFromFile(out + done, count - done);
  return done;
}

// Sets up the next record from its control byte.  Answers false where no
// more bytes can be delivered: at the end of the file where the control byte
// is due, or at a pattern descriptor whose length is not 2..5.
//
// Bad descriptor (the format does not define it): it is treated as the
// end of the decodable data, and sticks (m_runKind = kBadRecordKind) until
// the stream is repositioned, reopened or switched.  Read returns what it
// delivered before the record - the same short read a truncated file gives,
// which every caller already handles as a failure - and nothing past it is
// ever misread as data.  A CFileException was the other choice, but no cause
// 0..14 says "corrupt data": the user would be told of an invalid handle or a
// hardware error.  Tools ask HasBadRecord() to tell the two apart.
bool CCompressedFile::StartRecord() {
  std::uint8_t control = 0;
  if (!TakeByte(control)) return false;
  if (control >= 0x80) {
    m_runKind = 0;
    m_runCount = 256 - control;
  } else if (control != 0) {
    m_runKind = 1;
    m_runBytes[0] = TakeByteOrZero();
    m_runCount = control + 1;
  } else {
    const std::uint8_t descriptor = TakeByteOrZero();
    const int length = descriptor >> 5;
    if (length < 2 || length > 5) {
      m_runKind = kBadRecordKind;
      m_runCount = 0;
      return false;
    }
    m_runKind = length;
    for (int i = 0; i < length; ++i) m_runFixed[i] = ((descriptor >> i) & 1) != 0;
    m_runCount = TakeByteOrZero() + 1;
    m_runIndex = 0;
    for (int i = 0; i < length; ++i) {
      if (m_runFixed[i]) m_runBytes[i] = TakeByteOrZero();
    }
  }
  return true;
}

std::uint32_t CCompressedFile::ReadDecoded(std::uint8_t* out, std::uint32_t count) {
  if (m_runKind == kBadRecordKind) return 0;
  EnsureReadAhead();
  std::uint32_t done = 0;
  while (done < count) {
    if (m_runCount == 0) {
      if (!StartRecord()) break;
      continue;
    }
    const std::uint32_t want = count - done;
    if (m_runKind == 0) {
      // Literal run: copy whole stretches out of the read-ahead buffer.
      std::uint32_t stretch;
      if (m_readAheadPos == m_readAheadEnd) {
        stretch = Refill();
        if (stretch == 0) break;  // end of file where a literal byte is due
      } else {
        const auto pos = static_cast<std::uint32_t>(m_readAheadPos);
        const auto end = static_cast<std::uint32_t>(m_readAheadEnd);
        stretch = end > pos ? end - pos : kReadAheadSize - pos;
      }
      const std::uint32_t take = std::min({stretch, want, static_cast<std::uint32_t>(m_runCount)});
      const auto pos = static_cast<std::uint32_t>(m_readAheadPos);
      std::memcpy(out + done, m_readAhead.get() + pos, take);
      m_readAheadPos = static_cast<std::int32_t>((pos + take) & kAheadMask);
      m_runCount -= static_cast<std::int32_t>(take);
      done += take;
    } else if (m_runKind == 1) {
      const std::uint32_t take = std::min(want, static_cast<std::uint32_t>(m_runCount));
      std::memset(out + done, m_runBytes[0], take);
      m_runCount -= static_cast<std::int32_t>(take);
      done += take;
    } else {
      // Pattern run: byte by byte (local copies: the output may alias them).
      const int length = m_runKind;
      bool fixed[5];
      std::uint8_t bytes[5];
      std::memcpy(fixed, m_runFixed, sizeof fixed);
      std::memcpy(bytes, m_runBytes, sizeof bytes);
      int index = m_runIndex;
      std::int32_t repeats = m_runCount;
      std::uint32_t end = done + want;
      while (done < end && repeats > 0) {
        out[done++] = fixed[index] ? bytes[index] : TakeByteOrZero();
        if (++index == length) {
          index = 0;
          --repeats;
        }
      }
      m_runIndex = index;
      m_runCount = repeats;
    }
  }
  return done;
}

}  // namespace velmora
