// The bitmap loader: the 64-colour palette, the header checks that stand
// between package data and the platform, and the two ways in (an image in
// memory, a file with its error box).
#include "services/bitmap_loader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "backends/scripted/scripted_ui.h"
#include "unit/support/bmp_builder.h"
#include "unit/support/sim_machine_fixture.h"

namespace velmora {
namespace {

using test::BmpShape;
using test::MakeBmp;
using Image = std::vector<std::uint8_t>;

TEST(SixtyFourColourPalette, EveryLevelOfEveryChannelRedFastest) {
  const auto palette = SixtyFourColourPalette();
  EXPECT_EQ(palette[0], (PaletteColour{0, 0, 0, 0}));
  EXPECT_EQ(palette[1], (PaletteColour{85, 0, 0, 0}));
  EXPECT_EQ(palette[4], (PaletteColour{0, 85, 0, 0}));
  EXPECT_EQ(palette[16], (PaletteColour{0, 0, 85, 0}));
  EXPECT_EQ(palette[63], (PaletteColour{255, 255, 255, 0}));
  EXPECT_EQ(palette[38], (PaletteColour{170, 85, 170, 0}));  // 2 + 1*4 + 2*16
  EXPECT_EQ(kPaletteVersion, 0x300);
}

TEST(CheckBitmapImage, WellFormedImagesGiveTheirStretches) {
  struct Case {
    BmpShape shape;
    std::size_t infoSize, bitsSize;
  } cases[] = {
      {{.width = 4, .height = 2, .bitCount = 24}, 40, 24},
      {{.width = 3, .height = -2, .bitCount = 24}, 40, 24},  // top-down, rows padded to 12
      {{.width = 5, .height = 3, .bitCount = 8}, 40 + 256 * 4, 24},
      {{.width = 5, .height = 3, .bitCount = 8, .coloursUsed = 16}, 40 + 16 * 4, 24},
      {{.width = 9, .height = 1, .bitCount = 1}, 40 + 2 * 4, 4},
      {{.width = 7, .height = 2, .bitCount = 4, .coreHeader = true}, 12 + 16 * 3, 8},
      {{.width = 2, .height = 2, .bitCount = 32}, 40, 16},
  };
  for (const Case& c : cases) {
    const Image image = MakeBmp(c.shape);
    const auto dib = CheckBitmapImage(image.data(), image.size());
    ASSERT_TRUE(dib) << c.shape.width << "x" << c.shape.height << "x" << c.shape.bitCount;
    EXPECT_EQ(dib->info, image.data() + 14);
    EXPECT_EQ(dib->infoSize, c.infoSize);
    EXPECT_EQ(dib->bits, image.data() + image.size() - c.bitsSize);
    EXPECT_EQ(dib->bitsSize, c.bitsSize);
    EXPECT_EQ(dib->width, c.shape.width);
    EXPECT_EQ(dib->height, c.shape.height);
  }
}

// Every prefix of a good image is refused: its pixels end at its last byte.
TEST(CheckBitmapImage, EveryTruncationIsRefused) {
  for (const BmpShape& shape : {BmpShape{.bitCount = 24}, BmpShape{.bitCount = 8},
                                BmpShape{.bitCount = 4, .coreHeader = true}}) {
    const Image image = MakeBmp(shape);
    for (std::size_t size = 0; size < image.size(); ++size)
      EXPECT_FALSE(CheckBitmapImage(image.data(), size)) << shape.bitCount << " bits, " << size;
  }
}

// One field damaged at a time, each pointing outside the image or asking
// the platform for something it should not be asked for.
TEST(CheckBitmapImage, HeadersThatPointOutsideTheImageAreRefused) {
  const auto u16 = [](std::size_t at, std::uint16_t v) {
    return [=](Image& i) { StoreU16(&i[at], v); };
  };
  const auto u32 = [](std::size_t at, std::uint32_t v) {
    return [=](Image& i) { StoreU32(&i[at], v); };
  };
  struct Case {
    const char* what;
    BmpShape shape;
    std::function<void(Image&)> damage;
  } cases[] = {
      {"bits offset past the end", {}, u32(10, 0xFFFFFFF0)},
      {"bits offset one byte too far", {}, [](Image& i) { StoreU32(&i[10], LoadU32(&i[10]) + 1); }},
      {"bits offset inside the info header", {}, u32(10, 20)},
      {"info header size 0", {}, u32(14, 0)},
      {"info header size past the end", {}, u32(14, 0x7FFFFFFF)},
      {"info header size between the known ones", {}, u32(14, 24)},
      {"width 0", {}, u32(18, 0)},
      {"negative width", {}, u32(18, 0xFFFFFFFC)},
      {"height 0", {}, u32(22, 0)},
      {"height of the lowest integer", {}, u32(22, 0x80000000)},
      {"width beyond the largest side", {}, u32(18, 16385)},
      {"more pixels than the largest picture",
       {.width = 4, .height = 2},
       [](Image& i) {
         StoreU32(&i[18], 16384);
         StoreU32(&i[22], 1025);
       }},
      {"two planes", {}, u16(26, 2)},
      {"3 bits per pixel", {}, u16(28, 3)},
      {"more colours than 8 bits hold", {.bitCount = 8}, u32(46, 257)},
      {"a colour table past the end",
       {.bitCount = 8, .coloursUsed = 16},
       u32(46, 0)},  // 256 claimed
      {"a colour table larger than 256 at 24 bits", {}, u32(46, 300)},
      {"JPEG compression", {}, u32(30, 4)},
      {"run-length 8 at 24 bits", {}, u32(30, 1)},
      {"bit fields at 24 bits", {}, u32(30, 3)},
      {"run-length data size 0",
       {.bitCount = 8, .coloursUsed = 2},
       [](Image& i) {
         StoreU32(&i[30], 1);
         StoreU32(&i[34], 0);
       }},
      {"run-length data past the end",
       {.bitCount = 8, .coloursUsed = 2},
       [](Image& i) {
         StoreU32(&i[30], 1);
         StoreU32(&i[34], 1000);
       }},
      {"run-length rows from the top down",
       {.height = -2, .bitCount = 8, .coloursUsed = 2},
       u32(30, 1)},
  };
  for (const Case& c : cases) {
    Image image = MakeBmp(c.shape);
    c.damage(image);
    EXPECT_FALSE(CheckBitmapImage(image.data(), image.size())) << c.what;
  }
}

class BitmapLoading : public testing::SimMachineTest {
 protected:
  std::vector<std::string> Messages() const {
    std::vector<std::string> shown;
    for (const TranscriptEntry& e : ui_.Transcript()) shown.push_back(e.caption + ": " + e.text);
    return shown;
  }

  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
};

TEST_F(BitmapLoading, OnlyImagesStartingWithBMReachThePlatform) {
  Image image = MakeBmp({.width = 40, .height = 30});
  const BitmapHandle bitmap = CreateBitmapFromImage(image.data(), image.size());
  int width = 0, height = 0;
  ASSERT_TRUE(ui_.BitmapSize(bitmap, width, height));
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 30);
  image[1] = 'A';
  EXPECT_EQ(CreateBitmapFromImage(image.data(), image.size()), 0u);
  EXPECT_EQ(CreateBitmapFromDib(nullptr, 100), 0u);
  EXPECT_EQ(ui_.LiveBitmaps(), 1u);
  EXPECT_TRUE(ui_.Transcript().empty());
}

TEST_F(BitmapLoading, FilesAreReadWholeAndErrorsShowTheFileErrorBox) {
  SetFile("C:\\PIC.BMP", MakeBmp({.width = 7, .height = 5}));
  SetFile("C:\\APP.ICO", std::string("\0\0\1\0", 4) + std::string(60, 'x'));
  EXPECT_NE(LoadBitmapFile("C:\\PIC.BMP"), 0u);
  EXPECT_EQ(LoadBitmapFile(nullptr), 0u);
  EXPECT_EQ(LoadBitmapFile(""), 0u);
  EXPECT_EQ(LoadBitmapFile("C:\\APP.ICO"), 0u);
  EXPECT_TRUE(ui_.Transcript().empty());
  // A missing file: the box with the empty text of "file not found".
  EXPECT_EQ(LoadBitmapFile("C:\\MISSING.BMP"), 0u);
  EXPECT_EQ(Messages(), std::vector<std::string>{"File Error...: "});
  EXPECT_EQ(ui_.Transcript()[0].style, mb::ok | mb::iconExclamation);
}

}  // namespace
}  // namespace velmora
