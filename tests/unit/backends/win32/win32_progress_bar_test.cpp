// The progress bar's picture, drawn into an off-screen 32-bit bitmap and
// read back pixel by pixel: red left of the split, white right of it, the
// percentage in blue in the middle.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "backends/win32/progress_bar_paint.h"
#include "unit/support/win32_canvas.h"

namespace velmora {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Text pixels: neither bar colour (the glyphs, and their smoothed edges
// when the font is anti-aliased).
int TextPixels(const Canvas& canvas, int x0, int y0, int x1, int y1) {
  return (x1 - x0) * (y1 - y0) - canvas.Count(kRed, x0, y0, x1, y1) -
         canvas.Count(kWhite, x0, y0, x1, y1);
}

// Rows y0..y1 of column x are all of one colour.
void ExpectColumn(const Canvas& canvas, int x, int y0, int y1, COLORREF colour) {
  EXPECT_EQ(canvas.Count(colour, x, y0, x + 1, y1), y1 - y0) << "column " << x;
}

TEST(Win32ProgressBarTest, SplitsRedFromWhiteAtThePercentOfTheWidth) {
  Canvas canvas(200, 24);
  ASSERT_TRUE(canvas.Ready());
  PaintProgressBar(canvas.Dc(), RECT{0, 0, 200, 24}, 42);  // split at 84
  ExpectColumn(canvas, 0, 0, 24, kRed);
  ExpectColumn(canvas, 83, 0, 24, kRed);
  ExpectColumn(canvas, 84, 0, 24, kWhite);
  ExpectColumn(canvas, 199, 0, 24, kWhite);
  // The text sits in the middle, in blue, and nowhere near the edges.
  EXPECT_GT(canvas.Count(kBlue, 70, 0, 130, 24), 5);
  EXPECT_GT(TextPixels(canvas, 70, 0, 130, 24), 10);
  EXPECT_EQ(TextPixels(canvas, 0, 0, 60, 24), 0);
  EXPECT_EQ(TextPixels(canvas, 140, 0, 200, 24), 0);
}

TEST(Win32ProgressBarTest, EndsAreAllWhiteOrAllRedAndOutOfRangeValuesClamp) {
  struct Case {
    int percent;
    COLORREF colour, absent;
  };
  for (const Case c : {Case{0, kWhite, kRed}, Case{-7, kWhite, kRed}, Case{100, kRed, kWhite},
                       Case{250, kRed, kWhite}}) {
    Canvas canvas(120, 20);
    ASSERT_TRUE(canvas.Ready());
    PaintProgressBar(canvas.Dc(), RECT{0, 0, 120, 20}, c.percent);
    EXPECT_EQ(canvas.Count(c.absent, 0, 0, 120, 20), 0) << c.percent;
    EXPECT_GT(canvas.Count(kBlue, 0, 0, 120, 20), 0) << c.percent;
    ExpectColumn(canvas, 0, 0, 20, c.colour);
    ExpectColumn(canvas, 119, 0, 20, c.colour);
  }
}

TEST(Win32ProgressBarTest, AValueAboveAHundredLooksExactlyLikeAHundred) {
  // 250 is shown as "100%" over an all-red bar, not as "250%".
  Canvas clamped(120, 20), hundred(120, 20);
  ASSERT_TRUE(clamped.Ready() && hundred.Ready());
  PaintProgressBar(clamped.Dc(), RECT{0, 0, 120, 20}, 250);
  PaintProgressBar(hundred.Dc(), RECT{0, 0, 120, 20}, 100);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 120; ++x) ASSERT_EQ(clamped.At(x, y), hundred.At(x, y)) << x << "," << y;
  }
}

TEST(Win32ProgressBarTest, DrawsOnlyInsideItsItemRectangle) {
  // An item away from the origin: the pixels around it keep their colour,
  // and the split is measured from the item's left edge.
  Canvas canvas(220, 40);
  ASSERT_TRUE(canvas.Ready());
  const COLORREF untouched = canvas.At(0, 0);
  PaintProgressBar(canvas.Dc(), RECT{10, 10, 210, 30}, 25);  // split at 10 + 50
  EXPECT_EQ(canvas.Count(untouched, 0, 0, 220, 10), 220 * 10);
  EXPECT_EQ(canvas.Count(untouched, 0, 30, 220, 40), 220 * 10);
  EXPECT_EQ(canvas.Count(untouched, 0, 10, 10, 30), 10 * 20);
  EXPECT_EQ(canvas.Count(untouched, 210, 10, 220, 30), 10 * 20);
  ExpectColumn(canvas, 10, 10, 30, kRed);
  ExpectColumn(canvas, 59, 10, 30, kRed);
  ExpectColumn(canvas, 60, 10, 30, kWhite);
  ExpectColumn(canvas, 209, 10, 30, kWhite);
  // The text is centred on the item, not on the canvas.
  EXPECT_GT(TextPixels(canvas, 95, 10, 125, 30), 10);
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
