#include "backends/sim/pe_version.h"

#include <cstring>

#include "framework/little_endian.h"

namespace velmora {
namespace {

constexpr std::uint32_t kMaxSections = 96;  // the loader's own limit
constexpr std::uint32_t kMaxResourceEntries = 4096;
constexpr std::uint32_t kMaxExportNames = 65536;
constexpr std::uint32_t kMaxExportNameLength = 512;
constexpr std::uint32_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr std::uint32_t kDirExport = 0;
constexpr std::uint32_t kDirResource = 2;

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

// The parts of a PE image's headers the lookups need.
class Image {
 public:
  Image(const ImageReader& read, std::uint64_t size) : read_(read), size_(size) {}

  bool Parse() {
    std::uint8_t mz[2];
    if (!Read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return false;
    std::uint32_t peOffset = 0;
    if (!U32(0x3C, peOffset)) return false;
    std::uint8_t sig[4];
    if (!Read(peOffset, sig, 4) || std::memcmp(sig, "PE\0\0", 4) != 0) return false;
    const std::uint64_t coff = static_cast<std::uint64_t>(peOffset) + 4;
    std::uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
    if (!U16(coff + 2, sectionCount) || !U16(coff + 16, optionalSize)) return false;
    const std::uint64_t optional = coff + 20;
    if (optionalSize < 2 || !U16(optional, magic)) return false;
    std::uint64_t countAt = 0;
    if (magic == 0x10B) countAt = 92;        // PE32
    else if (magic == 0x20B) countAt = 108;  // PE32+
    else return false;
    std::uint32_t dirCount = 0;
    if (countAt + 4 <= optionalSize && U32(optional + countAt, dirCount)) {
      for (std::uint32_t i = 0; i < dirCount && i < 16; ++i) {
        const std::uint64_t at = countAt + 4 + 8ull * i;
        if (at + 8 > optionalSize) break;
        DataDirectory dir;
        if (!U32(optional + at, dir.rva) || !U32(optional + at + 4, dir.size)) return false;
        dirs_.push_back(dir);
      }
    }
    if (sectionCount > kMaxSections) return false;
    const std::uint64_t table = optional + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
      const std::uint64_t at = table + 40ull * i;
      Section s;
      if (!U32(at + 8, s.virtualSize) || !U32(at + 12, s.virtualAddress) ||
          !U32(at + 16, s.rawSize) || !U32(at + 20, s.rawOffset))
        return false;
      sections_.push_back(s);
    }
    return true;
  }

  DataDirectory Directory(std::uint32_t index) const {
    return index < dirs_.size() ? dirs_[index] : DataDirectory{};
  }

  // File offset of `count` bytes at an RVA, all inside one section's raw data.
  bool Map(std::uint32_t rva, std::uint32_t count, std::uint64_t& offset) const {
    for (const Section& s : sections_) {
      const std::uint64_t start = s.virtualAddress;
      const std::uint64_t span = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
      if (rva < start || rva >= start + span) continue;
      const std::uint64_t delta = rva - start;
      if (delta + count > s.rawSize) return false;
      offset = static_cast<std::uint64_t>(s.rawOffset) + delta;
      return offset + count <= size_;
    }
    return false;
  }

  bool Read(std::uint64_t offset, void* buffer, std::uint32_t count) const {
    if (offset > size_ || count > size_ - offset) return false;
    return read_(offset, buffer, count);
  }
  bool U16(std::uint64_t offset, std::uint16_t& value) const {
    std::uint8_t b[2];
    if (!Read(offset, b, 2)) return false;
    value = LoadU16(b);
    return true;
  }
  bool U32(std::uint64_t offset, std::uint32_t& value) const {
    std::uint8_t b[4];
    if (!Read(offset, b, 4)) return false;
    value = LoadU32(b);
    return true;
  }
  bool RvaU32(std::uint32_t rva, std::uint32_t& value) const {
    std::uint64_t at = 0;
    return Map(rva, 4, at) && U32(at, value);
  }

 private:
  const ImageReader& read_;
  std::uint64_t size_;
  std::vector<DataDirectory> dirs_;
  std::vector<Section> sections_;
};

// One level of the resource tree: the entry with id `wanted`, or the first
// entry when wanted is empty.  Answers its OffsetToData field.
bool FindResourceEntry(const Image& image, std::uint32_t base, std::uint32_t directory,
                       std::optional<std::uint32_t> wanted, std::uint32_t& target) {
  std::uint64_t at = 0;
  if (!image.Map(base + directory, 16, at)) return false;
  std::uint16_t named = 0, ids = 0;
  if (!image.U16(at + 12, named) || !image.U16(at + 14, ids)) return false;
  const std::uint32_t count = static_cast<std::uint32_t>(named) + ids;
  if (count > kMaxResourceEntries) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t name = 0, offset = 0;
    const std::uint32_t entry = base + directory + 16 + 8 * i;
    if (entry < base || !image.RvaU32(entry, name) || !image.RvaU32(entry + 4, offset))
      return false;
    if (wanted && ((name & 0x80000000u) != 0 || name != *wanted)) continue;
    target = offset;
    return true;
  }
  return false;
}

}  // namespace

