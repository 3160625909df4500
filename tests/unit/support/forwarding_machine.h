// A Machine that hands every call to another machine.  A test derives from
// it to change what one or two calls answer (a directory that cannot be had,
// a scripted DDE server) while everything else behaves as the machine
// underneath, which stays a simulated machine.  Calls the machine underneath
// makes on itself are not seen by the overrides.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "backends/sim/sim_machine.h"
#include "platform/machine.h"

namespace velmora::testing {

class ForwardingMachine : public Machine {
 public:
  explicit ForwardingMachine(Machine& inner) : inner_(inner) {}
  // Over a simulated machine of its own with no host folder (nothing on disk).
  ForwardingMachine() : owned_(std::make_unique<SimMachine>(SimOptions{})), inner_(*owned_) {}

  std::string Name() const override { return inner_.Name(); }

  FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                     FileDisposition disposition, FileHandle& handle) override {
    return inner_.OpenFile(path, access, share, disposition, handle);
  }
  FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                     std::uint32_t& got) override {
    return inner_.ReadFile(handle, buffer, count, got);
  }
  FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) override {
    return inner_.WriteFile(handle, buffer, count);
  }
  FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override {
    return inner_.SeekFile(handle, offset, origin, position);
  }
  FileCause GetFileSize(FileHandle handle, std::uint64_t& size) override {
    return inner_.GetFileSize(handle, size);
  }
  FileCause FlushFile(FileHandle handle) override { return inner_.FlushFile(handle); }
  FileCause CloseFile(FileHandle handle) override { return inner_.CloseFile(handle); }

  FileCause DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  FileCause MoveFile(const std::string& from, const std::string& to) override {
    return inner_.MoveFile(from, to);
  }
  FileCause CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  FileCause CreateDirectory(const std::string& path) override {
    return inner_.CreateDirectory(path);
  }
  FileCause RemoveDirectory(const std::string& path) override {
    return inner_.RemoveDirectory(path);
  }
  FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) override {
    return inner_.GetFileAttributes(path, attributes);
  }
  FileCause SetFileAttributes(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetFileAttributes(path, attributes);
  }
  FileCause ListDirectory(const std::string& path, std::vector<DirEntry>& entries) override {
    return inner_.ListDirectory(path, entries);
  }
  FileCause CreateTempFile(const std::string& directory, const std::string& prefix,
                           std::string& path) override {
    return inner_.CreateTempFile(directory, prefix, path);
  }
  FileCause CreateTempFileForWriting(const std::string& directory, const std::string& prefix,
                                     std::string& path, FileHandle& handle) override {
    return inner_.CreateTempFileForWriting(directory, prefix, path, handle);
  }

  std::string GetCurrentDirectory() override { return inner_.GetCurrentDirectory(); }
  FileCause SetCurrentDirectory(const std::string& path) override {
    return inner_.SetCurrentDirectory(path);
  }
  std::string GetWindowsDirectory() override { return inner_.GetWindowsDirectory(); }
  std::string GetSystemDirectory() override { return inner_.GetSystemDirectory(); }
  std::string GetFullPathName(const std::string& path) override {
    return inner_.GetFullPathName(path);
  }
  DriveType GetDriveType(const std::string& root) override { return inner_.GetDriveType(root); }
  std::uint32_t GetLogicalDrives() override { return inner_.GetLogicalDrives(); }

  long QueryRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t available, RegData& data) override {
    return inner_.QueryRegValue(root, subKey, valueName, available, data);
  }
  long SetRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                   std::uint32_t type, const void* bytes, std::uint32_t size) override {
    return inner_.SetRegValue(root, subKey, valueName, type, bytes, size);
  }
  long DeleteRegKey(hkey::Root root, const std::string& subKey) override {
    return inner_.DeleteRegKey(root, subKey);
  }
  long DeleteRegValue(hkey::Root root, const std::string& subKey,
                      const std::string& valueName) override {
    return inner_.DeleteRegValue(root, subKey, valueName);
  }
  long ListRegKey(hkey::Root root, const std::string& subKey, std::vector<std::string>& subKeys,
                  std::vector<RegValue>& values) override {
    return inner_.ListRegKey(root, subKey, subKeys, values);
  }

  std::string QueryProfileString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override {
    return inner_.QueryProfileString(file, section, key, defaultValue, size);
  }
  FileCause SetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    return inner_.SetProfileString(file, section, key, value);
  }
  FileCause DeleteProfileKey(const std::string& file, const std::string& section,
                             const std::string& key) override {
    return inner_.DeleteProfileKey(file, section, key);
  }
  FileCause DeleteProfileSection(const std::string& file, const std::string& section) override {
    return inner_.DeleteProfileSection(file, section);
  }

  FileCause GetFileTimes(const std::string& path, FileTimes& times) override {
    return inner_.GetFileTimes(path, times);
  }
  FileCause SetFileTimes(const std::string& path, const FileTimes& times) override {
    return inner_.SetFileTimes(path, times);
  }
  FileCause SetOpenFileTimes(FileHandle handle, const FileTimes& times) override {
    return inner_.SetOpenFileTimes(handle, times);
  }
  bool GetFileVersion(const std::string& path, std::uint64_t& version) override {
    return inner_.GetFileVersion(path, version);
  }
  void FindFileLocation(std::uint32_t flags, const std::string& name, const std::string& windowsDir,
                        const std::string& appDir, std::string& currentDir,
                        std::string& destDir) override {
    inner_.FindFileLocation(flags, name, windowsDir, appDir, currentDir, destDir);
  }
  RegistrationCall CallRegistrationEntry(const std::string& path, const std::string& entryPoint,
                                         long& result) override {
    return inner_.CallRegistrationEntry(path, entryPoint, result);
  }
  bool RunProgram(const std::string& programPath, const std::string& arguments,
                  std::uint32_t& exitCode) override {
    return inner_.RunProgram(programPath, arguments, exitCode);
  }

  std::string GetProgramFilesDirectory() override { return inner_.GetProgramFilesDirectory(); }
  FileCause CreateProtectedDirectory(const std::string& path) override {
    return inner_.CreateProtectedDirectory(path);
  }
  bool UsersCanWriteDirectory(const std::string& path) override {
    return inner_.UsersCanWriteDirectory(path);
  }
  FileCause DeleteFileAtRestart(const std::string& path) override {
    return inner_.DeleteFileAtRestart(path);
  }
  std::unique_ptr<DdeConversation> ConnectDde(const std::string& serviceAndTopic,
                                              bool skipNotifications) override {
    return inner_.ConnectDde(serviceAndTopic, skipNotifications);
  }

 private:
  std::unique_ptr<Machine> owned_;
  Machine& inner_;
};

}  // namespace velmora::testing
