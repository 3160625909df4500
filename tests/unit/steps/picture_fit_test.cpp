#include "steps/picture_fit.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// The margins are truncated after single-precision ratios: the first two
// rows come out one pixel smaller than exact arithmetic would make them.
TEST(FitPicture, ScalesToTheLargestUndistortedSizeAndCentres) {
  struct Case {
    int w, h, cw, ch;
    PaintRect expected;
  } cases[] = {
      {400, 300, 1024, 600, {111, 0, 913, 600}},
      {640, 400, 1024, 768, {0, 63, 1024, 705}},
      {400, 300, 1024, 599, {112, 0, 912, 599}},  // neighbours of the first
      {400, 300, 1023, 600, {111, 0, 912, 600}},
      {640, 400, 1024, 767, {0, 63, 1024, 704}},    // and of the second
      {256, 128, 1024, 768, {0, 128, 1024, 640}},   // exact ratios
      {1024, 768, 1024, 768, {0, 0, 1024, 768}},    // same size: no margins
      {512, 384, 1024, 768, {0, 0, 1024, 768}},     // equal ratios
      {2048, 3072, 1024, 768, {256, 0, 768, 768}},  // larger than the window
      {0, 300, 1024, 768, {0, 0, 1024, 768}},       // a zero size: whole area
      {400, 300, 0, 768, {0, 0, 0, 768}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitPicture(c.w, c.h, c.cw, c.ch), c.expected)
        << c.w << "x" << c.h << " in " << c.cw << "x" << c.ch;
  }
}

}  // namespace
}  // namespace velmora
