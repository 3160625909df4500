// Builds small PE images in memory for tests: a version resource with a
// chosen file version, an export directory with chosen names, or both.
// The layout is that of a linker's output (headers, one section ".rsrc"
// or ".edata" per part), so the image reader meets real structures; tests
// then damage single fields to check that malformed images are refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/little_endian.h"

namespace velmora::test {

struct PeLayout {
  // Offsets of interesting fields in the built image, for damaging them.
  std::size_t peOffsetField = 0x3C;
  std::size_t sectionCountField = 0;
  std::size_t resourceDirField = 0;  // the resource data directory entry
  std::size_t resourceStart = 0;     // file offset of the resource section
  std::size_t versionBlock = 0;      // file offset of VS_VERSIONINFO
};

class PeBuilder {
 public:
  PeBuilder& Version(std::uint32_t ms, std::uint32_t ls) {
    version_ = {ms, ls};
    return *this;
  }
  PeBuilder& Export(const std::string& name) {
    exports_.push_back(name);
    return *this;
  }

  std::vector<std::uint8_t> Build(PeLayout* layout = nullptr) const {
    constexpr std::uint32_t kAlign = 0x200;
    std::vector<std::uint8_t> rsrc = version_ ? Resources() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> edata = exports_.empty() ? std::vector<std::uint8_t>{} : Exports();
    const std::uint16_t sections = static_cast<std::uint16_t>(!rsrc.empty() + !edata.empty());
    std::vector<std::uint8_t> out(kAlign, 0);
    out[0] = 'M';
    out[1] = 'Z';
    Put32(out, 0x3C, 0x40);
    Put32(out, 0x40, 0x00004550);  // "PE\0\0"
    Put16(out, 0x44, 0x14C);       // i386
    Put16(out, 0x46, sections);
    Put16(out, 0x54, 224);     // optional header size
    Put16(out, 0x56, 0x2102);  // DLL, executable, 32-bit
    const std::size_t opt = 0x58;
    Put16(out, opt, 0x10B);
    Put32(out, opt + 92, 16);
    std::size_t table = opt + 224;
    std::uint32_t raw = kAlign;
    std::uint32_t rva = 0x1000;
    auto addSection = [&](const char* name, std::vector<std::uint8_t> body, int dir,
                          std::size_t* startOut) {
      if (body.empty()) return;
      Relocate(body, rva, dir);
      for (int i = 0; name[i] != 0; ++i) out[table + i] = static_cast<std::uint8_t>(name[i]);
      const auto size = static_cast<std::uint32_t>(body.size());
      const std::uint32_t rawSize = (size + kAlign - 1) / kAlign * kAlign;
      Put32(out, table + 8, size);
      Put32(out, table + 12, rva);
      Put32(out, table + 16, rawSize);
      Put32(out, table + 20, raw);
      Put32(out, opt + 96 + 8 * dir, rva);
      Put32(out, opt + 96 + 8 * dir + 4, size);
      if (startOut != nullptr) *startOut = raw;
      out.resize(raw + rawSize, 0);
      std::copy(body.begin(), body.end(), out.begin() + raw);
      table += 40;
      raw += rawSize;
      rva += 0x1000;
    };
    PeLayout l;
    l.sectionCountField = 0x46;
    l.resourceDirField = opt + 96 + 16;
    addSection(".rsrc", rsrc, 2, &l.resourceStart);
    l.versionBlock = l.resourceStart + 0x58;
    addSection(".edata", edata, 0, nullptr);
    if (layout != nullptr) *layout = l;
    return out;
  }

 private:
  static void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2, 0);
    StoreU16(b.data() + at, static_cast<std::uint16_t>(v));
  }
  static void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4, 0);
    StoreU32(b.data() + at, v);
  }
  static std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return LoadU32(b.data() + at);
  }

  // Section-relative addresses become RVAs once the section's place is known.
  void Relocate(std::vector<std::uint8_t>& body, std::uint32_t rva, int dir) const {
    if (dir == 2) {
      Put32(body, 0x48, Get32(body, 0x48) + rva);
    } else {
      Put32(body, 12, Get32(body, 12) + rva);
      for (int field : {28, 32, 36}) Put32(body, field, Get32(body, field) + rva);
      const std::uint32_t count = Get32(body, 24);
      const std::uint32_t names = Get32(body, 32) - rva;
      for (std::uint32_t i = 0; i < count; ++i)
        Put32(body, names + 4 * i, Get32(body, names + 4 * i) + rva);
    }
  }

  // type 16 -> name 1 -> language 0x409 -> data entry -> VS_VERSIONINFO.
  std::vector<std::uint8_t> Resources() const {
    std::vector<std::uint8_t> b(0x58, 0);
    Put16(b, 14, 1);
    Put32(b, 16, 16);
    Put32(b, 20, 0x80000018);
    Put16(b, 0x18 + 14, 1);
    Put32(b, 0x18 + 16, 1);
    Put32(b, 0x18 + 20, 0x80000030);
    Put16(b, 0x30 + 14, 1);
    Put32(b, 0x30 + 16, 0x409);
    Put32(b, 0x30 + 20, 0x48);
    const std::u16string key = u"VS_VERSION_INFO";
    std::vector<std::uint8_t> block(6, 0);
    for (char16_t c : key) {
      block.push_back(static_cast<std::uint8_t>(c));
      block.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    block.push_back(0);
    block.push_back(0);
    while (block.size() % 4 != 0) block.push_back(0);
    const std::size_t fixed = block.size();
    block.resize(fixed + 52, 0);
    Put32(block, fixed, 0xFEEF04BD);
    Put32(block, fixed + 4, 0x10000);
    Put32(block, fixed + 8, version_->first);
    Put32(block, fixed + 12, version_->second);
    Put16(block, 0, static_cast<std::uint32_t>(block.size()));
    Put16(block, 2, 52);
    Put32(b, 0x48, 0x58);  // data RVA, section-relative until relocated
    Put32(b, 0x4C, static_cast<std::uint32_t>(block.size()));
    b.insert(b.end(), block.begin(), block.end());
    return b;
  }

  // IMAGE_EXPORT_DIRECTORY, then the name pointer table, then the names.
  std::vector<std::uint8_t> Exports() const {
    const auto count = static_cast<std::uint32_t>(exports_.size());
    const std::uint32_t functions = 40, names = functions + 4 * count, ordinals = names + 4 * count;
    std::uint32_t text = ordinals + 2 * count;
    text += 4 - text % 4;
    std::vector<std::uint8_t> b(text, 0);
    Put32(b, 20, count);
    Put32(b, 24, count);
    Put32(b, 28, functions);
    Put32(b, 32, names);
    Put32(b, 36, ordinals);
    Put32(b, 12, text);  // the module's own name
    for (char c : std::string("TEST.DLL")) b.push_back(static_cast<std::uint8_t>(c));
    b.push_back(0);
    for (std::uint32_t i = 0; i < count; ++i) {
      Put32(b, names + 4 * i, static_cast<std::uint32_t>(b.size()));
      Put16(b, ordinals + 2 * i, i);
      for (char c : exports_[i]) b.push_back(static_cast<std::uint8_t>(c));
      b.push_back(0);
    }
    return b;
  }

  std::optional<std::pair<std::uint32_t, std::uint32_t>> version_;
  std::vector<std::string> exports_;
};

}  // namespace velmora::test
