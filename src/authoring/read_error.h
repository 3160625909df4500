// The error of the readers behind the tools (packages, uninstall logs): its
// kind and one line for people, "KIND: FILE at OFFSET: what".
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "datafile/read_error_kind.h"

namespace velmora {

class ReadError : public std::runtime_error {
 public:
  // `file` may be empty; `offset` is left out where it says nothing (a
  // media file that is not there).
  ReadError(ReadErrorKind kind, const std::string& file, std::optional<std::uint64_t> offset,
            const std::string& what);

  ReadErrorKind Kind() const { return kind_; }

 private:
  ReadErrorKind kind_;
};

// "corrupt", "unsupported", "missing media", "I/O error".
const char* ReadErrorKindName(ReadErrorKind kind);

}  // namespace velmora
