// Host file access for the simulated machine through C stdio, which reports
// errno on every platform and takes wide names on Windows hosts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "framework/file_exception.h"

namespace velmora::sim {

// mode as for fopen ("rb", "r+b", "wb").
std::FILE* OpenHostFile(const std::filesystem::path& path, const char* mode);
bool SeekHostFile(std::FILE* stream, std::uint64_t position);
bool HostFileSize(std::FILE* stream, std::uint64_t& size);
// Copies from's bytes into to, creating or truncating it.  (The standard
// library's copy_file cannot be used: MinGW's refuses to overwrite.)
FileCause CopyHostFile(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace velmora::sim
