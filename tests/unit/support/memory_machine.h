// MemoryMachine: a Machine over a map of path -> bytes, for unit tests and
// benchmarks that need files but not the simulated Windows machine.
//
// Files behave as on Windows where a test of the file stream can see it:
// open dispositions, access and sharing modes, read/write/seek past the end,
// read-only files, delete and move of open files.  Directories exist only as
// names (the drive root C:\, C:\WINDOWS and C:\WINDOWS\SYSTEM exist from the
// start; SetFile creates missing parents).  Paths are Windows paths, either
// slash, matched case-insensitively; relative paths resolve against the
// current directory.  Only drive C: is present.
//
// Tests reach the bytes directly with SetFile / GetFile / Bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "backends/sim/sim_profile.h"
#include "framework/ascii.h"
#include "platform/machine.h"

namespace velmora::test {

class MemoryMachine : public Machine {
 public:
  using Bytes = std::vector<std::uint8_t>;

  MemoryMachine() {
    directories_[Key("C:\\")] = "C:\\";
    directories_[Key("C:\\WINDOWS")] = "C:\\WINDOWS";
    directories_[Key("C:\\WINDOWS\\SYSTEM")] = "C:\\WINDOWS\\SYSTEM";
  }

  // ---- direct access for tests -------------------------------------------------
  void SetFile(const std::string& path, Bytes bytes) {
    const std::string full = Full(path);
    MakeParents(full);
    Node& node = files_[Key(full)];
    node.name = full;
    node.data = std::move(bytes);
  }
  void SetFile(const std::string& path, std::string_view text) {
    SetFile(path, Bytes(text.begin(), text.end()));
  }
  bool HasFile(const std::string& path) const { return files_.count(Key(Full(path))) != 0; }
  // The file's bytes; throws std::out_of_range when there is no such file.
  const Bytes& GetFile(const std::string& path) const { return files_.at(Key(Full(path))).data; }
  Bytes& MutableFile(const std::string& path) { return files_.at(Key(Full(path))).data; }
  std::string GetText(const std::string& path) const {
    const Bytes& bytes = GetFile(path);
    return std::string(bytes.begin(), bytes.end());
  }
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Number of WriteFile calls that reached a file (tests of write batching).
  std::uint64_t WriteCalls() const { return writeCalls_; }

  // ---- Machine -----------------------------------------------------------------
  std::string Name() const override { return "memory"; }

  FileCause OpenFile(const std::string& path, FileAccess access, FileShare share,
                     FileDisposition disposition, FileHandle& handle) override {
    handle = kNoFile;
    const std::string full = Full(path);
    if (full.empty()) return FileCause::badPath;
    const std::string key = Key(full);
    if (directories_.count(key) != 0) return FileCause::accessDenied;
    auto found = files_.find(key);
    if (found == files_.end()) {
      if (disposition == FileDisposition::openExisting) return FileCause::fileNotFound;
      if (directories_.count(Key(Parent(full))) == 0) return FileCause::badPath;
    } else {
      const bool writing = access != FileAccess::read;
      if ((found->second.attributes & attr::readOnly) != 0 &&
          (writing || disposition == FileDisposition::createAlways)) {
        return FileCause::accessDenied;
      }
      for (const auto& [other, open] : handles_) {
        if (open.key == key && !Compatible(open, access, share)) return FileCause::sharingViolation;
      }
    }
    Node& node = files_[key];
    if (found == files_.end()) node.name = full;
    if (disposition == FileDisposition::createAlways) node.data.clear();
    handle = nextHandle_++;
    handles_[handle] = Open{key, access, share, 0};
    return FileCause::none;
  }

