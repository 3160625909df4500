// Open files of the simulated machine.  Each handle keeps its own file
// pointer (as a Windows handle does) and moves the host stream to it before
// every transfer; writes are flushed at once so other handles of the same
// file see them, as they would on Windows.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "backends/sim/sim_host_error.h"
#include "backends/sim/sim_host_io.h"
#include "backends/sim/sim_machine.h"

namespace velmora {
namespace {

// CREATE_ALWAYS over an existing file is refused when the file is
// read-only, or hidden or system (the new file would silently lose those).
bool MayReplace(std::uint32_t attributes) {
  return (attributes & (attr::readOnly | attr::hidden | attr::system)) == 0;
}

}  // namespace

void SimMachine::ContentsChanged(const std::string& key) {
  if (AnyOpenAtOrBelow(key)) lastWrites_[key] = ++writeCount_;
}

std::uint64_t SimMachine::LastWrite(const std::string& key) const {
  const auto it = lastWrites_.find(key);
  return it == lastWrites_.end() ? 0 : it->second;
}

FileCause SimMachine::OpenFile(const std::string& path, FileAccess access, FileShare share,
                               FileDisposition disposition, FileHandle& handle) {
  handle = kNoFile;
  if (const FileCause fault = faults_.Next("OpenFile"); fault != FileCause::none) return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::directory) return FileCause::accessDenied;
  if (location.win.trailingSeparator) return FileCause::badPath;  // "file\" names no file

  const bool writes = access != FileAccess::read;
  if (IsWriteProtected(location.win.drive) &&
      (writes || location.kind == Kind::missing || disposition == FileDisposition::createAlways))
    return location.kind == Kind::missing && disposition == FileDisposition::openExisting
               ? FileCause::fileNotFound
               : FileCause::accessDenied;
  if (location.kind == Kind::missing) {
    if (disposition == FileDisposition::openExisting) return FileCause::fileNotFound;
    if (const FileCause cause = CreateEmptyFile(location); cause != FileCause::none) return cause;
  } else {
    const std::uint32_t attributes = Attributes(location);
    if (writes && (attributes & attr::readOnly) != 0) return FileCause::accessDenied;
    if (disposition == FileDisposition::createAlways && !MayReplace(attributes))
      return FileCause::accessDenied;
    if (ShareConflict(location.key, access, share)) return FileCause::sharingViolation;
    if (disposition == FileDisposition::createAlways) {
      std::error_code ec;
      const std::uint64_t old = std::filesystem::file_size(location.host, ec);
      std::filesystem::resize_file(location.host, 0, ec);
      if (ec) return sim::CauseOfHostError(ec);
      Release(location.win.drive, old);
      ContentsChanged(location.key);
      attributes_.Erase(location.key);  // the new file is plain archive
    }
  }

  std::FILE* stream = sim::OpenHostFile(location.host, writes ? "r+b" : "rb");
  if (stream == nullptr) return sim::CauseOfErrno(errno);
  // Every transfer goes straight to the host: reads are buffered by the
  // handle itself (ReadFile), where writes of other handles can reach them.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  while (nextHandle_ == kNoFile || open_.contains(nextHandle_)) ++nextHandle_;
  handle = nextHandle_++;
  OpenEntry& entry = open_[handle];
  entry.stream = stream;
  entry.key = location.key;
  entry.host = location.host;
  entry.drive = location.win.drive;
  entry.access = access;
  entry.share = share;
  return FileCause::none;
}

// Reads through a read-ahead cache of the handle's own (installation media
// are read in 16 KiB pieces): a cache filled before the file's bytes last
// changed is not used.
FileCause SimMachine::ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                               std::uint32_t& got) {
  got = 0;
  if (const FileCause fault = faults_.Next("ReadFile"); fault != FileCause::none) return fault;
  OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  if (entry->access == FileAccess::write) return FileCause::accessDenied;
  if (count == 0) return FileCause::none;

  ReadCache& cache = entry->cache;
  const std::uint64_t lastWrite = LastWrite(entry->key);
  if (cache.lastWrite != lastWrite) cache.length = 0;
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (got < count) {
    const std::uint64_t position = entry->position;
    if (position >= cache.start && position < cache.start + cache.length) {
      const std::size_t offset = static_cast<std::size_t>(position - cache.start);
      const std::size_t take = std::min<std::size_t>(count - got, cache.length - offset);
      std::memcpy(out + got, cache.bytes.data() + offset, take);
      got += static_cast<std::uint32_t>(take);
      entry->position += take;
      continue;
    }
    const std::uint32_t wanted = count - got;
    const bool direct = wanted >= kReadCacheSize;
    if (!direct && cache.bytes.size() < kReadCacheSize) cache.bytes.resize(kReadCacheSize);
    if (!sim::SeekHostFile(entry->stream, position)) return sim::CauseOfErrno(errno);
    std::uint8_t* target = direct ? out + got : cache.bytes.data();
    const std::size_t asked = direct ? wanted : kReadCacheSize;
    const std::size_t read = std::fread(target, 1, asked, entry->stream);
    const bool failed = read < asked && std::ferror(entry->stream);
    std::clearerr(entry->stream);
    if (failed) {
      cache.length = 0;
      return FileCause::hardIO;
    }
    if (direct) {
      got += static_cast<std::uint32_t>(read);
      entry->position += read;
      if (read < asked) break;  // the end of the file
    } else {
      cache.start = position;
      cache.length = read;
      cache.lastWrite = lastWrite;
      if (read == 0) break;  // the end of the file
    }
  }
  return FileCause::none;
}

