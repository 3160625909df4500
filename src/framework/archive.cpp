#include "framework/archive.h"

#include <algorithm>
#include <cstring>

#include "framework/little_endian.h"

namespace velmora {

CArchive::CArchive(CFile* file, unsigned mode, std::uint32_t bufferSize)
    : file_(file),
      mode_(mode == load ? load : store),
      buffer_(std::max<std::uint32_t>(bufferSize, 16)) {}

CArchive::~CArchive() {
  if (file_ == nullptr) return;
  try {
    Close();
  } catch (...) {
    // A destructor must not throw; Close() is how callers learn of errors.
  }
}

void CArchive::RequireMode(Mode mode) const {
  if (file_ == nullptr) throw CArchiveException(CArchiveException::generic);
  if (mode_ != mode)
    throw CArchiveException(
        mode == load ? CArchiveException::writeOnly : CArchiveException::readOnly,
        file_->GetFilePath());
}

void CArchive::Flush() {
  if (file_ == nullptr || mode_ != store || end_ == 0) return;
  const std::uint32_t count = end_;
  end_ = 0;
  file_->Write(buffer_.data(), count);
}

void CArchive::Close() {
  Flush();
  file_ = nullptr;
}

void CArchive::Abort() { file_ = nullptr; }

std::uint32_t CArchive::Read(void* buffer, std::uint32_t count) {
  RequireMode(load);
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    if (begin_ == end_) {
      // Large requests bypass the buffer; small ones refill it.
      const std::uint32_t want = count - done;
      if (want >= buffer_.size()) {
        const std::uint32_t got = file_->Read(out + done, want);
        done += got;
        break;
      }
      begin_ = 0;
      end_ = file_->Read(buffer_.data(), static_cast<std::uint32_t>(buffer_.size()));
      if (end_ == 0) break;
    }
    const std::uint32_t take = std::min(count - done, end_ - begin_);
    std::memcpy(out + done, buffer_.data() + begin_, take);
    begin_ += take;
    done += take;
  }
  consumed_ += done;
  return done;
}

void CArchive::ReadExact(void* buffer, std::uint32_t count) {
  if (Read(buffer, count) != count)
    throw CArchiveException(CArchiveException::endOfFile, file_->GetFilePath());
}

void CArchive::Write(const void* buffer, std::uint32_t count) {
  RequireMode(store);
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  if (count >= buffer_.size()) {
    Flush();
    file_->Write(in, count);
    return;
  }
  while (count > 0) {
    if (end_ == buffer_.size()) Flush();
    const std::uint32_t take =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(buffer_.size()) - end_);
    std::memcpy(buffer_.data() + end_, in, take);
    end_ += take;
    in += take;
    count -= take;
  }
}

void CArchive::WriteUInt(std::uint32_t value, int width) {
  std::uint8_t bytes[4];
  StoreLittleEndian(bytes, value, static_cast<std::size_t>(width));
  Write(bytes, static_cast<std::uint32_t>(width));
}

std::uint32_t CArchive::ReadUInt(int width) {
  RequireMode(load);
  std::uint8_t bytes[4] = {};
  ReadExact(bytes, static_cast<std::uint32_t>(width));
  return static_cast<std::uint32_t>(LoadLittleEndian(bytes, static_cast<std::size_t>(width)));
}

CArchive& CArchive::operator<<(std::uint8_t value) {
  WriteUInt(value, 1);
  return *this;
}
CArchive& CArchive::operator<<(std::uint16_t value) {
  WriteUInt(value, 2);
  return *this;
}
CArchive& CArchive::operator<<(std::uint32_t value) {
  WriteUInt(value, 4);
  return *this;
}
CArchive& CArchive::operator<<(std::int32_t value) {
  WriteUInt(static_cast<std::uint32_t>(value), 4);
  return *this;
}

CArchive& CArchive::operator<<(const std::string& value) {
  const auto length = static_cast<std::uint32_t>(value.size());
  if (length < 0xFF) {
    WriteUInt(length, 1);
  } else if (length <= 0xFFFD) {
    WriteUInt(0xFF, 1);
    WriteUInt(length, 2);
  } else {
    WriteUInt(0xFF, 1);
    WriteUInt(0xFFFF, 2);
    WriteUInt(length, 4);
  }
  Write(value.data(), length);
  return *this;
}

CArchive& CArchive::operator>>(std::uint8_t& value) {
  value = static_cast<std::uint8_t>(ReadUInt(1));
  return *this;
}
CArchive& CArchive::operator>>(std::uint16_t& value) {
  value = static_cast<std::uint16_t>(ReadUInt(2));
  return *this;
}
CArchive& CArchive::operator>>(std::uint32_t& value) {
  value = ReadUInt(4);
  return *this;
}
CArchive& CArchive::operator>>(std::int32_t& value) {
  value = static_cast<std::int32_t>(ReadUInt(4));
  return *this;
}

CArchive& CArchive::operator>>(std::string& value) {
  std::uint32_t length = ReadUInt(1);
  if (length == 0xFF) {
    length = ReadUInt(2);
    if (length == 0xFFFE) throw CArchiveException(CArchiveException::generic, file_->GetFilePath());
    if (length == 0xFFFF) length = ReadUInt(4);
  }
  // Grow as bytes arrive, so a corrupt length fails at the end of the file
  // instead of allocating gigabytes first.
  value.clear();
  constexpr std::uint32_t kPiece = 64 * 1024;
  while (length > 0) {
    const std::uint32_t take = std::min(length, kPiece);
    const std::size_t at = value.size();
    value.resize(at + take);
    ReadExact(value.data() + at, take);
    length -= take;
  }
  return *this;
}

}  // namespace velmora
