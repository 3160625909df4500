// The application manifest linked into SETUP.EXE (resource RT_MANIFEST 1):
// administrator's rights, the four supported systems, per-monitor DPI
// awareness, and no common controls version 6.  The host build names the
// SETUP.EXE it built (VELMORA_SETUP_EXE); the uninstaller copies are byte
// copies of it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "unit/support/pe_builder.h"
#include "unit/support/pe_resources.h"

namespace velmora::test {
namespace {

constexpr std::uint32_t kVersionType = 16;
constexpr std::uint32_t kManifestType = 24;

// The reader finds what the PE builder lays out as a linker does, and
// nothing where the image has no such resource.
TEST(SetupManifest, ResourceReaderFindsTheVersionResourceOfABuiltImage) {
  const std::vector<std::uint8_t> bytes = PeBuilder().Version(0x00020001, 0x00030004).Build();
  const std::string image(bytes.begin(), bytes.end());
  const std::string version = PeResource(image, kVersionType, 1);
  ASSERT_GE(version.size(), 0x30u);
  EXPECT_EQ(pe_resources::Field(version, 0x28 + 8, 4), 0x00020001u);  // dwFileVersionMS
  EXPECT_EQ(PeResource(image, kManifestType, 1), "");
  EXPECT_EQ(PeResource("MZ", kVersionType, 1), "");
}

TEST(SetupManifest, SetupExeAsksForAdministratorsAndNamesTheSupportedSystems) {
#ifndef VELMORA_SETUP_EXE
  GTEST_SKIP() << "this build makes no SETUP.EXE";
#else
  std::ifstream in(VELMORA_SETUP_EXE, std::ios::binary);
  ASSERT_TRUE(in) << VELMORA_SETUP_EXE;
  const std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string manifest = PeResource(image, kManifestType, 1);
  ASSERT_NE(manifest, "") << "no RT_MANIFEST 1 in " << VELMORA_SETUP_EXE;
  for (const char* expected : {
           "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
           "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // 7
           "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",  // 8
           "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",  // 8.1
           "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // 10 and 11
           ">true/PM</dpiAware>",
           ">PerMonitorV2, PerMonitor</dpiAwareness>",
       })
    EXPECT_NE(manifest.find(expected), std::string::npos) << expected << "\n" << manifest;
  EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
#endif
}

}  // namespace
}  // namespace velmora::test