bool IsPeImage(const ImageReader& read, std::uint64_t size) { return Image(read, size).Parse(); }

std::optional<std::uint64_t> ReadImageFileVersion(const ImageReader& read, std::uint64_t size) {
  Image image(read, size);
  if (!image.Parse()) return std::nullopt;
  const DataDirectory resources = image.Directory(kDirResource);
  if (resources.rva == 0) return std::nullopt;
  const std::uint32_t base = resources.rva;
  // type -> name -> language -> data entry; each step below must be a
  // subdirectory except the last, which must not be.
  std::uint32_t next = 0;
  if (!FindResourceEntry(image, base, 0, kResourceTypeVersion, next) || !(next & 0x80000000u))
    return std::nullopt;
  if (!FindResourceEntry(image, base, next & 0x7FFFFFFFu, std::nullopt, next) ||
      !(next & 0x80000000u))
    return std::nullopt;
  if (!FindResourceEntry(image, base, next & 0x7FFFFFFFu, std::nullopt, next) ||
      (next & 0x80000000u))
    return std::nullopt;
  std::uint32_t dataRva = 0, dataSize = 0;
  if (base + next < base || !image.RvaU32(base + next, dataRva) ||
      !image.RvaU32(base + next + 4, dataSize))
    return std::nullopt;

  // VS_VERSIONINFO: wLength, wValueLength, wType, the key (UTF-16, zero
  // ended), padding to 4 bytes, then VS_FIXEDFILEINFO.
  // The whole resource must lie inside its section, as the loader needs it.
  std::uint64_t block = 0;
  if (dataSize < 6 || !image.Map(dataRva, dataSize, block)) return std::nullopt;
  std::uint16_t length = 0, valueLength = 0;
  if (!image.U16(block, length) || !image.U16(block + 2, valueLength)) return std::nullopt;
  if (length > dataSize) length = static_cast<std::uint16_t>(dataSize);
  std::uint32_t pos = 6;
  for (;;) {
    std::uint16_t ch = 0;
    if (pos + 2 > length || !image.U16(block + pos, ch)) return std::nullopt;
    pos += 2;
    if (ch == 0) break;
  }
  pos = (pos + 3) & ~3u;
  if (valueLength < 16 || pos + 16 > length) return std::nullopt;
  std::uint32_t ms = 0, ls = 0;
  if (!image.U32(block + pos + 8, ms) || !image.U32(block + pos + 12, ls)) return std::nullopt;
  return static_cast<std::uint64_t>(ms) << 32 | ls;
}

bool ImageExportsName(const ImageReader& read, std::uint64_t size, const std::string& name) {
  Image image(read, size);
  if (!image.Parse()) return false;
  const DataDirectory exports = image.Directory(kDirExport);
  if (exports.rva == 0) return false;
  std::uint32_t count = 0, names = 0;
  if (!image.RvaU32(exports.rva + 24, count) || !image.RvaU32(exports.rva + 32, names))
    return false;
  if (count > kMaxExportNames) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t nameRva = 0;
    if (names + 4ull * i > 0xFFFFFFFFull || !image.RvaU32(names + 4 * i, nameRva)) return false;
    std::string text;
    for (std::uint32_t k = 0; k < kMaxExportNameLength; ++k) {
      std::uint64_t at = 0;
      char c = 0;
      if (!image.Map(nameRva + k, 1, at) || !image.Read(at, &c, 1)) return false;
      if (c == 0) break;
      text += c;
    }
    if (text == name) return true;
  }
  return false;
}

namespace {
ImageReader MemoryReader(const std::vector<std::uint8_t>& bytes) {
  return [&bytes](std::uint64_t offset, void* buffer, std::uint32_t count) {
    if (offset > bytes.size() || count > bytes.size() - offset) return false;
    if (count != 0) std::memcpy(buffer, bytes.data() + offset, count);
    return true;
  };
}
}  // namespace

std::optional<std::uint64_t> ReadImageFileVersion(const std::vector<std::uint8_t>& bytes) {
  return ReadImageFileVersion(MemoryReader(bytes), bytes.size());
}

bool ImageExportsName(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  return ImageExportsName(MemoryReader(bytes), bytes.size(), name);
}

}  // namespace velmora
