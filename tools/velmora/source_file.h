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
std::optional<SourceFile> OpenSourceFile(const std::filesystem::path& path, std::string& why);

}  // namespace velmora::cli
