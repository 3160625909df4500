// CArchive: buffered binary storing and loading over a CFile, with the
// little-endian integer encodings and the counted string encoding of the
// uninstall log:
//   length < 255            : one byte length
//   length 255 .. 0xFFFD    : 0xFF, 16-bit length
//   longer                  : 0xFF, 0xFFFF, 32-bit length
// After 0xFF a 16-bit 0xFFFE is not a valid length and is refused on loading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/file.h"

namespace velmora {

class CArchive {
 public:
  enum Mode : unsigned { store = 0, load = 1 };

  CArchive(CFile* file, unsigned mode, std::uint32_t bufferSize = 4096);
  // Flushes a storing archive that was not closed; errors are swallowed here,
  // so call Close() to see them.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return mode_ == store; }
  CFile* GetFile() const { return file_; }
  // Loading: bytes handed out so far by Read and the extraction operators,
  // which is the position in the loaded data when the archive started at
  // the file's first byte.  Bytes read ahead into the buffer do not count.
  std::uint64_t GetBytesConsumed() const { return consumed_; }

  // Storing: writes the buffer to the file.  Loading: nothing to do.
  void Flush();
  // Flush, then detach from the file (the file stays open).
  void Close();
  // Detach without writing anything.
  void Abort();

  // Raw bytes.  Read answers fewer than count only at the end of the file.
  std::uint32_t Read(void* buffer, std::uint32_t count);
  void Write(const void* buffer, std::uint32_t count);

  CArchive& operator<<(std::uint8_t value);
  CArchive& operator<<(std::uint16_t value);
  CArchive& operator<<(std::uint32_t value);
  CArchive& operator<<(std::int32_t value);
  CArchive& operator<<(const std::string& value);
  CArchive& operator<<(bool) = delete;  // a BOOL is 32 bits: store it as int32_t

  CArchive& operator>>(std::uint8_t& value);
  CArchive& operator>>(std::uint16_t& value);
  CArchive& operator>>(std::uint32_t& value);
  CArchive& operator>>(std::int32_t& value);
  CArchive& operator>>(std::string& value);

 private:
  void RequireMode(Mode mode) const;
  // Loading: reads exactly count bytes or throws endOfFile.
  void ReadExact(void* buffer, std::uint32_t count);
  std::uint32_t ReadUInt(int width);
  void WriteUInt(std::uint32_t value, int width);

  CFile* file_;
  Mode mode_;
  std::vector<std::uint8_t> buffer_;
  std::uint32_t begin_ = 0;  // loading: next unread byte
  std::uint32_t end_ = 0;    // loading: one past the last valid byte; storing: bytes held
  std::uint64_t consumed_ = 0;
};

}  // namespace velmora
