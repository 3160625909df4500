// The steps that show something, one call at a time: the agreement's text
// without a question, a user value whose registry entry does not split,
// and the background step's bitmap and window bookkeeping.
#include <gtest/gtest.h>

#include "dialogs/agreement_dialog.h"
#include "steps/background_window.h"
#include "steps/step_file_background.h"
#include "steps/step_file_display.h"
#include "steps/step_user_value.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/bmp_builder.h"

namespace velmora::test {
namespace {

using ShownStep = StepTest;

TEST_F(ShownStep, AgreementWithoutAQuestionShowsTheTextAlone) {
  CStepFileDisplay agreement;
  agreement.SetQuestion("");
  EXPECT_EQ(agreement.ShowText("terms\n"), id::ok);
  ASSERT_EQ(ui_.Transcript().size(), 1u);
  EXPECT_EQ(ui_.Transcript()[0].text, "terms\n");
  EXPECT_EQ(ui_.Transcript()[0].list, (std::vector<std::string>{"I accept", "I do not accept"}));
}

TEST_F(ShownStep, UserValueWhoseRegistryEntryDoesNotSplitAsksNothing) {
  CStepUserValue user;
  user.SetName("Name");
  user.SetRegEntry("HKEY_NOWHERE\\Software\\Name");
  user.SetIniFile("A.INI");
  user.SetIniSection("S");
  user.SetIniEntry("E");
  EXPECT_EQ(user.Install(), InstallResult::failed);
  EXPECT_TRUE(ui_.Transcript().empty());
  EXPECT_EQ(machine_.QueryProfileString("A.INI", "S", "E", "<none>", 260), "<none>");
}

// The bitmap belongs to the step: a new name or the step's end deletes it,
// and the window forgets a background step that is destroyed.
TEST_F(ShownStep, BackgroundStepOwnsItsBitmapAndLeavesTheWindowWhenDestroyed) {
  const Bytes image = MakeBmp({.width = 8, .height = 8});
  struct Window final : BackgroundWindow {
    CStep* Background() const override { return background; }
    void SetBackground(CStep* step) override { background = step; }
    void RepaintNow() override {}
    CStep* background = nullptr;
  } window;
  run_.backgroundWindow = &window;
  auto step = std::make_unique<CStepFileBackground>();
  step->JoinRun(&run_);
  step->ShowImage(image.data(), static_cast<std::uint32_t>(image.size()));
  EXPECT_EQ(window.Background(), step.get());
  EXPECT_STREQ(step->GetPreview(), std::to_string(step->Bitmap()).c_str());
  step->ShowImage(image.data(), static_cast<std::uint32_t>(image.size()));  // keeps its bitmap
  EXPECT_EQ(ui_.LiveBitmaps(), 1u);
  step->SetName("OTHER.BMP");
  EXPECT_EQ(step->Bitmap(), 0u);
  EXPECT_EQ(ui_.LiveBitmaps(), 0u);
  // The preview loads the picture from the named file.
  SetFile("OTHER.BMP", MakeBmp({.width = 3, .height = 2}));
  EXPECT_STRNE(step->GetPreview(), "");
  EXPECT_EQ(ui_.LiveBitmaps(), 1u);
  step.reset();
  EXPECT_EQ(window.Background(), nullptr);
  EXPECT_EQ(ui_.LiveBitmaps(), 0u);
  run_.backgroundWindow = nullptr;
}

}  // namespace
}  // namespace velmora::test
