// The archive form of every step kind (the uninstall log): exact layout,
// round trips, and loading of older versions.
#include <gtest/gtest.h>

#include "framework/file_exception.h"
#include "steps/step_directory.h"
#include "steps/step_file_background.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"
#include "unit/steps/step_test_support.h"

namespace velmora::test {
namespace {

class StepArchive : public StepTest {
 protected:
  // Stores the step, checks the exact bytes, loads them into a fresh object
  // of the same class and checks that it stores the same bytes again.
  void ExpectLayoutAndRoundTrip(CStep& step, const LogBuilder& expected) {
    const Bytes stored = Store(step);
    EXPECT_EQ(stored, expected.Get()) << step.GetRuntimeClass()->m_lpszClassName;
    std::unique_ptr<CObject> copy(step.GetRuntimeClass()->CreateObject());
    auto* again = dynamic_cast<CStep*>(copy.get());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Load(*again, stored), 0u);
    EXPECT_EQ(Store(*again), stored);
  }
};

TEST_F(StepArchive, EveryKindStoresItsFieldsInOrderAndLoadsThemBack) {
  CStepIniValue ini;
  ini.SetIniFile("app.ini");
  ini.SetIniSection("Settings");
  ini.SetIniEntry("Path");
  ini.SetDefault("data");
  ini.SetDirectory("Main");
  ExpectLayoutAndRoundTrip(
      ini, LogBuilder().U16(7).Str("app.ini").Str("Settings").Str("Path").Str("data").Str("Main"));

  CStepDirectory dir;
  dir.SetIniFile("f");
  dir.SetName("Main");
  dir.SetQuestion("Where?");
  dir.SetRegEntry("HKEY_CURRENT_USER\\S\\V");
  dir.SetChosenPath("C:\\APP");
  ExpectLayoutAndRoundTrip(dir, LogBuilder()
                                    .U16(7)
                                    .Str("f")
                                    .Str("")
                                    .Str("")
                                    .Str("")
                                    .Str("<None>")
                                    .Str("Main")
                                    .Str("Where?")
                                    .Str("HKEY_CURRENT_USER\\S\\V")
                                    .Str("C:\\APP\\"));

  CStepUserValue user;
  user.SetName("Company");
  user.SetRegEntry("R");
  ExpectLayoutAndRoundTrip(
      user,
      LogBuilder().U16(7).Str("").Str("").Str("").Str("").Str("<None>").Str("Company").Str("R"));

  CStepRegistry reg;
  reg.SetRegEntry("HKEY_LOCAL_MACHINE\\Software\\X\\Dir");
  reg.SetDefault("bin");
  reg.SetDirectory("<Windows>");
  ExpectLayoutAndRoundTrip(
      reg,
      LogBuilder().U16(7).Str("HKEY_LOCAL_MACHINE\\Software\\X\\Dir").Str("bin").Str("<Windows>"));

  CStepPMG pmg;
  pmg.SetName("Demo Group");
  ExpectLayoutAndRoundTrip(pmg, LogBuilder().U16(7).Str("Demo Group"));

  // The file step's run-time fields come from a loaded log entry.
  CStepFileCopy copy;
  Load(copy, LogBuilder()
                 .U16(7)
                 .Str("APP.EXE")
                 .I32(1)
                 .Str("C:\\APP\\")
                 .Str("Main")
                 .Str("App")
                 .I32(1)
                 .I32(0)
                 .I32(1)
                 .I32(0)
                 .I32(1)
                 .I32(0)
                 .Get());
  EXPECT_TRUE(copy.GetCreatedByInstall());
  EXPECT_EQ(copy.GetTargetDirectory(), "C:\\APP\\");
  EXPECT_TRUE(copy.GetHidden() && copy.GetShared() && !copy.GetUseRecommended());
  copy.SetReadOnly(true);
  copy.SetUseRecommended(true);
  copy.SetShared(false);
  ExpectLayoutAndRoundTrip(copy, LogBuilder()
                                     .U16(7)
                                     .Str("APP.EXE")
                                     .I32(1)
                                     .Str("C:\\APP\\")
                                     .Str("Main")
                                     .Str("App")
                                     .I32(1)
                                     .I32(1)
                                     .I32(1)
                                     .I32(0)
                                     .I32(0)
                                     .I32(1));

  CStepFileBackground background;
  background.SetName("logo.bmp");
  ExpectLayoutAndRoundTrip(background, LogBuilder().U16(7).Str("logo.bmp").I32(0).Str(""));

  CStepFileDisplayOptional readme;
  readme.SetQuestion("Read?");
  ExpectLayoutAndRoundTrip(readme, LogBuilder().U16(7).Str("").I32(0).Str("").Str("Read?"));
}

TEST_F(StepArchive, OlderRegistryAndDirectoryVersionsLackTheirNewerFields) {
  CStepRegistry reg3;
  EXPECT_EQ(
      Load(reg3, LogBuilder().U16(3).Str("HKEY_CLASSES_ROOT\\K\\V").Str("x").Str("extra").Get()),
      6u);
  EXPECT_EQ(reg3.GetDefault(), "x");
  EXPECT_EQ(reg3.GetDirectory(), "");  // not "<None>": an old entry has no prefix
  CStepRegistry reg4;
  EXPECT_EQ(Load(reg4, LogBuilder().U16(4).Str("R").Str("x").Str("Main").Get()), 0u);
  EXPECT_EQ(reg4.GetDirectory(), "Main");

  CStepDirectory dir2;
  dir2.SetRegEntry("stale");
  EXPECT_EQ(Load(dir2, LogBuilder()
                           .U16(2)
                           .Str("a.ini")
                           .Str("S")
                           .Str("E")
                           .Str("d")
                           .Str("<Windows>")
                           .Str("Main")
                           .Str("Where?")
                           .Str("C:\\OLD\\")
                           .Get()),
            0u);
  EXPECT_EQ(dir2.GetRegEntry(), "");
  EXPECT_EQ(dir2.GetPath(), "C:\\OLD\\");
  EXPECT_EQ(dir2.GetVersion(), 2);
  // Stored again, it is a version 7 entry with the (empty) registry entry.
  EXPECT_EQ(Store(dir2), LogBuilder()
                             .U16(7)
                             .Str("a.ini")
                             .Str("S")
                             .Str("E")
                             .Str("d")
                             .Str("<Windows>")
                             .Str("Main")
                             .Str("Where?")
                             .Str("")
                             .Str("C:\\OLD\\")
                             .Get());
}

// Icon name, then the flags icon, read-only, hidden, register, shared and
// use-recommended as 0/1.
std::string Properties(const CStepFileCopy& s) {
  std::string out = s.GetIconName() + ":";
  for (bool flag : {s.GetIcon(), s.GetReadOnly(), s.GetHidden(), s.GetRegister(), s.GetShared(),
                    s.GetUseRecommended()})
    out += flag ? '1' : '0';
  return out;
}

TEST_F(StepArchive, FileCopyLoadsEveryOlderVersion) {
  auto head = [](std::uint16_t v) {
    return LogBuilder().U16(v).Str("F.DLL").I32(0).Str("C:\\D\\").Str("Main");
  };
  const std::pair<LogBuilder, std::string> cases[] = {
      {head(1).Str("old1").Str("old2").I32(1), ":100000"},
      {head(2).I32(1).I32(1).I32(0).I32(1), ":110100"},
      {head(3).I32(0).I32(0).I32(1).I32(0), ":001000"},
      {head(4).I32(1).I32(1).I32(1).I32(1), ":111100"},
      {head(5).I32(0).I32(0).I32(0).I32(0).I32(1), ":000011"},
      {head(6).Str("Icon").I32(1).I32(0).I32(0).I32(0).I32(1), "Icon:100011"},
      {head(7).Str("Icon").I32(0).I32(0).I32(0).I32(1).I32(1).I32(0), "Icon:000110"},
  };
  for (const auto& [log, expected] : cases) {
    CStepFileCopy step;
    // Leftovers must not survive a load that does not read them.
    step.SetIconName("stale");
    for (auto set : {&CStep::SetReadOnly, &CStep::SetHidden, &CStep::SetRegister, &CStep::SetShared,
                     &CStep::SetUseRecommended})
      (step.*set)(true);
    Bytes bytes = log.Get();
    bytes.push_back(0xAB);  // one byte beyond the entry: must stay unread
    EXPECT_EQ(Load(step, bytes), 1u) << expected;
    EXPECT_EQ(Properties(step), expected) << "version " << step.GetVersion();
    EXPECT_EQ(step.GetDirectory(), "Main");
  }
}

TEST_F(StepArchive, VersionAboveSevenIsRefusedBeforeAnyField) {
  for (CStep* step :
       std::initializer_list<CStep*>{new CStepPMG, new CStepFileCopy, new CStepDirectory}) {
    std::unique_ptr<CStep> owned(step);
    step->SetName("kept");
    try {
      Load(*step, LogBuilder().U16(8).Str("new").Get());
      ADD_FAILURE() << "version 8 loaded";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::generic);
    }
    EXPECT_EQ(step->GetName(), "kept");
  }
}

}  // namespace
}  // namespace velmora::test
