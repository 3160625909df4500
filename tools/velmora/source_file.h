// A file a manifest names: its contents and its times as a package stores
// them (seconds since 1970-01-01 UTC, 32 bits).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

struct SourceFile {
  std::vector<std::uint8_t> contents;
  std::int64_t created = 0;   // the file's birth time where the host keeps one,
  std::int64_t modified = 0;  // else its modification time
};

// nullopt when the file cannot be read; `why` then says why.
std::optional<SourceFile> ReadSourceFile(const std::filesystem::path& path, std::string& why);

}  // namespace velmora::cli
