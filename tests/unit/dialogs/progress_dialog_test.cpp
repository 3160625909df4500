// The progress dialog: what the bar shows for a value, where the dialog
// goes, the installation's percentages, and the dialog's life through the Ui.
#include "dialogs/progress_dialog.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

TEST(ProgressBar, SplitsAtWidthTimesPercentAndClampsTheValue) {
  const ProgressBarLayout empty = LayoutProgressBar(168, 0);
  EXPECT_EQ(empty.split, 0);
  EXPECT_EQ(empty.text, "0%");
  EXPECT_TRUE(empty.fillsWhite());
  EXPECT_FALSE(empty.fillsRed());

  const ProgressBarLayout full = LayoutProgressBar(168, 100);
  EXPECT_EQ(full.split, 168);
  EXPECT_EQ(full.text, "100%");
  EXPECT_FALSE(full.fillsWhite());
  EXPECT_TRUE(full.fillsRed());

  const ProgressBarLayout part = LayoutProgressBar(251, 42);  // 251 * 42 / 100 = 105.42
  EXPECT_EQ(part.split, 105);
  EXPECT_EQ(part.text, "42%");
  EXPECT_TRUE(part.fillsWhite() && part.fillsRed());

  EXPECT_EQ(LayoutProgressBar(200, 250).percent, 100);
  EXPECT_EQ(LayoutProgressBar(200, 250).split, 200);
  EXPECT_EQ(LayoutProgressBar(200, 250).text, "100%");
  EXPECT_EQ(LayoutProgressBar(200, -7).percent, 0);
  EXPECT_EQ(LayoutProgressBar(200, -7).text, "0%");
}

TEST(ProgressBar, DialogEndsOneLeftAndTenAboveTheDesktopCorner) {
  const DialogPosition at = PlaceProgressDialog(640, 480, 286, 122);
  EXPECT_EQ(at.x + 286, 639);
  EXPECT_EQ(at.y + 122, 470);
  const DialogPosition large = PlaceProgressDialog(320, 200, 400, 300);  // caption stays on screen
  EXPECT_EQ(large.x, 0);
  EXPECT_EQ(large.y, 0);
}

TEST(ProgressBar, InstallPercentStaysExactForWeightsBeyondThirtyTwoBits) {
  // Three steps of 900 MB: the sums pass 2^31, the products 2^38.
  const std::int64_t step = 900LL * 1024 * 1024;
  const std::int64_t total = 3 * step;
  EXPECT_EQ(InstallPercent(total, 0, false, false), 0);
  EXPECT_EQ(InstallPercent(total, step, false, false), 33);
  EXPECT_EQ(InstallPercent(total, 2 * step, false, false), 66);
  EXPECT_EQ(InstallPercent(total, total, false, false), 100);
  int last = -1;
  for (std::int64_t done = 0; done <= total; done += step / 7) {
    const int p = InstallPercent(total, done, false, false);
    EXPECT_GE(p, last);
    EXPECT_LE(p, 100);
    last = p;
  }
  // Halves of a two-part installation.
  EXPECT_EQ(InstallPercent(total, total, true, false), 50);
  EXPECT_EQ(InstallPercent(total, step, true, true), 50 + 16);
  EXPECT_EQ(InstallPercent(total, total, true, true), 100);
}

TEST(ProgressDialog, ShowsOnCreationUpdatesAtOnceAndHidesOnDestruction) {
  RecordingUi ui;
  ScopedUi scoped(ui);
  {
    CProgressDialog dialog;
    EXPECT_EQ(ui.shown, 1);
    EXPECT_EQ(dialog.Percent(), 0);
    EXPECT_EQ(dialog.FileText(), "");
    dialog.SetFileText("Directory: MAIN");
    dialog.SetPercent(150);  // kept as given; only the bar clamps
    EXPECT_EQ(dialog.Percent(), 150);
    EXPECT_EQ(ui.percents, (std::vector<int>{0, 150}));
    EXPECT_EQ(ui.hidden, 0);
  }
  EXPECT_EQ(ui.hidden, 1);
  // One transcript entry for the step line, with the last value.
  ASSERT_EQ(ui.Transcript().size(), 1u);
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[0]), "progress \"Directory: MAIN\" 150%");
}

}  // namespace
}  // namespace velmora::test
