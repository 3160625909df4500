// Profile files read and written through a machine's file operations.
#include "backends/sim/sim_profile.h"

#include <functional>

#include "backends/sim/sim_profile_text.h"

namespace velmora::sim {
namespace {

constexpr std::uint32_t kChunk = 64 * 1024;

bool IsBareName(const std::string& file) {
  if (file.find_first_of("\\/") != std::string::npos) return false;
  const bool drive = file.size() >= 2 && file[1] == ':' &&
                     ((file[0] >= 'A' && file[0] <= 'Z') || (file[0] >= 'a' && file[0] <= 'z'));
  return !drive;  // "C:APP.INI" is relative to C:'s current directory
}

// Reads the whole file.  A missing file is no failure: it reads as empty,
// with exists false.  Opening with write access makes a file that cannot
// be written (read-only, or open elsewhere without write sharing) fail
// before anything is changed.
FileCause LoadFile(Machine& machine, const std::string& path, FileAccess access, std::string& bytes,
                   bool& exists) {
  bytes.clear();
  exists = false;
  FileHandle handle = kNoFile;
  FileCause cause =
      machine.OpenFile(path, access, FileShare::denyNone, FileDisposition::openExisting, handle);
  if (cause == FileCause::fileNotFound) return FileCause::none;
  if (cause != FileCause::none) return cause;
  exists = true;
  std::string chunk(kChunk, '\0');
  for (;;) {
    std::uint32_t got = 0;
    cause = machine.ReadFile(handle, chunk.data(), kChunk, got);
    if (cause != FileCause::none || got == 0) break;
    bytes.append(chunk.data(), got);
  }
  const FileCause closed = machine.CloseFile(handle);
  return cause != FileCause::none ? cause : closed;
}

// Replaces the file's content with bytes (creating the file when missing).
FileCause StoreFile(Machine& machine, const std::string& path, const std::string& bytes) {
  FileHandle handle = kNoFile;
  FileCause cause = machine.OpenFile(path, FileAccess::write, FileShare::denyNone,
                                     FileDisposition::createAlways, handle);
  if (cause != FileCause::none) return cause;
  if (!bytes.empty())
    cause = machine.WriteFile(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  const FileCause closed = machine.CloseFile(handle);
  return cause != FileCause::none ? cause : closed;
}

// Writes the new content.  Replacing a file truncates it first, so a write
// that then fails (a full disk, an I/O error) would leave the file empty or
// cut short: the old content is put back, and a file that this write
// created is removed again.  Hidden and system files cannot be replaced as
// such (CREATE_ALWAYS refuses them), so those bits are lifted for the write
// and set again after it.
FileCause SaveFile(Machine& machine, const std::string& path, bool exists, const std::string& old,
                   const std::string& bytes) {
  constexpr std::uint32_t kGuarded = attr::hidden | attr::system;
  std::uint32_t attributes = 0;
  if (exists) {
    if (const FileCause cause = machine.GetFileAttributes(path, attributes);
        cause != FileCause::none)
      return cause;
  }
  const bool lifted = (attributes & kGuarded) != 0;
  if (lifted) {
    if (const FileCause cause = machine.SetFileAttributes(path, attributes & ~kGuarded);
        cause != FileCause::none)
      return cause;
  }
  const FileCause cause = StoreFile(machine, path, bytes);
  if (cause != FileCause::none) {
    if (exists) StoreFile(machine, path, old);
    else machine.DeleteFile(path);
  }
  if (lifted) machine.SetFileAttributes(path, attributes | attr::archive);
  return cause;
}

// Loads the file, applies edit, and saves the result when edit reports a
// change.
FileCause EditProfile(Machine& machine, const std::string& file,
                      const std::function<bool(ProfileText&)>& edit) {
  const std::string path = ProfileFilePath(machine, file);
  std::string old;
  bool exists = false;
  if (const FileCause cause = LoadFile(machine, path, FileAccess::readWrite, old, exists);
      cause != FileCause::none)
    return cause;
  ProfileText text = ParseProfile(old);
  if (!edit(text)) return FileCause::none;
  return SaveFile(machine, path, exists, old, FormatProfile(text));
}

}  // namespace

std::string ProfileFilePath(Machine& machine, const std::string& file) {
  std::string name(UpToNul(file));
  if (!IsBareName(name)) return name;
  std::string path = machine.GetWindowsDirectory();
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + name;
}

std::string QueryProfileString(Machine& machine, const std::string& file,
                               const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::uint32_t size) {
  const std::string_view fallback = TrimProfileDefault(defaultValue);
  std::string bytes;
  bool exists = false;
  if (LoadFile(machine, ProfileFilePath(machine, file), FileAccess::read, bytes, exists) !=
      FileCause::none) {
    // A file that is there but cannot be read gives the default as it
    // stands, quotes and all.
    return size == 0 ? std::string() : std::string(fallback.substr(0, size - 1));
  }
  const ProfileText text = ParseProfile(bytes);
  const ProfileLine* line = FindProfileLine(text, section, key);
  return CopyProfileValue(
      line != nullptr && line->value ? std::string_view(*line->value) : fallback, size);
}

FileCause SetProfileString(Machine& machine, const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value) {
  return EditProfile(machine, file,
                     [&](ProfileText& text) { return SetProfileLine(text, section, key, value); });
}

FileCause DeleteProfileKey(Machine& machine, const std::string& file, const std::string& section,
                           const std::string& key) {
  return EditProfile(machine, file,
                     [&](ProfileText& text) { return DeleteProfileLine(text, section, key); });
}

FileCause DeleteProfileSection(Machine& machine, const std::string& file,
                               const std::string& section) {
  return EditProfile(machine, file,
                     [&](ProfileText& text) { return sim::DeleteProfileSection(text, section); });
}

}  // namespace velmora::sim
