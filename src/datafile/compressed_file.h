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
#include <vector>

#include "framework/file.h"

namespace velmora {

class MediaSet;

class CCompressedFile : public CFile {
 public:
  static constexpr std::uint32_t kReadAheadSize = 16384;
  static constexpr int kHistorySize = 129;

  CCompressedFile() = default;
  ~CCompressedFile() override;

  // Opening (like Close) empties the read-ahead buffer and resets the
  // decoder, so unread bytes of the previous file can never be delivered as
  // bytes of this one.  Opening a file that is still open abandons it as
  // Abort does (CFile's own rule), pending encoder output included.
  bool Open(const std::string& fileName, unsigned openFlags,
            CFileException* error = nullptr) override;
  // Opens `fileName` for reading only its bytes [offset, offset + length),
  // as though they were the whole file: positions, the length and the end
  // of the file are the window's.  Open, Close and Abort end the window.
  bool OpenWindow(const std::string& fileName, std::uint32_t offset, std::uint32_t length,
                  CFileException* error = nullptr);
  std::uint32_t GetPosition() const override;
  std::uint32_t GetLength() const override;
  void SetCompressed(bool compressed);
  bool IsCompressed() const { return m_compressed; }

  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  void Write(const void* buffer, std::uint32_t count) override;
  std::int32_t Seek(std::int32_t offset, unsigned from) override;
  // Flush, then close the underlying file.  Also empties the read-ahead
  // buffer and resets the decoder (see Open).
  void Close() override;
  // Closes without reporting errors and discards pending encoder output.
  void Abort() override;
  // Writes encoder output staged by SetOutputBuffer, then CFile::Flush.  It
  // does not finish pending records: that would change the stream.
  void Flush() override;

  // Record readers use these; they behave exactly as Read and Write.
  virtual std::uint32_t ReadBytes(void* buffer, std::uint32_t count) { return Read(buffer, count); }
  virtual void WriteBytes(const void* buffer, std::uint32_t count) { Write(buffer, count); }

  // Shows the general file error report for the exception's cause through the
  // current Ui, captioned with the application's title.  Answers the message
  // box result (callers ignore it).  Does not use the stream's state.
  int ReportFileError(const CFileException* error);

  // Host tools only.  0 (the default): every encoder record goes to the file
  // with one CFile::Write the moment it is decided, as the runtime writes.
  // Otherwise records are staged in memory and written in blocks of about
  // `bytes`, and at every flush point (SetCompressed(false), Seek, Flush,
  // Close, a plain Write).  The bytes written are identical either way; only
  // GetPosition/GetLength lag behind while records are staged.
  void SetOutputBuffer(std::uint32_t bytes);
  // Host tools only.  With a sink, the encoder's output is appended to
  // `*sink` wherever it would be written to the file (plain writes still go
  // to the file), and the file need not be open: a stretch is encoded in
  // memory, byte for byte as it would be written.  nullptr (the default)
  // writes to the file.
  void SetOutputSink(std::vector<std::uint8_t>* sink) {
    WriteStaged();
    m_sink = sink;
  }

  // True once the decoder met a pattern descriptor whose length is not 2..5;
  // until the next Seek, Open, Close or switch of compression, compressed
  // reads then deliver nothing more (see compressed_file_decoder.cpp).
  bool HasBadRecord() const { return m_runKind == kBadRecordKind; }

  // The media set whose files this stream reads: record and payload readers
  // go on in its next file when one is exhausted.  Null for a stream over
  // one file, whose end is the end of the data.
  MediaSet* Media() const { return m_media; }
  void SetMedia(MediaSet* media) { m_media = media; }

 private:
  static constexpr std::int32_t kBadRecordKind = -1;

  // The underlying file's bytes, within the window when there is one.
  std::uint32_t ReadFromFile(void* buffer, std::uint32_t count);

  // ---- decoder --------------------------------------------------------------
  std::uint32_t ReadPlain(std::uint8_t* out, std::uint32_t count);
  std::uint32_t ReadDecoded(std::uint8_t* out, std::uint32_t count);
  bool StartRecord();
  std::uint32_t Refill();
  bool TakeByte(std::uint8_t& byte) {
    if (m_readAheadPos == m_readAheadEnd && Refill() == 0) return false;
    byte = m_readAhead[static_cast<std::uint32_t>(m_readAheadPos)];
    m_readAheadPos = static_cast<std::int32_t>((m_readAheadPos + 1) & (kReadAheadSize - 1));
    return true;
  }
  std::uint8_t TakeByteOrZero() {
    std::uint8_t byte = 0;
    TakeByte(byte);
    return byte;
  }
  void EnsureReadAhead();
  void DropReadAhead();
  void ResetDecoder();

  // ---- encoder --------------------------------------------------------------
  void Encode(const std::uint8_t* in, std::uint32_t count);
  void FlushEncoder();
  void ResetEncoder();
  void EmitLiteral(int start, int count);
  void EmitRepeat(int count);
  void EmitPattern(int start);
  void RecordDone();
  void RebuildPartial(int head);
  void Put(int index, std::uint8_t byte) {
    m_history[index] = byte;
    m_history[index + kHistorySize] = byte;
  }
  void WriteStaged();
  void DiscardEncoder();

  std::unique_ptr<std::uint8_t[]> m_readAhead;
  std::int32_t m_readAheadEnd = 0;
  std::int32_t m_readAheadPos = 0;
  // The 129-byte ring, stored twice in a row (index i and i + 129 always
  // hold the same byte) so that every stretch of up to 129 ring bytes can be
  // read without wrapping.  Positions are ring positions 0..128 as in the format.
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

  // Encoder output staging: one record (unbuffered) or a block of records.
  std::unique_ptr<std::uint8_t[]> m_out;
  std::uint32_t m_outLength = 0;
  std::uint32_t m_outCapacity = 0;              // 0 until allocated
  std::uint32_t m_outBufferSize = 0;            // as set by SetOutputBuffer
  std::vector<std::uint8_t>* m_sink = nullptr;  // as set by SetOutputSink

  MediaSet* m_media = nullptr;

  bool m_windowed = false;
  std::uint32_t m_windowStart = 0;
  std::uint32_t m_windowLength = 0;
  std::uint32_t m_windowPos = 0;  // the underlying file's position, from the window's start
};

}  // namespace velmora
