// Setting up a simulated machine, its drives and its locations.
#include "backends/sim/sim_machine.h"

#include <stdexcept>
#include <system_error>

#include "framework/ascii.h"

namespace velmora {
namespace fs = std::filesystem;
using sim::WinPath;

namespace {

WinPath ParseOption(const std::string& text, const WinPath& base, const char* what) {
  WinPath parsed;
  if (sim::ParseWindowsPath(text, base, parsed) != FileCause::none)
    throw std::invalid_argument(std::string("not a valid ") + what + ": " + text);
  parsed.trailingSeparator = false;
  return parsed;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsEmptyDriveType(DriveType type) {
  return type == DriveType::removable || type == DriveType::cdrom || type == DriveType::remote ||
         type == DriveType::ramdisk;
}

}  // namespace

SimMachine::SimMachine(const SimOptions& options) {
  current_ = ParseOption(options.currentDir, WinPath{}, "current directory");
  windowsDir_ =
      sim::FormatWindowsPath(ParseOption(options.windowsDir, current_, "Windows directory"));
  systemDir_ = sim::FormatWindowsPath(ParseOption(options.systemDir, current_, "system directory"));
}

// The private folder exists before the stores that live in it are read.
static fs::path PrivateFolder(const fs::path& root) {
  fs::path folder = fs::absolute(root) / ".velmora";
  std::error_code ec;
  fs::create_directories(fs::absolute(root) / "C", ec);
  if (!ec) fs::create_directories(folder, ec);
  if (ec)
    throw std::runtime_error("cannot set up machine root " + root.string() + ": " + ec.message());
  return folder;
}

SimMachine::SimMachine(const fs::path& root, const SimOptions& options)
    : root_(fs::absolute(root)),
      attributes_(PrivateFolder(root) / "attributes"),
      registry_(root_ / ".velmora" / "registry"),
      programManager_(root_ / ".velmora" / "progman") {
  current_ = ParseOption(options.currentDir, WinPath{}, "current directory");
  windowsDir_ =
      sim::FormatWindowsPath(ParseOption(options.windowsDir, current_, "Windows directory"));
  systemDir_ = sim::FormatWindowsPath(ParseOption(options.systemDir, current_, "system directory"));
  EnsureDirectory(windowsDir_);
  EnsureDirectory(systemDir_);
  EnsureDirectory(sim::FormatWindowsPath(current_));
}

SimMachine::~SimMachine() {
  for (auto& [handle, entry] : open_) std::fclose(entry.stream);
}

std::unique_ptr<SimulatedMachine> MakeSimulatedMachine(const fs::path& root) {
  return std::make_unique<SimMachine>(root);
}

// Creates a directory and its parents when its drive is present; a
// directory on a drive that is not there is simply left missing.
void SimMachine::EnsureDirectory(const std::string& path) {
  WinPath win;
  if (sim::ParseWindowsPath(path, current_, win) != FileCause::none) return;
  WinPath prefix;
  prefix.drive = win.drive;
  for (const std::string& part : win.parts) {
    prefix.parts.push_back(part);
    Location location;
    if (Resolve(prefix, location) != FileCause::none) return;
    if (location.kind == Kind::file) return;
    if (location.kind == Kind::missing) {
      const fs::path parent = location.host.parent_path();
      folderIndex_.Changing(parent);
      std::error_code ec;
      fs::create_directory(location.host, ec);
      if (ec)
        throw std::runtime_error("cannot create " + location.host.string() + ": " + ec.message());
      folderIndex_.Added(parent, location.host.filename().string());
    }
  }
}

// ---- drives -------------------------------------------------------------------

bool SimMachine::DriveFolder(char letter, fs::path& folder, bool& strict) const {
  letter = AsciiUpper(letter);
  if (const auto type = driveTypes_.find(letter);
      type != driveTypes_.end() && type->second == DriveType::noRootDir)
    return false;
  if (const auto mount = mounts_.find(letter); mount != mounts_.end()) {
    folder = mount->second;
    strict = false;
    return true;
  }
  if (root_.empty() || !IsLetter(letter)) return false;
  // A drive folder that is a symbolic link is not a drive: it would lead
  // out of the root.
  std::error_code ec;
  const fs::path candidate = root_ / std::string(1, letter);
  if (!fs::is_directory(fs::symlink_status(candidate, ec))) return false;
  folder = candidate;
  strict = true;
  return true;
}

bool SimMachine::IsEmptyDrive(char letter) const {
  const auto type = driveTypes_.find(AsciiUpper(letter));
  return type != driveTypes_.end() && IsEmptyDriveType(type->second);
}

void SimMachine::Mount(char letter, const fs::path& hostFolder, MountAccess access) {
  if (!IsLetter(letter)) throw std::invalid_argument("not a drive letter");
  std::error_code ec;
  const fs::path folder = fs::canonical(hostFolder, ec);
  if (ec || !fs::is_directory(folder, ec))
    throw std::invalid_argument("cannot mount " + hostFolder.string() + ": not a folder");
  letter = AsciiUpper(letter);
  mounts_[letter] = folder;
  if (access == MountAccess::writeProtected) writeProtected_.insert(letter);
  else writeProtected_.erase(letter);
}

void SimMachine::SetDriveType(char letter, DriveType type) {
  if (!IsLetter(letter)) throw std::invalid_argument("not a drive letter");
  driveTypes_[AsciiUpper(letter)] = type;
}

DriveType SimMachine::GetDriveType(const std::string& root) {
  char letter = current_.drive;
  if (!root.empty()) {
    const bool rootForm = root.size() >= 2 && IsLetter(root[0]) && root[1] == ':' &&
                          (root.size() == 2 || (root.size() == 3 && sim::IsSeparator(root[2])));
    if (!rootForm) return DriveType::noRootDir;
    letter = AsciiUpper(root[0]);
  }
  fs::path folder;
  bool strict = false;
  const bool present = DriveFolder(letter, folder, strict);
  if (const auto type = driveTypes_.find(letter); type != driveTypes_.end()) {
    if (present || IsEmptyDriveType(type->second)) return type->second;
    return DriveType::noRootDir;
  }
  return present ? DriveType::fixed : DriveType::noRootDir;
}

std::uint32_t SimMachine::GetLogicalDrives() {
  std::uint32_t mask = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    fs::path folder;
    bool strict = false;
    if (DriveFolder(letter, folder, strict) || IsEmptyDrive(letter)) mask |= 1u << (letter - 'A');
  }
  return mask;
}

void SimMachine::SetFreeSpace(char letter, std::optional<std::uint64_t> bytes) {
  letter = AsciiUpper(letter);
  if (bytes) freeSpace_[letter] = *bytes;
  else freeSpace_.erase(letter);
}

std::optional<std::uint64_t> SimMachine::FreeSpace(char letter) const {
  const auto it = freeSpace_.find(AsciiUpper(letter));
  if (it == freeSpace_.end()) return std::nullopt;
  return it->second;
}

FileCause SimMachine::Consume(char drive, std::uint64_t bytes) {
  const auto it = freeSpace_.find(drive);
  if (it == freeSpace_.end() || bytes == 0) return FileCause::none;
  if (bytes > it->second) return FileCause::diskFull;
  it->second -= bytes;
  return FileCause::none;
}

void SimMachine::Release(char drive, std::uint64_t bytes) {
  if (const auto it = freeSpace_.find(drive); it != freeSpace_.end()) it->second += bytes;
}

void SimMachine::InjectFault(const std::string& operation, int nth, FileCause cause) {
  faults_.Add(operation, nth, cause);
}

// ---- locations ----------------------------------------------------------------

std::string SimMachine::GetCurrentDirectory() { return sim::FormatWindowsPath(current_); }

FileCause SimMachine::SetCurrentDirectory(const std::string& path) {
  if (const FileCause fault = faults_.Next("SetCurrentDirectory"); fault != FileCause::none)
    return fault;
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  if (location.kind == Kind::file) return FileCause::badPath;  // ERROR_DIRECTORY
  current_ = location.win;
  current_.trailingSeparator = false;
  return FileCause::none;
}

std::string SimMachine::GetFullPathName(const std::string& path) {
  WinPath win;
  if (sim::ParseWindowsPath(path, current_, win) != FileCause::none) return {};
  return sim::FormatWindowsPath(win, true);
}

fs::path SimMachine::HostPath(const std::string& path) {
  Location location;
  if (Locate(path, location) != FileCause::none) return {};
  return location.host;
}

}  // namespace velmora
