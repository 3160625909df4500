// The main window's gradient bands: colours, edges, and the 200-row floor.

#include "dialogs/backdrop.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

void ExpectColour(const BackdropBand& band, int red, int green, int blue) {
  EXPECT_EQ(band.red, red);
  EXPECT_EQ(band.green, green);
  EXPECT_EQ(band.blue, blue);
}

TEST(BackdropTest, ColoursRunFromBlueToRedWithRounding) {
  const auto bands = BackdropBands(767);
  ASSERT_EQ(bands.size(), 200u);
  ExpectColour(bands[0], 0, 128, 255);
  ExpectColour(bands[1], 1, 128, 254);  // 192/200 = 0.96 rounds up, not down
  ExpectColour(bands[100], 96, 128, 159);
  ExpectColour(bands[199], 191, 128, 64);
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_GE(bands[i].red, bands[i - 1].red) << i;
    EXPECT_EQ(bands[i].red + bands[i].blue, 255) << i;
  }
}

TEST(BackdropTest, BandsTileTheWindowFromTheTop) {
  // Client bottom 767: 768 rows, banded in 201ths of them.
  const auto bands = BackdropBands(767);
  EXPECT_EQ(bands[0].top, 0);
  EXPECT_EQ(bands[0].bottom, 4);      // 768/201 = 3.82 rounds to 4
  EXPECT_EQ(bands[1].bottom, 8);      // 7.64
  EXPECT_EQ(bands[199].bottom, 764);  // 200 * 768 / 201 = 764.2
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].top, bands[i - 1].bottom) << i;
    EXPECT_GT(bands[i].bottom, bands[i].top) << i;
  }
}

TEST(BackdropTest, ShortWindowsAreBandedAsThoughTwoHundredRowsHigh) {
  const auto tiny = BackdropBands(10);
  const auto floor = BackdropBands(199);  // exactly 200 rows
  ASSERT_EQ(tiny.size(), 200u);
  for (std::size_t i = 0; i < tiny.size(); ++i) {
    EXPECT_EQ(tiny[i].top, floor[i].top) << i;
    EXPECT_EQ(tiny[i].bottom, floor[i].bottom) << i;
  }
  EXPECT_EQ(tiny[199].bottom, 199);  // 200 * 200 / 201 = 199.005
  // One row more is no longer the floor.
  EXPECT_EQ(BackdropBands(200)[199].bottom, 200);  // 200 * 201 / 201
}

}  // namespace
}  // namespace velmora
