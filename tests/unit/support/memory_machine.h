// MemoryMachine: files held in memory, for the fuzz targets and the
// benchmarks, which read and write a file for every input and must not
// reach the disk for each (the simulated machine keeps its files in a host
// folder).  Every other test uses the simulated machine.
//
// It is what CFile needs and no more: files by path (either slash, drive C:
// when none is named, compared without regard to ASCII case), opened with
// the Windows dispositions, access and sharing, read, written and sought
// past the end.  There are no folders, attributes, registry or profile
// files: calls that would change them are refused, calls that ask find
// nothing.  Callers reach the bytes directly with SetFile / GetFile.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/ascii.h"
#include "platform/machine.h"

namespace velmora::test {

class MemoryMachine : public Machine {
 public:
  using Bytes = std::vector<std::uint8_t>;

  void SetFile(const std::string& path, Bytes bytes) { files_[Key(path)] = std::move(bytes); }
  void SetFile(const std::string& path, std::string_view text) {
    SetFile(path, Bytes(text.begin(), text.end()));
  }
  // The file's bytes; throws std::out_of_range when there is no such file.
  const Bytes& GetFile(const std::string& path) const { return files_.at(Key(path)); }

  std::string Name() const override { return "memory"; }

  // ---- open files ------------------------------------------------------------------
  FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                     FileDisposition disposition, FileHandle& handle) override {
    handle = kNoFile;
    const std::string key = Key(path);
    const auto found = files_.find(key);
    if (found == files_.end() && disposition == FileDisposition::openExisting)
      return FileCause::fileNotFound;
    for (const auto& [other, open] : handles_)
      if (open.key == key && !Compatible(open, access, share)) return FileCause::sharingViolation;
    Bytes& data = files_[key];
    if (disposition == FileDisposition::createAlways) data.clear();
    handle = nextHandle_++;
    handles_[handle] = Open{key, access, share, 0};
    return FileCause::none;
  }

  FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                     std::uint32_t& got) override {
    got = 0;
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    if (open->access == FileAccess::write) return FileCause::accessDenied;
    const Bytes& data = files_[open->key];
    if (open->position < data.size()) {
      const std::uint64_t left = data.size() - open->position;
      got = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, count));
      std::memcpy(buffer, data.data() + open->position, got);
      open->position += got;
    }
    return FileCause::none;
  }

  FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    if (open->access == FileAccess::read) return FileCause::accessDenied;
    Bytes& data = files_[open->key];
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (open->position == data.size()) {
      data.insert(data.end(), bytes, bytes + count);
    } else {
      if (open->position + count > data.size()) data.resize(open->position + count);
      std::memcpy(data.data() + open->position, bytes, count);
    }
    open->position += count;
    return FileCause::none;
  }

  FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    std::int64_t base = 0;
    if (origin == SeekOrigin::current) base = static_cast<std::int64_t>(open->position);
    if (origin == SeekOrigin::end) base = static_cast<std::int64_t>(files_[open->key].size());
    if (base + offset < 0) return FileCause::badSeek;
    open->position = static_cast<std::uint64_t>(base + offset);
    position = open->position;
    return FileCause::none;
  }

  FileCause GetFileSize(FileHandle handle, std::uint64_t& size) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    size = files_[open->key].size();
    return FileCause::none;
  }

  FileCause FlushFile(FileHandle handle) override {
    return Find(handle) == nullptr ? FileCause::invalidFile : FileCause::none;
  }

  FileCause CloseFile(FileHandle handle) override {
    return handles_.erase(handle) == 0 ? FileCause::invalidFile : FileCause::none;
  }

  // ---- names ---------------------------------------------------------------------------
  FileCause DeleteFile(const std::string& path) override {
    const std::string key = Key(path);
    if (files_.count(key) == 0) return FileCause::fileNotFound;
    for (const auto& [other, open] : handles_)
      if (open.key == key) return FileCause::sharingViolation;
    files_.erase(key);
    return FileCause::none;
  }
  FileCause MoveFile(const std::string&, const std::string&) override {
    return FileCause::accessDenied;
  }
  FileCause CopyFile(const std::string&, const std::string&, bool) override {
    return FileCause::accessDenied;
  }
  FileCause CreateDirectory(const std::string&) override { return FileCause::accessDenied; }
  FileCause RemoveDirectory(const std::string&) override { return FileCause::accessDenied; }
  FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) override {
    if (files_.count(Key(path)) == 0) return FileCause::fileNotFound;
    attributes = attr::archive;
    return FileCause::none;
  }
  FileCause SetFileAttributes(const std::string&, std::uint32_t) override {
    return FileCause::accessDenied;
  }
  FileCause ListDirectory(const std::string&, std::vector<DirEntry>& entries) override {
    entries.clear();
    return FileCause::badPath;
  }
  FileCause CreateTempFile(const std::string&, const std::string&, std::string&) override {
    return FileCause::accessDenied;
  }

  std::string GetCurrentDirectory() override { return "C:\\"; }
  FileCause SetCurrentDirectory(const std::string&) override { return FileCause::badPath; }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string GetSystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string GetFullPathName(const std::string& path) override { return Key(path); }
  DriveType GetDriveType(const std::string& root) override {
    return !root.empty() && AsciiUpper(root[0]) == 'C' ? DriveType::fixed : DriveType::noRootDir;
  }
  std::uint32_t GetLogicalDrives() override { return 1u << 2; }

  // ---- no profile files, no registry ---------------------------------------------------
  std::string QueryProfileString(const std::string&, const std::string&, const std::string&,
                                 const std::string& defaultValue, std::uint32_t) override {
    return defaultValue;
  }
  FileCause SetProfileString(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
    return FileCause::accessDenied;
  }
  FileCause DeleteProfileKey(const std::string&, const std::string&, const std::string&) override {
    return FileCause::accessDenied;
  }
  FileCause DeleteProfileSection(const std::string&, const std::string&) override {
    return FileCause::accessDenied;
  }
  long QueryRegValue(hkey::Root, const std::string&, const std::string&, std::uint32_t,
                     RegData&) override {
    return winerror::fileNotFound;
  }
  long SetRegValue(hkey::Root, const std::string&, const std::string&, std::uint32_t, const void*,
                   std::uint32_t) override {
    return winerror::accessDenied;
  }
  long DeleteRegKey(hkey::Root, const std::string&) override { return winerror::fileNotFound; }
  long ListRegKey(hkey::Root, const std::string&, std::vector<std::string>&,
                  std::vector<RegValue>&) override {
    return winerror::fileNotFound;
  }

 private:
  struct Open {
    std::string key;
    FileAccess access;
    FileShare share;
    std::uint64_t position;
  };

  // The path with backslashes, on drive C: when it names none, upper-cased.
  static std::string Key(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.size() < 2 || path[1] != ':') path = (path.starts_with('\\') ? "C:" : "C:\\") + path;
    return AsciiUppered(std::move(path));
  }

  static bool Reads(FileAccess access) { return access != FileAccess::write; }
  static bool Writes(FileAccess access) { return access != FileAccess::read; }
  static bool DeniesRead(FileShare share) {
    return share == FileShare::denyRead || share == FileShare::exclusive;
  }
  static bool DeniesWrite(FileShare share) {
    return share == FileShare::denyWrite || share == FileShare::exclusive;
  }
  // Windows sharing: a new open conflicts with an existing one when either
  // asks for access the other does not share.
  static bool Compatible(const Open& open, FileAccess access, FileShare share) {
    if ((Reads(access) && DeniesRead(open.share)) || (Writes(access) && DeniesWrite(open.share)))
      return false;
    return !((Reads(open.access) && DeniesRead(share)) ||
             (Writes(open.access) && DeniesWrite(share)));
  }

  Open* Find(FileHandle handle) {
    auto found = handles_.find(handle);
    return found == handles_.end() ? nullptr : &found->second;
  }

  std::map<std::string, Bytes> files_;  // key: Key(path)
  std::map<FileHandle, Open> handles_;
  FileHandle nextHandle_ = 1;
};

}  // namespace velmora::test
