// The version library on the simulated machine: the version resource is
// read from the file's bytes by the portable image reader, and the
// recommended location follows the rules of VerFindFile.
#include "backends/sim/pe_version.h"
#include "backends/sim/sim_machine.h"

namespace velmora {
namespace {

std::string JoinName(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  const char last = directory.back();
  return (last == '\\' || last == '/' || last == ':') ? directory + name : directory + "\\" + name;
}

}  // namespace

bool SimMachine::ReadImage(const std::string& path,
                           const std::function<bool(const ImageReader&, std::uint64_t)>& use) {
  FileHandle handle = kNoFile;
  if (OpenFile(path, FileAccess::read, FileShare::denyNone, FileDisposition::openExisting,
               handle) != FileCause::none)
    return false;
  std::uint64_t size = 0;
  bool result = false;
  if (GetFileSize(handle, size) == FileCause::none) {
    const ImageReader reader = [this, handle](std::uint64_t offset, void* buffer,
                                              std::uint32_t count) {
      std::uint64_t position = 0;
      std::uint32_t got = 0;
      if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
      return SeekFile(handle, static_cast<std::int64_t>(offset), SeekOrigin::begin, position) ==
                 FileCause::none &&
             ReadFile(handle, buffer, count, got) == FileCause::none && got == count;
    };
    result = use(reader, size);
  }
  CloseFile(handle);
  return result;
}

bool SimMachine::GetFileVersion(const std::string& path, std::uint64_t& version) {
  version = 0;
  return ReadImage(path, [&version](const ImageReader& read, std::uint64_t size) {
    const std::optional<std::uint64_t> found = ReadImageFileVersion(read, size);
    if (!found) return false;
    version = *found;
    return true;
  });
}

// A shared file belongs in the system directory and is looked for there and
// in the application's directory; any other file belongs in the
// application's directory and is looked for there, in the Windows
// directory and in the system directory.
void SimMachine::FindFileLocation(std::uint32_t flags, const std::string& name,
                                  const std::string& windowsDir, const std::string& appDir,
                                  std::string& currentDir, std::string& destDir) {
  currentDir.clear();
  auto exists = [&](const std::string& dir) {
    std::uint32_t attributes = 0;
    return !dir.empty() && GetFileAttributes(JoinName(dir, name), attributes) == FileCause::none &&
           (attributes & attr::directory) == 0;
  };
  const std::string system = GetSystemDirectory();
  if ((flags & verfind::sharedFile) != 0) {
    destDir = system;
    if (exists(system)) currentDir = system;
    else if (exists(appDir)) currentDir = appDir;
    return;
  }
  destDir = appDir;
  if (exists(appDir)) currentDir = appDir;
  else if (exists(windowsDir)) currentDir = windowsDir;
  else if (exists(system)) currentDir = system;
}

}  // namespace velmora
