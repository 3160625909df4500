// Where the contents of a file step come from while a package is made.  The
// package writer reads them a chunk at a time, in order (only the chunks it
// read ahead of one it cut short are read again), so a payload never has to
// be held in memory whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "authoring/package_error.h"

namespace velmora {

// A payload's bytes could not be read, or changed while they were read.  The
// message names the file.
class PayloadReadError : public PackageError {
 public:
  using PackageError::PackageError;
};

class PayloadSource {
 public:
  virtual ~PayloadSource() = default;

  // Number of bytes; fixed from when the source was made.
  virtual std::uint64_t Size() const = 0;
  // What to call the source in messages (a file's path); empty for bytes in
  // memory.
  virtual std::string Name() const = 0;
  // Copies the `length` bytes at `offset` into `buffer`.  Throws
  // PayloadReadError when they cannot be read.
  virtual void Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const = 0;
};

// Bytes held in memory by someone else, who keeps them alive and unchanged.
class MemoryPayload : public PayloadSource {
 public:
  MemoryPayload(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint64_t Size() const override { return size_; }
  std::string Name() const override { return {}; }
  void Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace velmora
