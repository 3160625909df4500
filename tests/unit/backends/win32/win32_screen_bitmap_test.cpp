// Screen bitmaps made from bitmap file images and painted through the
// Win32 device context: their sizes, their pixels where the target
// rectangle puts them, and nothing outside it.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "backends/win32/win32_device_context.h"
#include "backends/win32/win32_ui.h"
#include "services/bitmap_loader.h"
#include "unit/support/win32_canvas.h"

namespace velmora {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// The picture in four quadrants: red and green on top, blue and yellow
// below.
COLORREF Quadrant(int x, int y, int width, int height) {
  const bool right = x >= width / 2, bottom = y >= height / 2;
  return bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed);
}

// A bitmap file image of the quadrant picture at 8 or 24 bits per pixel;
// negative heights store the rows from the top down.
std::vector<std::uint8_t> QuadrantFile(int width, int height, int bitCount) {
  const int rows = std::abs(height);
  const std::vector<COLORREF> table = {kRed, kGreen, kBlue, kYellow};
  const std::uint32_t tableSize = bitCount == 8 ? 4 * 4 : 0;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bitCount + 31) / 32 * 4;
  const std::uint32_t bitsOffset = 14 + 40 + tableSize;
  std::vector<std::uint8_t> file = {'B', 'M'};
  Put32(file, bitsOffset + stride * rows);
  Put32(file, 0);
  Put32(file, bitsOffset);
  Put32(file, 40);
  Put32(file, static_cast<std::uint32_t>(width));
  Put32(file, static_cast<std::uint32_t>(height));
  Put16(file, 1);
  Put16(file, static_cast<unsigned>(bitCount));
  for (int i = 0; i < 4; ++i) Put32(file, 0);  // BI_RGB, image size, resolution
  Put32(file, bitCount == 8 ? 4 : 0);          // colours used
  Put32(file, 0);
  if (bitCount == 8) {
    for (COLORREF c : table) Put32(file, GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
  }
  for (int stored = 0; stored < rows; ++stored) {
    const int y = height < 0 ? stored : rows - 1 - stored;
    std::vector<std::uint8_t> row(stride, 0);  // padded to whole 32-bit words
    std::size_t at = 0;
    for (int x = 0; x < width; ++x) {
      const COLORREF c = Quadrant(x, y, width, rows);
      if (bitCount == 8) {
        for (std::size_t i = 0; i < table.size(); ++i) {
          if (table[i] == c) row[at] = static_cast<std::uint8_t>(i);
        }
        at += 1;
      } else {
        row[at++] = GetBValue(c);
        row[at++] = GetGValue(c);
        row[at++] = GetRValue(c);
      }
    }
    file.insert(file.end(), row.begin(), row.end());
  }
  return file;
}

// A screen bitmap of the quadrant picture, deleted at the end.
class QuadrantBitmap {
 public:
  QuadrantBitmap(int width, int height, int bitCount)
      : file_(QuadrantFile(width, height, bitCount)) {
    const std::optional<DibImage> image = CheckBitmapImage(file_.data(), file_.size());
    if (image) bitmap_ = ui_.CreateScreenBitmap(*image);
  }
  ~QuadrantBitmap() { ui_.DeleteBitmap(bitmap_); }
  BitmapHandle Handle() const { return bitmap_; }

 private:
  Win32Ui ui_;
  std::vector<std::uint8_t> file_;
  BitmapHandle bitmap_ = 0;
};

struct Format {
  int width, height, bitCount;
};
constexpr Format kFormats[] = {{2, 2, 24}, {2, -2, 24}, {2, 2, 8},
                               {2, -2, 8}, {6, 4, 24},  {6, -4, 8}};

