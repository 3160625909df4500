// CCompressedFile: a CFile that can switch, at any byte position, between
// plain bytes and the package's own run-length code.
//
// Stream format: a compressed stretch is a sequence of records, each opened
// by a control byte B:
//   0x80..0xFF  literal run: 256-B bytes follow and are delivered unchanged
//   0x01..0x7F  repeat run:  one byte V follows; V is delivered B+1 times
//   0x00        pattern run: descriptor D (bits 7..5 = length L in 2..5,
//               bit i = position i fixed), count K, the fixed bytes in
//               position order, then (K+1) x (varying positions) bytes;
//               the pattern is delivered K+1 times.
// Nothing marks the end of a stretch: reader and writer switch compression
// at the same byte positions by agreement of the surrounding format.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/file.h"

namespace velmora {

class CCompressedFile : public CFile {
 public:
  static constexpr std::uint32_t kReadAheadSize = 16384;
  static constexpr int kHistorySize = 129;

  CCompressedFile() = default;
  ~CCompressedFile() override;

  bool Open(const std::string& fileName, unsigned openFlags,
            CFileException* error = nullptr) override;
  void SetCompressed(bool compressed);
  bool IsCompressed() const { return m_compressed; }

  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  void Write(const void* buffer, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, unsigned from) override;
  void Close() override;

  // Record readers use these; they behave exactly as Read and Write.
  virtual std::uint32_t ReadBytes(void* buffer, std::uint32_t count) { return Read(buffer, count); }
  virtual void WriteBytes(const void* buffer, std::uint32_t count) { Write(buffer, count); }

  // Shows the general file error report for the exception's cause through the
  // current Ui, captioned with the application's title.  Answers the message
  // box result (callers ignore it).  Does not use the stream's state.
  int ReportFileError(const CFileException* error);

 private:
  // (implementation state: see compressed_file.cpp)
  bool TakeByte(std::uint8_t& byte);
  std::uint32_t ReadPlain(void* buffer, std::uint32_t count);
  std::uint32_t ReadDecoded(std::uint8_t* out, std::uint32_t count);
  void FlushEncoder();
  void ResetEncoder();
  void ResetDecoder();
  void DropReadAhead();

  std::unique_ptr<std::uint8_t[]> m_readAhead;
  std::int32_t m_readAheadEnd = 0;
  std::int32_t m_readAheadPos = 0;
  std::unique_ptr<std::uint8_t[]> m_history;
  std::int32_t m_historyHead = 0;
  std::int32_t m_historyTail = 0;
  bool m_compressed = false;

  std::int32_t m_runCount = 0;
  std::int32_t m_runKind = 0;
  std::int32_t m_runIndex = 0;
  std::uint8_t m_runBytes[8] = {};
  bool m_runFixed[5] = {};

  std::int32_t m_patLength = 0;
  std::int32_t m_patPos = 0;
  std::uint8_t m_patBytes[8] = {};
  bool m_patFixed[5] = {};
  std::int32_t m_patRepeats = 0;
  std::int32_t m_patFixedCount = 0;
};

}  // namespace velmora
