// A payload read from a file of the computer the package is made on,
// opened anew for every read so that packages of many files do not keep
// many files open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "authoring/payload_source.h"

namespace velmora {

class FilePayload : public PayloadSource {
 public:
  // `size` is the file's size when it was looked at; its modification time
  // is taken now.  Every read checks that the file still has both, so a file
  // changed while it is read, a chunk at a time, is reported rather than
  // packed half old and half new.
  FilePayload(std::filesystem::path path, std::uint64_t size);

  std::uint64_t Size() const override { return size_; }
  std::string Name() const override { return path_.string(); }
  void Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const override;

 private:
  std::filesystem::path path_;
  std::uint64_t size_;
  std::filesystem::file_time_type modified_;  // the minimum when it cannot be read
};

}  // namespace velmora
