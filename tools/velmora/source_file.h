// A file a manifest names: where its contents are read from while the
// package is written, and its times as a package stores them (seconds since
// 1970-01-01 UTC, 32 bits).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "authoring/payload_source.h"

namespace velmora::cli {

struct SourceFile {
  // Reads the file when the package is written; its size is the file's
  // size now.
  std::shared_ptr<const PayloadSource> contents;
  std::int64_t created = 0;   // the file's birth time where the host keeps one,
  std::int64_t modified = 0;  // else its modification time
};

// nullopt when the file cannot be read; `why` then says why.  Only opens the
// file and looks at it: its contents are read later, a chunk at a time.
// With SOURCE_DATE_EPOCH set, both times are that instead of the file's.
std::optional<SourceFile> OpenSourceFile(const std::filesystem::path& path, std::string& why);

// SOURCE_DATE_EPOCH, the time reproducible builds stamp their outputs with:
// nullopt when it is not set (or empty).  Throws std::invalid_argument when
// it is not a whole number of seconds the package's 32-bit times hold.
std::optional<std::int64_t> SourceDateEpoch();

}  // namespace velmora::cli