TEST(Win32ScreenBitmapTest, BitmapsHaveTheImageSizeWhicheverWayItsRowsRun) {
  for (const Format f : kFormats) {
    QuadrantBitmap bitmap(f.width, f.height, f.bitCount);
    ASSERT_NE(bitmap.Handle(), 0u) << f.bitCount << " bits, " << f.width << "x" << f.height;
    Win32DC dc(nullptr, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(dc.GetBitmapSize(bitmap.Handle(), width, height));
    EXPECT_EQ(width, f.width);
    EXPECT_EQ(height, std::abs(f.height));
  }
}

TEST(Win32ScreenBitmapTest, SizeIsRefusedForWhatIsNoBitmap) {
  Win32DC dc(nullptr, nullptr);
  int width = -1, height = -1;
  HBRUSH brush = ::CreateSolidBrush(kRed);  // GetObject answers a LOGBRUSH for it
  EXPECT_FALSE(dc.GetBitmapSize(reinterpret_cast<BitmapHandle>(brush), width, height));
  ::DeleteObject(brush);
  EXPECT_FALSE(dc.GetBitmapSize(0, width, height));
  EXPECT_EQ(width, -1);
  EXPECT_EQ(height, -1);
}

TEST(Win32ScreenBitmapTest, DeletedBitmapsAreGone) {
  Win32Ui ui;
  Win32DC dc(nullptr, nullptr);
  const std::vector<std::uint8_t> file = QuadrantFile(4, 4, 24);
  const BitmapHandle bitmap = ui.CreateScreenBitmap(*CheckBitmapImage(file.data(), file.size()));
  int width = 0, height = 0;
  ASSERT_TRUE(dc.GetBitmapSize(bitmap, width, height));
  ui.DeleteBitmap(bitmap);
  EXPECT_FALSE(dc.GetBitmapSize(bitmap, width, height));
}

// Each quadrant of the picture fills its quarter of the target, and the
// canvas around the target keeps its colour.
void ExpectQuadrants(const Canvas& canvas, const PaintRect& to, const char* what) {
  const COLORREF untouched = RGB(0x12, 0x34, 0x56);
  const int midX = (to.left + to.right) / 2, midY = (to.top + to.bottom) / 2;
  const int quarter = (midX - to.left) * (midY - to.top);
  EXPECT_EQ(canvas.Count(kRed, to.left, to.top, midX, midY), quarter) << what;
  EXPECT_EQ(canvas.Count(kGreen, midX, to.top, to.right, midY), quarter) << what;
  EXPECT_EQ(canvas.Count(kBlue, to.left, midY, midX, to.bottom), quarter) << what;
  EXPECT_EQ(canvas.Count(kYellow, midX, midY, to.right, to.bottom), quarter) << what;
  const int area = canvas.Width() * canvas.Height();
  const int target = (to.right - to.left) * (to.bottom - to.top);
  EXPECT_EQ(canvas.Count(untouched, 0, 0, canvas.Width(), canvas.Height()), area - target) << what;
}

TEST(Win32ScreenBitmapTest, StretchesTheWholePictureOntoTheTarget) {
  struct Case {
    Format format;
    PaintRect to;
    const char* what;
  };
  const Case cases[] = {
      {{2, 2, 24}, {3, 2, 11, 10}, "24 bits, bottom-up, scaled up evenly"},
      {{2, -2, 24}, {3, 2, 11, 10}, "24 bits, top-down"},
      {{2, 2, 8}, {1, 1, 13, 5}, "8 bits, wider than high"},
      {{6, -4, 8}, {4, 0, 10, 12}, "8 bits, top-down, higher than wide"},
      {{6, 4, 24}, {0, 0, 6, 4}, "24 bits, unscaled in the corner"},
  };
  for (const Case& c : cases) {
    QuadrantBitmap bitmap(c.format.width, c.format.height, c.format.bitCount);
    ASSERT_NE(bitmap.Handle(), 0u) << c.what;
    Canvas canvas(14, 12);
    ASSERT_TRUE(canvas.Ready());
    Win32DC dc(canvas.Dc(), nullptr);
    dc.StretchBitmap(bitmap.Handle(), c.format.width, std::abs(c.format.height), c.to);
    ExpectQuadrants(canvas, c.to, c.what);
  }
}

TEST(Win32ScreenBitmapTest, PaintingLeavesTheTargetContextAsItWas) {
  // The bitmap is selected into a memory context of the painter's own: the
  // target keeps its own bitmap, and the picture can be painted again.
  QuadrantBitmap bitmap(2, 2, 24);
  Canvas canvas(8, 8);
  ASSERT_TRUE(canvas.Ready());
  HGDIOBJ before = ::GetCurrentObject(canvas.Dc(), OBJ_BITMAP);
  Win32DC dc(canvas.Dc(), nullptr);
  dc.StretchBitmap(bitmap.Handle(), 2, 2, {0, 0, 4, 4});
  dc.StretchBitmap(bitmap.Handle(), 2, 2, {4, 4, 8, 8});
  EXPECT_EQ(::GetCurrentObject(canvas.Dc(), OBJ_BITMAP), before);
  EXPECT_EQ(canvas.Count(kRed, 0, 0, 2, 2), 4);
  EXPECT_EQ(canvas.Count(kYellow, 6, 6, 8, 8), 4);
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
