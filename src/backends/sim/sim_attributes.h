// The attribute bits (read-only, hidden, system, archive) of the simulated
// machine's files and directories.  The host file system cannot keep them
// (and a root user ignores permission bits anyway), so the sim keeps them
// itself, keyed by the resolved name ("C/dir/file", lower case), and saves
// them under the machine's private folder so a later machine on the same
// root sees them.  Only values that differ from the default are kept: a
// file defaults to archive, a directory to no bits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace velmora::sim {

class AttributeStore {
 public:
  // storeFile empty: kept in memory only.
  explicit AttributeStore(std::filesystem::path storeFile = {});

  // The bits kept for key (kStoredBits), or the default.
  std::uint32_t Get(const std::string& key, bool isDirectory) const;
  void Set(const std::string& key, bool isDirectory, std::uint32_t bits);
  // Forgets key and everything below it (a new file or directory there
  // starts with defaults).
  void Erase(const std::string& key);
  // Carries key and everything below it to a new name.
  void Move(const std::string& from, const std::string& to);

  static constexpr std::uint32_t kKeptBits = 0x27;  // readOnly|hidden|system|archive
  // Kept beside those, out of SetFileAttributes' reach: a directory that is
  // a link to another place, and one made with permissions of its own.
  static constexpr std::uint32_t kReparseBit = 0x400;
  static constexpr std::uint32_t kProtectedBit = 0x40000000;
  static constexpr std::uint32_t kStoredBits = kKeptBits | kReparseBit | kProtectedBit;

 private:
  void Load();
  void Save() const;
  template <typename F>
  bool ForSubtree(const std::string& key, F&& visit);

  std::filesystem::path file_;
  std::map<std::string, std::uint32_t> bits_;
};

}  // namespace velmora::sim
