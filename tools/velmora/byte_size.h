// Sizes as people write them on the command line ("1457664", "64K",
// "1.44M", "floppy") and read them in reports ("512 bytes", "12.4 KB").
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::cli {

// What a 1.44 MB diskette holds: 80 tracks, 2 sides, 18 sectors of 512.
inline constexpr std::uint64_t kFloppyBytes = 1457664;

// The bytes `text` stands for: a whole number of bytes; a number with K
// (1,024 bytes) or M (1,048,576 bytes), in either case, whose decimals are
// rounded down to a whole byte ("1.44M" is 1,509,949); or "floppy".  None
// for anything else, decimals without K or M among it.
std::optional<std::uint64_t> ParseByteSize(std::string_view text);

// Rewrites an option's value to its number of bytes before the option's
// checks run; a value that is not a size fails with a message that says
// what a size is.
CLI::Validator ByteSizeOption();

// A byte count for people: "512 bytes", "12.4 KB", "3.1 MB", with K and M
// of 1,024 and 1,048,576 bytes as ParseByteSize takes them.
std::string SizeText(std::uint64_t bytes);

}  // namespace velmora::cli
