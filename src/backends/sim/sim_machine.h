// SimMachine: a simulated Windows machine in a host folder, for tests and
// the headless tools.
//
// Layout of the root folder:
//   ROOT/C/...      drive C: (created when missing)
//   ROOT/D/...      any other drive: present exactly when its folder is
//   ROOT/.velmora/  the machine's own state (file attributes, registry,
//                   Program Manager); no Windows path can reach it
// A drive letter can also be mounted onto any existing host folder (as Wine
// maps Z: to "/").
//
// Paths follow the Windows rules (see sim_paths.h); existing names are found
// case-insensitively and new names keep the case they were given.  No path
// resolves outside its drive's folder: ".." stops at the drive's root, and
// host symbolic links are refused inside ROOT (inside a mount they are
// followed only while they stay within the mounted folder).  Errors are the
// causes Windows reports for the same request, and open files enforce the
// Windows access and sharing rules.  Read-only, hidden, system and archive
// are kept by the sim itself, so they hold even for a root user.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backends/sim/pe_version.h"
#include "backends/sim/sim_attributes.h"
#include "backends/sim/sim_faults.h"
#include "backends/sim/sim_folder_index.h"
#include "backends/sim/sim_install_state.h"
#include "backends/sim/sim_paths.h"
#include "backends/sim/sim_program_manager.h"
#include "backends/sim/sim_registry.h"
#include "backends/sim/simulated_machine.h"

namespace velmora {

struct SimOptions {
  std::string windowsDir = "C:\\WINDOWS";
  std::string systemDir = "C:\\WINDOWS\\SYSTEM";
  std::string currentDir = "C:\\";
};

class SimMachine final : public SimulatedMachine {
 public:
  // A machine whose drives are the lettered folders of root.  Creates root,
  // ROOT/C and the Windows, system and current directories when missing.
  // Throws std::runtime_error when the root cannot be set up and
  // std::invalid_argument for options that are not valid paths.
  explicit SimMachine(const std::filesystem::path& root, const SimOptions& options = {});
  // A machine with no root folder: its only drives are those mounted, and
  // attributes live in memory.  Nothing is created on disk.
  explicit SimMachine(const SimOptions& options);
  ~SimMachine() override;
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  std::string Name() const override { return "sim"; }

  FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                     FileDisposition disposition, FileHandle& handle) override;
  FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                     std::uint32_t& got) override;
  FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) override;
  FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override;
  FileCause GetFileSize(FileHandle handle, std::uint64_t& size) override;
  FileCause FlushFile(FileHandle handle) override;
  // Always releases the handle, even when it reports a failure.
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

  std::string GetCurrentDirectory() override;
  FileCause SetCurrentDirectory(const std::string& path) override;
  std::string GetWindowsDirectory() override { return windowsDir_; }
  std::string GetSystemDirectory() override { return systemDir_; }
  std::string GetFullPathName(const std::string& path) override;
  DriveType GetDriveType(const std::string& root) override;
  std::uint32_t GetLogicalDrives() override;

  // The registry lives in ROOT/.velmora/registry (in memory without a root).
  long QueryRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t available, RegData& data) override;
  long SetRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                   std::uint32_t type, const void* bytes, std::uint32_t size) override;
  long DeleteRegKey(hkey::Root root, const std::string& subKey) override;
  long DeleteRegValue(hkey::Root root, const std::string& subKey,
                      const std::string& valueName) override;
  long ListRegKey(hkey::Root root, const std::string& subKey, std::vector<std::string>& subKeys,
                  std::vector<RegValue>& values) override;

  // Profile files (sim_profile.h), built on the file operations above.
  std::string QueryProfileString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override;
  FileCause SetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override;
  FileCause DeleteProfileKey(const std::string& file, const std::string& section,
                             const std::string& key) override;
  FileCause DeleteProfileSection(const std::string& file, const std::string& section) override;

  // Installing files (sim_file_times.cpp, sim_versions.cpp, sim_registration.cpp).
  FileCause GetFileTimes(const std::string& path, FileTimes& times) override;
  FileCause SetFileTimes(const std::string& path, const FileTimes& times) override;
  FileCause SetOpenFileTimes(FileHandle handle, const FileTimes& times) override;
  bool GetFileVersion(const std::string& path, std::uint64_t& version) override;
  void FindFileLocation(std::uint32_t flags, const std::string& name, const std::string& windowsDir,
                        const std::string& appDir, std::string& currentDir,
                        std::string& destDir) override;
  RegistrationCall CallRegistrationEntry(const std::string& path, const std::string& entryPoint,
                                         long& result) override;
  // Runs nothing: a program that is there at its full path "runs" (the run
  // is recorded) and answers the exit code a test set for it.
  bool RunProgram(const std::string& programPath, const std::string& arguments,
                  std::uint32_t& exitCode) override;
  // Kept as Windows keeps it: appended to the registry's pending renames.
  FileCause DeleteFileAtRestart(const std::string& path) override;

  // Permissions (sim_permissions.cpp): "Program Files" on the Windows
  // directory's drive; it, the Windows directory and every directory made
  // protected keep users out, with what lies below them.
  std::string GetProgramFilesDirectory() override;
  FileCause CreateProtectedDirectory(const std::string& path) override;
  bool UsersCanWriteDirectory(const std::string& path) override;

  // Its Program Manager (sim_dde.cpp): the one DDE server, "PROGMAN".
  std::unique_ptr<DdeConversation> ConnectDde(const std::string& serviceAndTopic,
                                              bool skipNotifications) override;

  // ---- controls for tests and tools -----------------------------------------
  // Mount and SetDriveType as SimulatedMachine describes them.
  void Mount(char letter, const std::filesystem::path& hostFolder,
             MountAccess access = MountAccess::readWrite) override;
  void SetDriveType(char letter, DriveType type) override;
  // The nth call (from now, 1-based) of the named operation fails with cause
  // and does nothing else.  Throws std::invalid_argument for an unknown name.
  // Calls the machine makes itself count too: profile files are read and
  // written through OpenFile, ReadFile and WriteFile.
  void InjectFault(const std::string& operation, int nth, FileCause cause);
  void ClearFaults() { faults_.Clear(); }
  std::size_t PendingFaults() const { return faults_.Pending(); }
  // Calls of each operation above so far, faulted or not, by name.
  const std::map<std::string, int>& OperationCalls() const { return faults_.Calls(); }
  // Bytes still free on a drive: writes, copies and moves that would grow
  // its files past this fail with diskFull.  nullopt: unlimited (default).
  void SetFreeSpace(char letter, std::optional<std::uint64_t> bytes);
  std::optional<std::uint64_t> FreeSpace(char letter) const;
  // The host path a Windows path resolves to; empty when it does not resolve.
  std::filesystem::path HostPath(const std::string& path);
  std::size_t OpenFileCount() const { return open_.size(); }
  // Opens a file as Windows holds the image of a running program, until
  // CloseFile: it can be read, and renamed within its drive (the handle
  // follows it), but not written, deleted or moved to another drive.
  FileCause OpenRunningImage(const std::string& path, FileHandle& handle);
  // Makes an existing directory a link to another place: GetFileAttributes
  // reports it with attr::reparsePoint.
  FileCause MarkReparsePoint(const std::string& path);
  // What Windows does when it next starts (sim_restart.cpp): every open
  // file is closed, then the operations of the pending renames value are
  // carried out in order and the value is removed.  Each operation is a
  // source and a target path ("\??\" before a path is dropped): an empty
  // target deletes the source (a file as DeleteFile deletes it, so a
  // read-only one stays; an empty folder), any other moves it there, a
  // target starting with "!" replacing a file already there.  An operation
  // that fails is skipped.  Faults armed for the machine's operations stay
  // armed, and the calls are not counted.
  void Restart();
  const std::filesystem::path& Root() const override { return root_; }
  // The registry itself, for its own fault injection.
  sim::SimRegistry& Registry() { return registry_; }
  // Kept file times, registrations and started programs, with their answers.
  sim::InstallState& InstallState() { return installState_; }
  // The Program Manager's groups, items and faults.
  sim::SimProgramManager& ProgramManager() { return programManager_; }
  std::vector<sim::ProgramGroup> ProgramGroups() const override { return programManager_.Groups(); }

 private:
  enum class Kind { missing, file, directory };
  struct Location {
    sim::WinPath win;            // the full Windows path
    std::filesystem::path host;  // existing names as stored, the missing last one as given
    std::string key;  // "C/dir/file", lower case: names one file for sharing and attributes
    Kind kind = Kind::missing;
  };
  static constexpr std::size_t kReadCacheSize = std::size_t{128} * 1024;
  struct ReadCache {
    std::vector<std::uint8_t> bytes;  // allocated on the first small read
    std::uint64_t start = 0;          // file offset of bytes[0]
    std::size_t length = 0;           // valid bytes
    std::uint64_t lastWrite = 0;      // LastWrite(key) when filled
  };
  struct OpenEntry {
    std::FILE* stream = nullptr;
    std::string key;
    std::filesystem::path host;
    char drive = 'C';
    FileAccess access = FileAccess::read;
    FileShare share = FileShare::exclusive;
    std::uint64_t position = 0;
    ReadCache cache;
    bool image = false;  // a running program's image (OpenRunningImage)
  };

  // Parses and resolves a path.  The last component may be missing; every
  // other one must be an existing directory (else badPath).
  FileCause Locate(const std::string& path, Location& out);
  FileCause Resolve(const sim::WinPath& win, Location& out);
  // The host folder of a present drive; strict for drives inside ROOT.
  bool DriveFolder(char letter, std::filesystem::path& folder, bool& strict) const;
  bool IsEmptyDrive(char letter) const;
  bool IsWriteProtected(char letter) const { return writeProtected_.contains(letter); }
  void EnsureDirectory(const std::string& path);

  OpenEntry* Find(FileHandle handle);
  // Windows sharing: a new open conflicts with an existing one when either
  // asks for access the other does not share.
  bool ShareConflict(const std::string& key, FileAccess access, FileShare share) const;
  bool AnyOpenAtOrBelow(const std::string& key) const;
  // Open handles of a file other than running images (sim_running_images.cpp).
  bool OpenOtherThanImages(const std::string& key) const;
  // The images of a file follow it to its new name.
  void ImagesMoved(const std::string& from, const std::string& to,
                   const std::filesystem::path& host);
  bool IsCurrentOrAbove(const Location& location) const;
  std::uint32_t Attributes(const Location& location) const;
  FileCause TimesOf(const Location& location, FileTimes& times);
  FileCause HostTimesOf(const std::filesystem::path& host, FileTimes& times);
  void MoveKeptTimes(const std::filesystem::path& from, const std::filesystem::path& to);
  FileCause StoreHostTimes(const std::filesystem::path& host, FileTimes current,
                           const FileTimes& times);
  FileCause CreateEmptyFile(const Location& location);
  // Notes that the bytes of key changed, so open handles drop what their
  // read caches hold; LastWrite answers the latest such note (0: none
  // while the file is open).
  void ContentsChanged(const std::string& key);
  std::uint64_t LastWrite(const std::string& key) const;
  FileCause Consume(char drive, std::uint64_t bytes);
  void Release(char drive, std::uint64_t bytes);
  // Opens a file for reading and hands its bytes to `use` (sim_versions.cpp).
  bool ReadImage(const std::string& path,
                 const std::function<bool(const ImageReader&, std::uint64_t)>& use);

  std::filesystem::path root_;  // empty: no drive folders
  std::map<char, std::filesystem::path> mounts_;
  std::set<char> writeProtected_;
  std::map<char, DriveType> driveTypes_;
  std::map<char, std::uint64_t> freeSpace_;
  sim::AttributeStore attributes_;
  sim::FolderIndex folderIndex_;
  sim::FaultPlan faults_;
  sim::SimRegistry registry_;
  sim::WinPath current_;
  std::string windowsDir_;
  std::string systemDir_;
  std::map<FileHandle, OpenEntry> open_;
  std::map<std::string, std::uint64_t> lastWrites_;  // of files held open
  std::uint64_t writeCount_ = 0;
  FileHandle nextHandle_ = 1;
  std::uint32_t nextTempNumber_ = 1;
  sim::InstallState installState_;
  sim::SimProgramManager programManager_{{}};
};

}  // namespace velmora
