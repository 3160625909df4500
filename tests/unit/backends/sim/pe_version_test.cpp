// The image reader on built images and on damaged ones: a damaged image
// has no version and no exports, and reading it never goes past its end.
#include "backends/sim/pe_version.h"

#include <gtest/gtest.h>

#include "services/self_registration.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(ImageVersion, ReadsTheFixedFileVersion) {
  const auto image = PeBuilder().Version(0x00030001, 0x0004009F).Build();
  EXPECT_EQ(ReadImageFileVersion(image), 0x000300010004009Full);
  EXPECT_EQ(ReadImageFileVersion(PeBuilder().Export("X").Build()), std::nullopt);
  const std::string text = "MZ but nothing else";
  EXPECT_EQ(ReadImageFileVersion(std::vector<std::uint8_t>(text.begin(), text.end())),
            std::nullopt);
  EXPECT_EQ(ReadImageFileVersion(std::vector<std::uint8_t>{}), std::nullopt);
}

TEST(ImageVersion, ExportsByName) {
  const auto image =
      PeBuilder().Version(1, 0).Export("DllRegisterServer").Export("DllUnregisterServer").Build();
  EXPECT_TRUE(ImageExportsName(image, "DllRegisterServer"));
  EXPECT_TRUE(ImageExportsName(image, "DllUnregisterServer"));
  EXPECT_FALSE(ImageExportsName(image, "DllRegister"));
  EXPECT_FALSE(ImageExportsName(PeBuilder().Version(1, 0).Build(), "DllRegisterServer"));
  EXPECT_EQ(ReadImageFileVersion(image), 0x100000000ull);
}

// Every cut of the file before the end of the version block loses the
// version; the reader answers without reading past what it was given.
TEST(ImageVersion, TruncatedImagesHaveNoVersion) {
  PeLayout layout;
  const auto image = PeBuilder().Version(0x10002, 0x30004).Build(&layout);
  const std::size_t needed = layout.versionBlock + 40 + 52;  // the whole block
  for (std::size_t size = 0; size < needed; ++size) {
    const std::vector<std::uint8_t> cut(image.begin(), image.begin() + size);
    EXPECT_EQ(ReadImageFileVersion(cut), std::nullopt) << size;
  }
  const std::vector<std::uint8_t> enough(image.begin(), image.begin() + needed);
  EXPECT_EQ(ReadImageFileVersion(enough), 0x0001000200030004ull);
}

TEST(ImageVersion, DamagedFieldsAreRefused) {
  PeLayout layout;
  const auto good = PeBuilder().Version(7, 8).Export("DllRegisterServer").Build(&layout);
  struct Damage {
    const char* what;
    std::size_t at;
    std::uint32_t value;
  };
  const Damage damages[] = {
      {"PE header far past the end", layout.peOffsetField, 0xFFFFFFF0},
      {"PE header just past the end", layout.peOffsetField,
       static_cast<std::uint32_t>(good.size() - 2)},
      {"resource directory outside every section", layout.resourceDirField, 0x7FFF0000},
      {"resource directory at the top of the address space", layout.resourceDirField, 0xFFFFFFF8},
      {"type entry count huge", layout.resourceStart + 12, 0xFFFFFFFF},
      {"type entry pointing outside", layout.resourceStart + 20, 0xFFFFFFF0},
      {"data entry size beyond the section", layout.resourceStart + 0x4C, 0x7FFFFFFF},
      {"data entry address outside", layout.resourceStart + 0x48, 0xFFFFFFF0},
      {"version block claims no fixed info", layout.versionBlock, 0x0000FFFF},
  };
  for (const Damage& d : damages) {
    auto image = good;
    Put32(image, d.at, d.value);
    EXPECT_EQ(ReadImageFileVersion(image), std::nullopt) << d.what;
  }
  auto many = good;
  many[layout.sectionCountField] = 0xFF;
  many[layout.sectionCountField + 1] = 0xFF;
  EXPECT_EQ(ReadImageFileVersion(many), std::nullopt);
  EXPECT_FALSE(ImageExportsName(many, "DllRegisterServer"));

  // A key without its terminating zero runs into the end of the block.
  auto endless = good;
  for (std::size_t i = layout.versionBlock + 6; i < good.size(); i += 2) endless[i] = 'A';
  EXPECT_EQ(ReadImageFileVersion(endless), std::nullopt);
}

TEST(ComponentLibrary, ByTheExtensionAfterTheLastDot) {
  EXPECT_TRUE(IsComponentLibrary("C:\\App\\Comp.ocx"));
  EXPECT_TRUE(IsComponentLibrary("C:\\App\\comp.DLL"));
  EXPECT_FALSE(IsComponentLibrary("C:\\App\\data.tlb"));
  EXPECT_FALSE(IsComponentLibrary("C:\\App.dll\\readme"));
}

}  // namespace
}  // namespace velmora::test