  FileCause ReadFile(FileHandle handle, void* buffer, std::uint32_t count,
                     std::uint32_t& got) override {
    got = 0;
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    if (open->access == FileAccess::write) return FileCause::accessDenied;
    const Bytes& data = files_[open->key].data;
    if (open->position < data.size()) {
      const std::uint64_t left = data.size() - open->position;
      got = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, count));
      std::memcpy(buffer, data.data() + open->position, got);
      open->position += got;
    }
    return FileCause::none;
  }

  FileCause WriteFile(FileHandle handle, const void* buffer, std::uint32_t count) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    if (open->access == FileAccess::read) return FileCause::accessDenied;
    ++writeCalls_;
    Bytes& data = files_[open->key].data;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (open->position == data.size()) {
      data.insert(data.end(), bytes, bytes + count);
    } else {
      if (open->position + count > data.size()) data.resize(open->position + count);
      std::memcpy(data.data() + open->position, bytes, count);
    }
    open->position += count;
    return FileCause::none;
  }

  FileCause SeekFile(FileHandle handle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    std::int64_t base = 0;
    if (origin == SeekOrigin::current) base = static_cast<std::int64_t>(open->position);
    if (origin == SeekOrigin::end) base = static_cast<std::int64_t>(files_[open->key].data.size());
    if (base + offset < 0) return FileCause::badSeek;
    open->position = static_cast<std::uint64_t>(base + offset);
    position = open->position;
    return FileCause::none;
  }

  FileCause GetFileSize(FileHandle handle, std::uint64_t& size) override {
    Open* open = Find(handle);
    if (open == nullptr) return FileCause::invalidFile;
    size = files_[open->key].data.size();
    return FileCause::none;
  }

  FileCause FlushFile(FileHandle handle) override {
    return Find(handle) == nullptr ? FileCause::invalidFile : FileCause::none;
  }

  FileCause CloseFile(FileHandle handle) override {
    return handles_.erase(handle) == 0 ? FileCause::invalidFile : FileCause::none;
  }

  FileCause DeleteFile(const std::string& path) override {
    const std::string key = Key(Full(path));
    if (directories_.count(key) != 0) return FileCause::accessDenied;
    auto found = files_.find(key);
    if (found == files_.end()) return FileCause::fileNotFound;
    if (IsOpen(key)) return FileCause::sharingViolation;
    if ((found->second.attributes & attr::readOnly) != 0) return FileCause::accessDenied;
    files_.erase(found);
    return FileCause::none;
  }

  FileCause MoveFile(const std::string& from, const std::string& to) override {
    const std::string source = Key(Full(from));
    const std::string target = Full(to);
    if (target.empty()) return FileCause::badPath;
    auto found = files_.find(source);
    if (found == files_.end()) {
      return directories_.count(source) != 0 ? FileCause::accessDenied : FileCause::fileNotFound;
    }
    if (Exists(Key(target))) return FileCause::accessDenied;
    if (directories_.count(Key(Parent(target))) == 0) return FileCause::badPath;
    if (IsOpen(source)) return FileCause::sharingViolation;
    Node node = std::move(found->second);
    files_.erase(found);
    node.name = target;
    files_[Key(target)] = std::move(node);
    return FileCause::none;
  }

  FileCause CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    auto found = files_.find(Key(Full(from)));
    if (found == files_.end()) return FileCause::fileNotFound;
    const std::string target = Full(to);
    if (target.empty()) return FileCause::badPath;
    const std::string key = Key(target);
    if (directories_.count(key) != 0) return FileCause::accessDenied;
    auto existing = files_.find(key);
    if (existing != files_.end()) {
      if (failIfExists || (existing->second.attributes & attr::readOnly) != 0) {
        return FileCause::accessDenied;
      }
      if (IsOpen(key)) return FileCause::sharingViolation;
    } else if (directories_.count(Key(Parent(target))) == 0) {
      return FileCause::badPath;
    }
    Node copy = found->second;
    copy.name = target;
    files_[key] = std::move(copy);
    return FileCause::none;
  }

  FileCause CreateDirectory(const std::string& path) override {
    const std::string full = Full(path);
    if (full.empty()) return FileCause::badPath;
    if (Exists(Key(full))) return FileCause::accessDenied;
    if (directories_.count(Key(Parent(full))) == 0) return FileCause::badPath;
    directories_[Key(full)] = full;
    return FileCause::none;
  }

  FileCause RemoveDirectory(const std::string& path) override {
    const std::string full = Full(path);
    const std::string key = Key(full);
    if (directories_.count(key) == 0) {
      return files_.count(key) != 0 ? FileCause::badPath : FileCause::fileNotFound;
    }
    if (key == Key(current_)) return FileCause::removeCurrentDir;
    if (key.size() <= 3) return FileCause::accessDenied;  // a drive root
    const std::string prefix = key + "\\";
    auto under = [&](const auto& map) {
      auto it = map.lower_bound(prefix);
      return it != map.end() && it->first.compare(0, prefix.size(), prefix) == 0;
    };
    if (under(files_) || under(directories_)) return FileCause::accessDenied;
    directories_.erase(key);
    return FileCause::none;
  }

  FileCause GetFileAttributes(const std::string& path, std::uint32_t& attributes) override {
    const std::string key = Key(Full(path));
    if (directories_.count(key) != 0) {
      attributes = attr::directory;
      return FileCause::none;
    }
    auto found = files_.find(key);
    if (found == files_.end()) return FileCause::fileNotFound;
    attributes = found->second.attributes;
    return FileCause::none;
  }

  FileCause SetFileAttributes(const std::string& path, std::uint32_t attributes) override {
    auto found = files_.find(Key(Full(path)));
    if (found == files_.end()) {
      return directories_.count(Key(Full(path))) != 0 ? FileCause::none : FileCause::fileNotFound;
    }
    attributes &= ~attr::directory;
    found->second.attributes = attributes == 0 ? attr::normal : attributes;
    return FileCause::none;
  }

  FileCause ListDirectory(const std::string& path, std::vector<DirEntry>& entries) override {
    entries.clear();
    const std::string key = Key(Full(path));
    if (directories_.count(key) == 0) return FileCause::badPath;
    const std::string prefix = key.back() == '\\' ? key : key + "\\";
    for (const auto& [childKey, node] : files_) {
      if (IsChild(prefix, childKey)) {
        entries.push_back({BaseName(node.name), node.attributes, node.data.size()});
      }
    }
    for (const auto& [childKey, name] : directories_) {
      if (IsChild(prefix, childKey)) entries.push_back({BaseName(name), attr::directory, 0});
    }
    return FileCause::none;
  }

  FileCause CreateTempFile(const std::string& directory, const std::string& prefix,
                           std::string& path) override {
    const std::string dir = Full(directory);
    if (dir.empty() || directories_.count(Key(dir)) == 0) return FileCause::badPath;
    for (;;) {
      char name[16];
      std::snprintf(name, sizeof name, "%.3s%X.tmp", prefix.c_str(), ++tempNumber_ & 0xFFFFu);
      const std::string candidate = Join(dir, name);
      if (Exists(Key(candidate))) continue;
      files_[Key(candidate)] = Node{candidate, {}, attr::archive};
      path = candidate;
      return FileCause::none;
    }
  }

  std::string GetCurrentDirectory() override { return current_; }
  FileCause SetCurrentDirectory(const std::string& path) override {
    const std::string full = Full(path);
    if (full.empty()) return FileCause::badPath;
    auto found = directories_.find(Key(full));
    if (found == directories_.end()) {
      return files_.count(Key(full)) != 0 ? FileCause::badPath : FileCause::fileNotFound;
    }
    current_ = found->second;
    return FileCause::none;
  }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string GetSystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string GetFullPathName(const std::string& path) override { return Full(path); }
  DriveType GetDriveType(const std::string& root) override {
    return !root.empty() && AsciiUpper(root[0]) == 'C'
               ? DriveType::fixed
               : DriveType::noRootDir;
  }
  std::uint32_t GetLogicalDrives() override { return 1u << 2; }

  // ---- profile files: the sim's, over the files above ----------------------------
  std::string QueryProfileString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override {
    return sim::QueryProfileString(*this, file, section, key, defaultValue, size);
  }
  FileCause SetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    return sim::SetProfileString(*this, file, section, key, value);
  }
  FileCause DeleteProfileKey(const std::string& file, const std::string& section,
                             const std::string& key) override {
    return sim::DeleteProfileKey(*this, file, section, key);
  }
  FileCause DeleteProfileSection(const std::string& file, const std::string& section) override {
    return sim::DeleteProfileSection(*this, file, section);
  }

  // ---- registry ------------------------------------------------------------------
  long QueryRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t available, RegData& data) override {
    std::string path;
    if (const long error = RegPath(root, subKey, true, path)) return error;
    auto key = keys_.find({root, path});
    if (key == keys_.end()) return path.empty() ? RegRootValue(valueName) : winerror::fileNotFound;
    auto value = key->second.values.find(Key(valueName));
    if (value == key->second.values.end()) return winerror::fileNotFound;
    data.type = value->second.type;
    data.size = static_cast<std::uint32_t>(value->second.bytes.size());
    data.bytes.clear();
    if (data.size > available) return winerror::moreData;
    data.bytes = value->second.bytes;
    return winerror::success;
  }

  long SetRegValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                   std::uint32_t type, const void* bytes, std::uint32_t size) override {
    std::string path;
    if (const long error = RegPath(root, subKey, false, path)) return error;
    // Create the key and every missing key above it, keeping their case.
    std::string names = NormalRegPath(subKey);
    for (std::size_t at = 0;; ++at) {
      at = names.find('\\', at);
      const std::string prefix = at == std::string::npos ? names : names.substr(0, at);
      RegKey& key = keys_[{root, Key(prefix)}];
      if (key.name.empty()) key.name = prefix;
      if (at == std::string::npos) break;
    }
    RegValue value{valueName, type, {}};
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    if (size != 0) value.bytes.assign(first, first + size);
    const bool text = type == regtype::sz || type == regtype::expandSz || type == regtype::multiSz;
    if (text && !value.bytes.empty() && value.bytes.back() != 0) value.bytes.push_back(0);
    keys_[{root, path}].values[Key(valueName)] = std::move(value);
    return winerror::success;
  }

  long DeleteRegKey(hkey::Root root, const std::string& subKey) override {
    std::string path;
    if (const long error = RegPath(root, subKey, false, path)) return error;
    if (path.empty()) return winerror::accessDenied;
    auto key = keys_.find({root, path});
    if (key == keys_.end()) return winerror::fileNotFound;
    const std::string prefix = path + "\\";
    auto child = keys_.lower_bound({root, prefix});
    if (child != keys_.end() && child->first.first == root &&
        child->first.second.compare(0, prefix.size(), prefix) == 0) {
      return winerror::accessDenied;  // has subkeys
    }
    keys_.erase(key);
    return winerror::success;
  }

  long ListRegKey(hkey::Root root, const std::string& subKey, std::vector<std::string>& subKeys,
                  std::vector<RegValue>& values) override {
    subKeys.clear();
    values.clear();
    std::string path;
    if (const long error = RegPath(root, subKey, true, path)) return error;
    auto key = keys_.find({root, path});
    if (key == keys_.end() && !path.empty()) return winerror::fileNotFound;
    if (key != keys_.end()) {
      for (const auto& [name, value] : key->second.values) values.push_back(value);
    }
    const std::string prefix = path.empty() ? "" : path + "\\";
    for (auto it = keys_.lower_bound({root, prefix}); it != keys_.end() && it->first.first == root;
         ++it) {
      const std::string& child = it->first.second;
      if (child.compare(0, prefix.size(), prefix) != 0) break;
      if (child.size() > prefix.size() && child.find('\\', prefix.size()) == std::string::npos) {
        subKeys.push_back(BaseName(it->second.name));
      }
    }
    return winerror::success;
  }

 private:
  struct RegKey {
    std::string name;  // path as created, case kept
    std::map<std::string, RegValue> values;  // key: upper-case value name
  };

  static bool IsRoot(hkey::Root root) { return root >= hkey::classesRoot && root <= hkey::dynData; }
  static std::string NormalRegPath(const std::string& subKey) {
    std::string out;
    for (std::size_t at = 0; at <= subKey.size();) {
      const std::size_t next = std::min(subKey.find('\\', at), subKey.size());
      if (next > at) {
        if (!out.empty()) out += '\\';
        out.append(subKey, at, next - at);
      }
      at = next + 1;
    }
    return out;
  }
  // The upper-case key path, or the error the interface gives for it.
  static long RegPath(hkey::Root root, std::string subKey, bool reading, std::string& path) {
    if (!IsRoot(root) || root == hkey::performanceData) return winerror::invalidHandle;
    if (reading && root == hkey::classesRoot && !subKey.empty() && subKey[0] == '\\') {
      subKey.erase(0, 1);
    }
    if (!subKey.empty() && subKey[0] == '\\') return winerror::badPathname;
    path = Key(NormalRegPath(subKey));
    return winerror::success;
  }
  static long RegRootValue(const std::string&) { return winerror::fileNotFound; }

  struct Node {
    std::string name;  // full path, case as created
    Bytes data;
    std::uint32_t attributes = attr::archive;
  };
  struct Open {
    std::string key;
    FileAccess access;
    FileShare share;
    std::uint64_t position;
  };

  static std::string Key(std::string path) {
    return AsciiUppered(std::move(path));
  }
  static std::string Parent(const std::string& full) {
    const auto slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash < 2) return full;
    return slash == 2 ? full.substr(0, 3) : full.substr(0, slash);
  }
  static std::string BaseName(const std::string& full) {
    return full.substr(full.find_last_of('\\') + 1);
  }
  static std::string Join(const std::string& dir, const std::string& name) {
    return dir.back() == '\\' ? dir + name : dir + "\\" + name;
  }
  static bool IsChild(const std::string& prefix, const std::string& key) {
    return key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
           key.find('\\', prefix.size()) == std::string::npos;
  }
  static bool Reads(FileAccess access) { return access != FileAccess::write; }
  static bool Writes(FileAccess access) { return access != FileAccess::read; }
  static bool DeniesRead(FileShare share) {
    return share == FileShare::denyRead || share == FileShare::exclusive;
  }
  static bool DeniesWrite(FileShare share) {
    return share == FileShare::denyWrite || share == FileShare::exclusive;
  }
  static bool Compatible(const Open& open, FileAccess access, FileShare share) {
    if ((Reads(access) && DeniesRead(open.share)) || (Writes(access) && DeniesWrite(open.share))) {
      return false;
    }
    return !((Reads(open.access) && DeniesRead(share)) ||
             (Writes(open.access) && DeniesWrite(share)));
  }

  // Full path with "." and ".." folded and backslashes only; empty when the
  // name is not a valid path.
  std::string Full(std::string path) const {
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.empty()) return {};
    std::string drive = current_.substr(0, 2);
    std::string rest;
    if (path.size() >= 2 && path[1] == ':') {
      drive = std::string(1, AsciiUpper(path[0])) + ":";
      rest = path.substr(2);
      if (rest.empty() || rest[0] != '\\') {
        rest = (Key(drive) == Key(current_.substr(0, 2)) ? current_.substr(2) : "\\") + "\\" + rest;
      }
    } else if (path[0] == '\\') {
      rest = path;
    } else {
      rest = current_.substr(2) + "\\" + path;
    }
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= rest.size()) {
      const std::size_t next = std::min(rest.find('\\', at), rest.size());
      const std::string part = rest.substr(at, next - at);
      at = next + 1;
      if (part.empty() || part == ".") continue;
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
        continue;
      }
      if (part.find_first_of("<>:\"|?*") != std::string::npos) return {};
      parts.push_back(part);
    }
    std::string full = drive + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (i != 0) full += '\\';
      full += parts[i];
    }
    return full;
  }

  void MakeParents(const std::string& full) {
    std::string parent = Parent(full);
    std::vector<std::string> missing;
    while (directories_.count(Key(parent)) == 0) {
      missing.push_back(parent);
      const std::string up = Parent(parent);
      if (up == parent) break;
      parent = up;
    }
    for (const std::string& dir : missing) directories_[Key(dir)] = dir;
  }

  bool Exists(const std::string& key) const {
    return files_.count(key) != 0 || directories_.count(key) != 0;
  }
  bool IsOpen(const std::string& key) const {
    return std::any_of(handles_.begin(), handles_.end(),
                       [&](const auto& entry) { return entry.second.key == key; });
  }
  Open* Find(FileHandle handle) {
    auto found = handles_.find(handle);
    return found == handles_.end() ? nullptr : &found->second;
  }

  std::map<std::string, Node> files_;              // key: upper-case full path
  std::map<std::string, std::string> directories_;  // key -> full path as created
  std::map<FileHandle, Open> handles_;
  std::map<std::pair<hkey::Root, std::string>, RegKey> keys_;
  FileHandle nextHandle_ = 1;
  std::string current_ = "C:\\";
  unsigned tempNumber_ = 0;
  std::uint64_t writeCalls_ = 0;
};

}  // namespace velmora::test
