// The real machine: files, directories, locations, the registry and DDE
// through the Win32 API.
#pragma once

#include <map>

#include "platform/machine.h"

namespace velmora {

class Win32Machine final : public Machine {
 public:
  Win32Machine() = default;
  ~Win32Machine() override;  // closes what is still open
  Win32Machine(const Win32Machine&) = delete;
  Win32Machine& operator=(const Win32Machine&) = delete;

  std::string Name() const override { return "win32"; }

  FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                     FileDisposition disposition, FileHandle& handle) override;
  FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                     std::uint32_t& got) override;
  FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) override;
  FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override;
  FileCause GetFileSize(FileHandle handle, std::uint64_t& size) override;
  FileCause FlushFile(FileHandle handle) override;
  FileCause CloseFile(FileHandle handle) override;

  FileCause DeleteFile(const std::string& path) override;
  FileCause MoveFile(const std::string& from, const std::string& to) override;
  FileCause CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  FileCause CreateDirectory(const std::string& path) override;
  FileCause RemoveDirectory(const std::string& path) override;
  FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) override;
  FileCause SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
  FileCause ListDirectory(const std::string& path, std::vector<DirEntry>& entries) override;
  FileCause CreateTempFile(const std::string& directory, const std::string& prefix,
                           std::string& path) override;
  FileCause CreateTempFileForWriting(const std::string& directory, const std::string& prefix,
                                     std::string& path, FileHandle& handle) override;

  std::string GetCurrentDirectory() override;
  FileCause SetCurrentDirectory(const std::string& path) override;
  std::string GetWindowsDirectory() override;
  std::string GetSystemDirectory() override;
  std::string GetFullPathName(const std::string& path) override;
  DriveType GetDriveType(const std::string& root) override;
  std::uint32_t GetLogicalDrives() override;

  // Registry (win32_registry.cpp).
  long QueryRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t available, RegData& data) override;
  long SetRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                   std::uint32_t type, const void* bytes, std::uint32_t size) override;
  long DeleteRegKey(hkey::Root root, const std::string& subKey) override;
  long DeleteRegValue(hkey::Root root, const std::string& subKey,
                      const std::string& valueName) override;
  long ListRegKey(hkey::Root root, const std::string& subKey, std::vector<std::string>& subKeys,
                  std::vector<RegValue>& values) override;

  // Profile files (win32_profile.cpp).
  std::string QueryProfileString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override;
  FileCause SetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override;
  FileCause DeleteProfileKey(const std::string& file, const std::string& section,
                             const std::string& key) override;
  FileCause DeleteProfileSection(const std::string& file, const std::string& section) override;

  // Installing files (win32_versions.cpp, win32_registration.cpp).
  FileCause GetFileTimes(const std::string& path, FileTimes& times) override;
  FileCause SetFileTimes(const std::string& path, const FileTimes& times) override;
  FileCause SetOpenFileTimes(FileHandle handle, const FileTimes& times) override;
  bool GetFileVersion(const std::string& path, std::uint64_t& version) override;
  void FindFileLocation(std::uint32_t flags, const std::string& name, const std::string& windowsDir,
                        const std::string& appDir, std::string& currentDir,
                        std::string& destDir) override;
  RegistrationCall CallRegistrationEntry(const std::string& path, const std::string& entryPoint,
                                         long& result) override;
  bool RunProgram(const std::string& programPath, const std::string& arguments,
                  std::uint32_t& exitCode) override;
  FileCause DeleteFileAtRestart(const std::string& path) override;

  // Permissions (win32_permissions.cpp).
  std::string GetProgramFilesDirectory() override;
  FileCause CreateProtectedDirectory(const std::string& path) override;
  bool UsersCanWriteDirectory(const std::string& path) override;

  // DDEML (win32_dde.cpp).
  std::unique_ptr<DdeConversation> ConnectDde(const std::string& serviceAndTopic,
                                              bool skipNotifications) override;

 private:
  // Open files by number.  Numbers count up from 1 and are never reused, so
  // kNoFile and a handle that was closed can never reach another file.
  void* Lookup(FileHandle handle) const;
  std::map<FileHandle, void*> open_;
  FileHandle next_ = 1;
};

}  // namespace velmora
