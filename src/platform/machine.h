// The machine the system acts on.  Everything above the platform layer reaches
// files, directories (and, later, the registry, profile files, Program
// Manager and component registration) through this interface, so the same
// code runs on real Windows (win32/) and on a simulated machine in a host
// folder (sim/).
//
// Conventions shared by every operation:
//  - Paths are Windows paths in the ANSI code page: "C:\DIR\FILE.TXT",
//    drive-relative "C:FILE", rooted "\DIR", or relative to the current
//    directory.  Either slash separates.  Names match case-insensitively.
//  - Every fallible operation answers a FileCause (none on success) with the
//    same numbering the framework's file exception uses, mapped from the
//    operating system's error.  Nothing here throws.
//  - One operation opens, uses and releases what it needs; only file handles
//    live between calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/file_exception.h"

namespace velmora {

using FileHandle = std::uint32_t;
inline constexpr FileHandle kNoFile = 0;

enum class FileAccess { read, write, readWrite };
// Sharing granted to other opens of the same file while this one is open.
enum class FileShare { denyNone, denyWrite, denyRead, exclusive };
enum class FileDisposition {
  openExisting,   // fail with fileNotFound when missing
  createAlways,   // create, or truncate an existing file
  openAlways,     // open, or create when missing (no truncation)
};
enum class SeekOrigin { begin = 0, current = 1, end = 2 };

// Windows file attribute bits (FILE_ATTRIBUTE_*).
namespace attr {
inline constexpr std::uint32_t readOnly = 0x01;
inline constexpr std::uint32_t hidden = 0x02;
inline constexpr std::uint32_t system = 0x04;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t archive = 0x20;
inline constexpr std::uint32_t normal = 0x80;
}  // namespace attr

// GetDriveType results.
enum class DriveType : std::uint32_t {
  unknown = 0, noRootDir = 1, removable = 2, fixed = 3, remote = 4, cdrom = 5, ramdisk = 6
};

struct DirEntry {
  std::string name;          // as stored, case kept
  std::uint32_t attributes;  // attr:: bits
  std::uint64_t size;
};

class Machine {
 public:
  virtual ~Machine() = default;

  // Short name of the backend for messages and test names ("sim", "win32").
  virtual std::string Name() const = 0;

  // ---- open files ---------------------------------------------------------
  virtual FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                             FileDisposition disposition, FileHandle& handle) = 0;
  // Reads up to count bytes; got < count only at the end of the file.
  virtual FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                             std::uint32_t& got) = 0;
  virtual FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) = 0;
  // A resulting position below 0 is badSeek; past the end is allowed.
  virtual FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                             std::uint64_t& position) = 0;
  virtual FileCause GetFileSize(FileHandle handle, std::uint64_t& size) = 0;
  virtual FileCause FlushFile(FileHandle handle) = 0;
  virtual FileCause CloseFile(FileHandle handle) = 0;

  // ---- files and directories by name ---------------------------------------
  virtual FileCause DeleteFile(const std::string& path) = 0;
  // Fails with accessDenied when the target exists.
  virtual FileCause MoveFile(const std::string& from, const std::string& to) = 0;
  virtual FileCause CopyFile(const std::string& from, const std::string& to,
                             bool failIfExists) = 0;
  virtual FileCause CreateDirectory(const std::string& path) = 0;
  virtual FileCause RemoveDirectory(const std::string& path) = 0;
  virtual FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) = 0;
  virtual FileCause SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Entries of a directory, without "." and "..", in no particular order.
  virtual FileCause ListDirectory(const std::string& path, std::vector<DirEntry>& entries) = 0;
  // GetTempFileName with unique number 0: creates an empty file named
  // dir\PPPxxxx.tmp (first three characters of prefix, hex number) and
  // answers its full path.
  virtual FileCause CreateTempFile(const std::string& directory, const std::string& prefix,
                                   std::string& path) = 0;

  // ---- locations -------------------------------------------------------------
  virtual std::string GetCurrentDirectory() = 0;  // full path, e.g. "C:\SETUP"
  virtual FileCause SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string GetWindowsDirectory() = 0;  // e.g. "C:\WINDOWS"
  virtual std::string GetSystemDirectory() = 0;   // e.g. "C:\WINDOWS\SYSTEM"
  // Full path of a (possibly relative) name against the current directory,
  // with "." and ".." folded; empty when the name is not a valid path.
  virtual std::string GetFullPathName(const std::string& path) = 0;
  // Root such as "C:\"; noRootDir for a drive that is not there.
  virtual DriveType GetDriveType(const std::string& root) = 0;
  // Bit n set for each present drive (bit 0 = A:).
  virtual std::uint32_t GetLogicalDrives() = 0;
};

// The machine every operation above the platform layer acts on.  There is
// always one: a process starts with its native machine (win32 on Windows);
// tests and the headless tools install their own with ScopedMachine.
Machine& CurrentMachine();
void SetCurrentMachine(Machine* machine);

class ScopedMachine {
 public:
  explicit ScopedMachine(Machine& machine);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine* previous_;
};

}  // namespace velmora