FileCause SimMachine::WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) {
  if (const FileCause fault = faults_.Next("WriteFile"); fault != FileCause::none) return fault;
  OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  if (entry->access == FileAccess::read) return FileCause::accessDenied;
  if (count == 0) return FileCause::none;

  std::uint64_t size = 0;
  if (!sim::HostFileSize(entry->stream, size)) return sim::CauseOfErrno(errno);
  const std::uint64_t end = entry->position + count;
  if (end > size) {
    if (const FileCause cause = Consume(entry->drive, end - size); cause != FileCause::none)
      return cause;
  }
  errno = 0;
  if (!sim::SeekHostFile(entry->stream, entry->position) ||
      std::fwrite(buffer, 1, count, entry->stream) != count || std::fflush(entry->stream) != 0) {
    const int error = errno;
    std::clearerr(entry->stream);
    if (end > size) Release(entry->drive, end - size);
    return sim::CauseOfErrno(error);
  }
  entry->position = end;
  ContentsChanged(entry->key);
  // Writing marks the file for backup, as Windows does.
  attributes_.Set(entry->key, false, attributes_.Get(entry->key, false) | attr::archive);
  return FileCause::none;
}

FileCause SimMachine::SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                               std::uint64_t& position) {
  if (const FileCause fault = faults_.Next("SeekFile"); fault != FileCause::none) return fault;
  OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  std::uint64_t base = 0;
  if (origin == SeekOrigin::current) {
    base = entry->position;
  } else if (origin == SeekOrigin::end) {
    if (!sim::HostFileSize(entry->stream, base)) return sim::CauseOfErrno(errno);
  }
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t target = 0;
  if (offset < 0) {
    const std::uint64_t back = 0 - static_cast<std::uint64_t>(offset);
    if (back > base) return FileCause::badSeek;
    target = base - back;
  } else {
    if (static_cast<std::uint64_t>(offset) > kMax - std::min(base, kMax)) return FileCause::badSeek;
    target = base + static_cast<std::uint64_t>(offset);
  }
  entry->position = target;
  position = target;
  return FileCause::none;
}

FileCause SimMachine::GetFileSize(FileHandle handle, std::uint64_t& size) {
  size = 0;
  if (const FileCause fault = faults_.Next("GetFileSize"); fault != FileCause::none) return fault;
  OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  if (!sim::HostFileSize(entry->stream, size)) return sim::CauseOfErrno(errno);
  return FileCause::none;
}

FileCause SimMachine::FlushFile(FileHandle handle) {
  if (const FileCause fault = faults_.Next("FlushFile"); fault != FileCause::none) return fault;
  OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  // FlushFileBuffers needs write access.
  if (entry->access == FileAccess::read) return FileCause::accessDenied;
  if (std::fflush(entry->stream) != 0) return sim::CauseOfErrno(errno);
  return FileCause::none;
}

FileCause SimMachine::CloseFile(FileHandle handle) {
  const FileCause fault = faults_.Next("CloseFile");
  const auto it = open_.find(handle);
  if (it == open_.end()) return fault != FileCause::none ? fault : FileCause::invalidFile;
  // The handle goes even when the close reports a failure: the caller has
  // let go of it and must not be left holding a lock it cannot release.
  const bool closed = std::fclose(it->second.stream) == 0;
  const int error = errno;
  const std::string key = it->second.key;
  open_.erase(it);
  if (!AnyOpenAtOrBelow(key)) lastWrites_.erase(key);
  if (fault != FileCause::none) return fault;
  return closed ? FileCause::none : sim::CauseOfErrno(error);
}

}  // namespace velmora
