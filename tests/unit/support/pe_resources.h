// Reading one resource of a built Windows program (a PE image) by type and
// id, in its first language: the tests check what the build linked in.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::test {

namespace pe_resources {

// A little-endian field; 0 past the end (the image is not trusted).
inline std::uint32_t Field(const std::string& image, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    if (at + static_cast<std::size_t>(i) >= image.size()) return 0;
    value = value << 8 | static_cast<std::uint8_t>(image[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// The entry of a resource directory (at file offset `directory`) with the
// numeric id, or any entry when id is 0: its OffsetToData; 0 when none.
inline std::uint32_t Entry(const std::string& image, std::size_t directory, std::uint32_t id) {
  const std::uint32_t named = Field(image, directory + 12, 2);
  const std::uint32_t count = named + Field(image, directory + 14, 2);
  for (std::uint32_t i = 0; i < count && i < 4096; ++i) {
    const std::size_t entry = directory + 16 + 8 * i;
    if (id == 0 || Field(image, entry, 4) == id) return Field(image, entry + 4, 4);
  }
  return 0;
}

}  // namespace pe_resources

// The bytes of resource type/id; "" when the image has none.
inline std::string PeResource(const std::string& image, std::uint32_t type, std::uint32_t id) {
  using pe_resources::Field;
  const std::size_t pe = Field(image, 0x3C, 4);
  if (image.compare(0, 2, "MZ") != 0 || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
    return {};
  const std::size_t optional = pe + 24;
  const bool plus = Field(image, optional, 2) == 0x20B;
  const std::uint32_t rootRva = Field(image, optional + (plus ? 112 : 96) + 2 * 8, 4);
  // File offset of a relative virtual address, through the section table.
  const std::size_t sections = optional + Field(image, pe + 20, 2);
  auto offset = [&](std::uint32_t rva) -> std::size_t {
    for (std::uint32_t i = 0; i < Field(image, pe + 6, 2); ++i) {
      const std::size_t section = sections + 40 * i;
      const std::uint32_t start = Field(image, section + 12, 4);
      if (rva >= start && rva - start < Field(image, section + 16, 4))
        return Field(image, section + 20, 4) + (rva - start);
    }
    return image.size();
  };
  const std::size_t root = offset(rootRva);
  std::size_t level = root;
  for (const std::uint32_t wanted : {type, id, 0u}) {  // type, name, first language
    const std::uint32_t found = pe_resources::Entry(image, level, wanted);
    if (found == 0) return {};
    level = root + (found & 0x7FFFFFFF);
  }
  const std::size_t data = offset(Field(image, level, 4));
  const std::size_t size = Field(image, level + 4, 4);
  return data + size <= image.size() ? image.substr(data, size) : std::string();
}

}  // namespace velmora::test
