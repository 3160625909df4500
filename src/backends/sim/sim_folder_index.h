// Case-insensitive name lookup in host folders without reading the whole
// folder each time.
//
// Windows finds "readme.txt" when the folder holds "ReadMe.TXT"; the host
// does not.  When a name does not exist exactly, the machine has to look
// for one that differs only in case, and reading the folder for that on
// every miss makes filling a folder of n files cost n² directory reads (an
// installation checks every target and temporary name before creating it).
//
// The index keeps, per folder, the names it holds keyed by their lower-case
// form, with the folder's modification time when it was read.  A lookup
// compares that time with the folder's current one and reads the folder
// again when they differ, so changes made from outside are seen.  The
// machine's own changes are applied to the index as they happen (Changing
// before, Added/Removed after), which keeps the index valid while the
// folder's time moves on.
//
// One blind spot remains on file systems whose timestamps are coarse: a
// change from outside made within the same clock tick as the machine's own
// last change to that folder leaves the time as it was.  A name looked up
// in its exact case is always found (the host is asked first); only a
// different-case match of such a name can be missed until the folder
// changes again.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>

namespace velmora::sim {

class FolderIndex {
 public:
  // Finds an entry of dir whose name equals name but for ASCII case.  False
  // when there is none; error is set when dir could not be read.
  bool Find(const std::filesystem::path& dir, const std::string& name, std::string& actual,
            std::error_code& error);

  // Call before the machine changes the entries of dir: an index that no
  // longer matches the folder is dropped, so the change is not applied to
  // stale names.
  void Changing(const std::filesystem::path& dir);
  // Call after the machine added or removed name in dir.
  void Added(const std::filesystem::path& dir, const std::string& name);
  void Removed(const std::filesystem::path& dir, const std::string& name);
  // dir was removed or moved: forgets its index and those of every folder
  // below it.
  void ForgetTree(const std::filesystem::path& dir);

  std::size_t FolderCount() const { return folders_.size(); }

  // More folders than this are not kept: the whole index starts over, so
  // memory stays bounded on machines with many folders.
  static constexpr std::size_t kMaxFolders = 256;

 private:
  struct Folder {
    std::filesystem::file_time_type stamp;
    std::unordered_multimap<std::string, std::string> names;  // lower case -> as stored
  };

  Folder* Current(const std::filesystem::path& dir);
  Folder* Rebuild(const std::filesystem::path& dir, std::error_code& error);
  void Restamp(const std::filesystem::path& dir, Folder& folder);

  std::unordered_map<std::string, Folder> folders_;  // by host path
};

}  // namespace velmora::sim
