#include "framework/file.h"

namespace velmora {
namespace {

FileAccess AccessOf(unsigned flags) {
  switch (flags & 3u) {
    case CFile::modeWrite: return FileAccess::write;
    case CFile::modeReadWrite: return FileAccess::readWrite;
    default: return FileAccess::read;
  }
}

FileShare ShareOf(unsigned flags) {
  switch (flags & 0x70u) {
    case CFile::shareDenyWrite: return FileShare::denyWrite;
    case CFile::shareDenyRead: return FileShare::denyRead;
    case CFile::shareDenyNone: return FileShare::denyNone;
    default: return FileShare::exclusive;  // shareCompat and shareExclusive
  }
}

FileDisposition DispositionOf(unsigned flags) {
  if ((flags & CFile::modeCreate) == 0) return FileDisposition::openExisting;
  if ((flags & CFile::modeNoTruncate) != 0) return FileDisposition::openAlways;
  return FileDisposition::createAlways;
}

}  // namespace

CFile::~CFile() { Abort(); }

bool CFile::Open(const std::string& fileName, unsigned openFlags, CFileException* error) {
  if (IsOpen()) Abort();
  Machine& machine = CurrentMachine();
  FileHandle handle = kNoFile;
  const FileCause cause = machine.OpenFile(fileName, AccessOf(openFlags), ShareOf(openFlags),
                                           DispositionOf(openFlags), handle);
  if (cause != FileCause::none) {
    if (error != nullptr) *error = CFileException(cause, -1, fileName);
    return false;
  }
  machine_ = &machine;
  handle_ = handle;
  path_ = fileName;
  return true;
}

void CFile::RequireOpen() const {
  if (!IsOpen()) throw CFileException(FileCause::invalidFile, -1, path_);
}

std::uint32_t CFile::Read(void* buffer, std::uint32_t count) {
  RequireOpen();
  if (count == 0) return 0;
  std::uint32_t got = 0;
  ThrowIf(machine_->ReadFile(handle_, buffer, count, got));
  return got;
}

void CFile::Write(const void* buffer, std::uint32_t count) {
  RequireOpen();
  if (count == 0) return;
  ThrowIf(machine_->WriteFile(handle_, buffer, count));
}

std::int32_t CFile::Seek(std::int32_t offset, unsigned from) {
  RequireOpen();
  const SeekOrigin origin = from == current ? SeekOrigin::current
                            : from == end   ? SeekOrigin::end
                                            : SeekOrigin::begin;
  std::uint64_t position = 0;
  ThrowIf(machine_->SeekFile(handle_, offset, origin, position));
  return static_cast<std::int32_t>(position);
}

std::uint32_t CFile::GetPosition() const {
  RequireOpen();
  std::uint64_t position = 0;
  ThrowIf(machine_->SeekFile(handle_, 0, SeekOrigin::current, position));
  return static_cast<std::uint32_t>(position);
}

std::uint32_t CFile::GetLength() const {
  RequireOpen();
  std::uint64_t size = 0;
  ThrowIf(machine_->GetFileSize(handle_, size));
  return static_cast<std::uint32_t>(size);
}

void CFile::Flush() {
  if (!IsOpen()) return;
  ThrowIf(machine_->FlushFile(handle_));
}

void CFile::Close() {
  if (!IsOpen()) return;
  const FileHandle handle = handle_;
  handle_ = kNoFile;
  ThrowIf(machine_->CloseFile(handle));
}

void CFile::Abort() {
  if (!IsOpen()) return;
  machine_->CloseFile(handle_);
  handle_ = kNoFile;
}

}  // namespace velmora
