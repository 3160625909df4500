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
  Abort();  // empties the read-ahead buffer, resets decoder and encoder, ends a window
  return CFile::Open(fileName, openFlags, error);
}

bool CCompressedFile::OpenWindow(const std::string& fileName, std::uint32_t offset,
                                 std::uint32_t length, CFileException* error) {
  if (!Open(fileName, modeRead | shareDenyWrite, error)) return false;
  try {
    CFile::Seek(static_cast<std::int32_t>(offset), begin);
  } catch (const CFileException& failed) {
    CFile::Abort();
    if (error != nullptr) *error = failed;
    return false;
  }
  m_windowed = true;
  m_windowStart = offset;
  m_windowLength = length;
  m_windowPos = 0;
  return true;
}

std::uint32_t CCompressedFile::ReadFromFile(void* buffer, std::uint32_t count) {
  if (!m_windowed) return CFile::Read(buffer, count);
  const std::uint32_t left = m_windowPos < m_windowLength ? m_windowLength - m_windowPos : 0;
  const std::uint32_t got = CFile::Read(buffer, count < left ? count : left);
  m_windowPos += got;
  return got;
}

std::uint32_t CCompressedFile::GetPosition() const {
  return m_windowed ? m_windowPos : CFile::GetPosition();
}

std::uint32_t CCompressedFile::GetLength() const {
  return m_windowed ? m_windowLength : CFile::GetLength();
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
  if (!m_windowed) return CFile::Seek(offset, from);
  const std::int64_t base = from == current ? m_windowPos : from == end ? m_windowLength : 0;
  const std::int64_t target = base + offset;
  if (target < 0 || target > 0x7FFFFFFF) ThrowIf(FileCause::badSeek);
  CFile::Seek(static_cast<std::int32_t>(m_windowStart + target), begin);
  m_windowPos = static_cast<std::uint32_t>(target);
  return static_cast<std::int32_t>(target);
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
  m_windowed = false;
  CFile::Close();
}

void CCompressedFile::Abort() {
  DropReadAhead();
  ResetDecoder();
  DiscardEncoder();
  m_windowed = false;
  CFile::Abort();
}

}  // namespace velmora
