#include "backends/sim/sim_folder_index.h"

#include "backends/sim/sim_paths.h"
#include "framework/ascii.h"

namespace velmora::sim {
namespace fs = std::filesystem;

namespace {

bool SameStamp(const fs::path& dir, fs::file_time_type stamp) {
  std::error_code ec;
  const fs::file_time_type now = fs::last_write_time(dir, ec);
  return !ec && now == stamp;
}

}  // namespace

bool FolderIndex::Find(const fs::path& dir, const std::string& name, std::string& actual,
                       std::error_code& error) {
  Folder* folder = Current(dir);
  if (folder == nullptr) folder = Rebuild(dir, error);
  if (folder == nullptr) return false;
  const auto it = folder->names.find(AsciiLowered(name));
  if (it == folder->names.end()) return false;
  actual = it->second;
  return true;
}

void FolderIndex::Changing(const fs::path& dir) {
  const auto it = folders_.find(dir.string());
  if (it != folders_.end() && !SameStamp(dir, it->second.stamp)) folders_.erase(it);
}

void FolderIndex::Added(const fs::path& dir, const std::string& name) {
  const auto it = folders_.find(dir.string());
  if (it == folders_.end()) return;
  auto& names = it->second.names;
  const std::string key = AsciiLowered(name);
  const auto [first, last] = names.equal_range(key);
  bool known = false;
  for (auto entry = first; entry != last && !known; ++entry) known = entry->second == name;
  if (!known) names.emplace(key, name);
  Restamp(dir, it->second);
}

void FolderIndex::Removed(const fs::path& dir, const std::string& name) {
  const auto it = folders_.find(dir.string());
  if (it == folders_.end()) return;
  auto& names = it->second.names;
  const auto [first, last] = names.equal_range(AsciiLowered(name));
  for (auto entry = first; entry != last; ++entry) {
    if (entry->second == name) {
      names.erase(entry);
      break;
    }
  }
  Restamp(dir, it->second);
}

void FolderIndex::ForgetTree(const fs::path& dir) {
  const std::string top = dir.string();
  const std::string below = (dir / "").string();
  std::erase_if(folders_, [&](const auto& entry) {
    return entry.first == top || entry.first.starts_with(below);
  });
}

FolderIndex::Folder* FolderIndex::Current(const fs::path& dir) {
  const auto it = folders_.find(dir.string());
  if (it == folders_.end()) return nullptr;
  if (SameStamp(dir, it->second.stamp)) return &it->second;
  folders_.erase(it);
  return nullptr;
}

// Reads dir afresh.  The time is taken before the names: a change made
// while they are read leaves a newer time behind, and the next lookup
// reads the folder again.
FolderIndex::Folder* FolderIndex::Rebuild(const fs::path& dir, std::error_code& error) {
  Folder folder;
  folder.stamp = fs::last_write_time(dir, error);
  if (error) return nullptr;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    folder.names.emplace(AsciiLowered(name), std::move(name));
  }
  if (error) return nullptr;
  if (folders_.size() >= kMaxFolders) folders_.clear();
  return &(folders_[dir.string()] = std::move(folder));
}

// After a change of the machine's own, the folder's new time is the one
// that matches the updated names.
void FolderIndex::Restamp(const fs::path& dir, Folder& folder) {
  std::error_code ec;
  const fs::file_time_type stamp = fs::last_write_time(dir, ec);
  if (ec) {
    folders_.erase(dir.string());
    return;
  }
  folder.stamp = stamp;
}

}  // namespace velmora::sim
