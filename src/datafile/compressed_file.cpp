// CCompressedFile: opening, positioning, closing and switching between plain
// and compressed bytes.  Reading is in compressed_file_decoder.cpp, writing
// in compressed_file_encoder.cpp, the error report in
// compressed_file_report.cpp.
#include "datafile/compressed_file.h"

namespace velmora {

CCompressedFile::~CCompressedFile() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the caller who cares calls Close first.
    CFile::Abort();
  }
}

bool CCompressedFile::Open(const std::string& fileName, unsigned openFlags, CFileException* error) {
  Abort();  // empties the read-ahead buffer, resets decoder and encoder
  return CFile::Open(fileName, openFlags, error);
}

void CCompressedFile::SetCompressed(bool compressed) {
  if (compressed == m_compressed) return;
  if (!compressed) {
    FlushEncoder();
    ResetDecoder();
    m_compressed = false;
    return;
  }
  EnsureReadAhead();
  ResetDecoder();
  if (!m_history) {
    // Zeroed: the match history may compare bytes that were never pushed
    // (those bits are never used, but they should not be indeterminate).
    m_history = std::make_unique<std::uint8_t[]>(std::size_t{2} * kHistorySize);
    ResetEncoder();
  }
  if (!m_out) SetOutputBuffer(m_outBufferSize);
  m_compressed = true;
}

std::int32_t CCompressedFile::Seek(std::int32_t offset, unsigned from) {
  if (m_compressed) FlushEncoder();
  WriteStaged();
  DropReadAhead();
  m_historyHead = 0;
  m_historyTail = 0;
  ResetDecoder();
  return CFile::Seek(offset, from);
}

void CCompressedFile::Close() {
  DropReadAhead();
  ResetDecoder();
  try {
    FlushEncoder();
  } catch (...) {
    CFile::Abort();
    throw;
  }
  CFile::Close();
}

void CCompressedFile::Abort() {
  DropReadAhead();
  ResetDecoder();
  DiscardEncoder();
  CFile::Abort();
}

}  // namespace velmora
