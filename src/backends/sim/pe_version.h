// Reading what the installer needs from a Windows executable image (PE)
// without the Windows loader: the file version of its version resource, and
// whether it exports a function by name.  The sim machine uses this in
// place of the version library and LoadLibrary/GetProcAddress.
//
// Image files are untrusted input: every offset and length read from the
// file is checked against the file's size and the structure holding it
// before it is used, loops are bounded, and a malformed image simply has no
// version (or no export).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Reads count bytes at offset; false when they are not all there.
using ImageReader = std::function<bool(std::uint64_t offset, void* buffer, std::uint32_t count)>;

// dwFileVersionMS << 32 | dwFileVersionLS of the first version resource
// (type 16); nullopt when there is none or the image is malformed.
std::optional<std::uint64_t> ReadImageFileVersion(const ImageReader& read, std::uint64_t size);
// True when the image is a PE file whose export directory names `name`.
bool ImageExportsName(const ImageReader& read, std::uint64_t size, const std::string& name);
// True when the bytes start a PE image ("MZ", then "PE\0\0" where e_lfanew points).
bool IsPeImage(const ImageReader& read, std::uint64_t size);

// The same on bytes in memory.
std::optional<std::uint64_t> ReadImageFileVersion(const std::vector<std::uint8_t>& bytes);
bool ImageExportsName(const std::vector<std::uint8_t>& bytes, const std::string& name);

}  // namespace velmora
