// Byte counts as people read them: "512 bytes", "12.4 KB", "3.1 MB", with
// K and M of 1,024 and 1,048,576 bytes as the size options take them
// (byte_size.h).
#pragma once

#include <cstdint>
#include <string>

namespace velmora::cli {

std::string SizeText(std::uint64_t bytes);

}  // namespace velmora::cli
