// What the user sees and answers, through whole installations on the
// simulated machine: the agreement and the readme, the user value, and the
// background picture.
#include <gtest/gtest.h>

#include <functional>

#include "authoring/package_writer.h"
#include "services/registry.h"
#include "shell/installation_run.h"
#include "shell/run_setup.h"
#include "shell/run_window.h"
#include "steps/step_file_display.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/bmp_builder.h"

namespace velmora::test {
namespace {

using ::velmora::testing::GetFile;
using ::velmora::testing::PutFile;

constexpr const char* kAgreementText = "TERMS\r\nline two";

// A step whose payload is `data`: a file copy, or one of the kinds that hold
// their data in memory.
PackageStep MemoryStep(const std::string& className, const std::string& name,
                       const std::string& data) {
  PackageStep step = Step(className);
  step.step->SetName(name);
  step.payload.assign(data.begin(), data.end());
  return step;
}

PackageStep WindowsFile(const std::string& name, const std::string& data) {
  PackageStep step = MemoryStep("CStepFileCopy", name, data);
  step.step->SetDirectory("<Windows>");
  return step;
}

PackageStep UserValue(const std::string& label, const std::string& suggestion) {
  PackageStep step = Step("CStepUserValue");
  step.step->SetName(label);
  step.step->SetDefault(suggestion);
  step.step->SetRegEntry("HKEY_CURRENT_USER\\Software\\Lantern\\Owner");
  step.step->SetIniFile("LANTERN.INI");
  step.step->SetIniSection("Owner");
  step.step->SetIniEntry("Name");
  return step;
}

AnswerRule Rule(TranscriptKind kind, const std::string& answer) {
  AnswerRule rule;
  rule.kind = kind;
  rule.pattern = "*";
  rule.answer = answer;
  return rule;
}

AnswerRule UserRule(std::vector<UserValueAction> actions) {
  AnswerRule rule = Rule(TranscriptKind::user, "");
  rule.userActions = std::move(actions);
  return rule;
}

class ShownStepsRun : public ShellTest {
 protected:
  // Installs the steps; `inspect` sees the run and its window before they
  // are destroyed.
  RunOutcome Install(std::vector<PackageStep> steps,
                     const std::function<void(const velmora::InstallationRun&, const RunWindow&)>&
                         inspect = nullptr) {
    PackagePart part;
    part.title = "Demo";
    part.steps = std::move(steps);
    WritePackage(PackageDefinition{std::move(part), std::nullopt}, kMedia);
    RunWindow window(RunMode::install);
    velmora::InstallationRun run(window, kMediaSetup);
    const RunOutcome outcome = run.Run();
    if (inspect) inspect(run, window);
    return outcome;
  }
  std::vector<const TranscriptEntry*> Entries(TranscriptKind kind) const {
    std::vector<const TranscriptEntry*> shown;
    for (const TranscriptEntry& e : ui_.Transcript())
      if (e.kind == kind) shown.push_back(&e);
    return shown;
  }
  // RUN.INI's entry as it was before each run: a roll-back writes it back.
  void RememberIni(const std::string& entry) {
    machine_.SetProfileString("RUN.INI", "Run", entry, "before");
  }
  std::string Owner() {
    return ReadRegistryString(hkey::currentUser, "Software\\Lantern", "Owner", 260) + "|" +
           machine_.QueryProfileString("LANTERN.INI", "Owner", "Name", "<none>", 260);
  }
};

// Refusing (or closing) the agreement fails the run: the steps before it
// are rolled back, and a file that was there before the run stays.
TEST_F(ShownStepsRun, RefusedAgreementRollsBackWhatCameBeforeAndKeepsOldFiles) {
  ASSERT_EQ(PutFile(machine_, "C:\\WINDOWS\\OLD.TXT", "old"), FileCause::none);
  for (const char* answer : {"refuse", "close"}) {
    ui_.ClearTranscript();
    ui_.AddRule(Rule(TranscriptKind::agreement, answer));
    RememberIni("A");
    EXPECT_EQ(Install(Steps(IniValue("A", "1"), WindowsFile("OLD.TXT", "new"),
                            WindowsFile("NEW.TXT", "new"),
                            MemoryStep("CStepFileDisplay", "LICENSE.TXT", kAgreementText))),
              RunOutcome::installFailed)
        << answer;
    EXPECT_EQ(Ini("A"), "before");
    EXPECT_EQ(GetFile(machine_, "C:\\WINDOWS\\OLD.TXT"), "old");
    EXPECT_EQ(GetFile(machine_, "C:\\WINDOWS\\NEW.TXT"), "<fileNotFound>");
    ASSERT_EQ(Entries(TranscriptKind::agreement).size(), 1u);
  }
  // The text, three line breaks, the standard question; nothing converted.
  EXPECT_EQ(Entries(TranscriptKind::agreement)[0]->text,
            std::string(kAgreementText) + "\r\n\r\n\r\n" + kAgreementQuestion);
}

TEST_F(ShownStepsRun, AcceptedAgreementIsRolledBackWithoutTouchingAnyFile) {
  ASSERT_EQ(PutFile(machine_, "C:\\WINDOWS\\LICENSE.TXT", "mine"), FileCause::none);
  RememberIni("A");
  PackageStep broken = Step("CStepRegistry");
  broken.step->SetRegEntry("NOT A REGISTRY ENTRY");
  EXPECT_EQ(Install(Steps(MemoryStep("CStepFileDisplay", "LICENSE.TXT", kAgreementText),
                          IniValue("A", "1"), std::move(broken))),
            RunOutcome::installFailed);
  EXPECT_EQ(GetFile(machine_, "C:\\WINDOWS\\LICENSE.TXT"), "mine");
  EXPECT_EQ(GetFile(machine_, "C:\\MEDIA\\LICENSE.TXT"), "<fileNotFound>");
  EXPECT_EQ(Ini("A"), "before");
}

// No skips the text; Yes then OK goes on; Yes then the close box stops the
// installation as a refused agreement does.
TEST_F(ShownStepsRun, ReadmeIsOfferedAndOnlyClosingTheViewerStopsTheRun) {
  struct Case {
    const char* question;
    const char* viewer;  // "" = no readme rule
    RunOutcome outcome;
    std::size_t viewed;
  } cases[] = {
      {"no", "", RunOutcome::installed, 0},
      {"yes", "ok", RunOutcome::installed, 1},
      {"yes", "close", RunOutcome::installFailed, 1},
  };
  for (const Case& c : cases) {
    RememberIni("B");
    ScriptedUi ui;
    ScopedUi scope(ui);
    ui.AddRule(MessageRule("If you wish to view the readme file*", c.question));
    if (*c.viewer != '\0') ui.AddRule(Rule(TranscriptKind::readme, c.viewer));
    EXPECT_EQ(Install(Steps(IniValue("B", "2"),
                            MemoryStep("CStepFileDisplayOptional", "README.TXT", "read\nme"))),
              c.outcome)
        << c.question << " " << c.viewer;
    std::size_t viewed = 0;
    for (const TranscriptEntry& e : ui.Transcript()) {
      if (e.kind != TranscriptKind::readme) continue;
      ++viewed;
      EXPECT_EQ(e.text, "read\nme");  // no separator, no question
      EXPECT_EQ(e.list, std::vector<std::string>{"OK"});
    }
    EXPECT_EQ(viewed, c.viewed);
    EXPECT_EQ(Ini("B"), c.outcome == RunOutcome::installed ? "2" : "before");
  }
}

// The suggestion is the registry's remembered value before the ini file's;
// what is typed, an empty value included, goes to both; Escape stores the
// suggestion.
TEST_F(ShownStepsRun, UserValueSuggestsTheRememberedValueAndStoresTheAnswerInBothPlaces) {
  struct Case {
    const char* registry;  // remembered before the run ("" = none)
    const char* ini;
    AnswerRule rule;
    const char* suggested;
    const char* stored;
  } cases[] = {
      {"", "", UserRule({{UserValueAction::type, "Ada"}}), "Someone", "Ada|Ada"},
      {"", "Ini Owner", UserRule({{UserValueAction::escape, ""}}), "Ini Owner",
       "Ini Owner|Ini Owner"},
      {"Reg Owner", "Ini Owner",
       UserRule({{UserValueAction::type, "Bob"}, {UserValueAction::escape, ""}}), "Reg Owner",
       "Reg Owner|Reg Owner"},
      {"Reg Owner", "", UserRule({{UserValueAction::type, ""}}), "Reg Owner", "|"},
  };
  for (const Case& c : cases) {
    WriteRegistryString(hkey::currentUser, "Software\\Lantern", "Owner", c.registry);
    machine_.SetProfileString("LANTERN.INI", "Owner", "Name", c.ini);
    ScriptedUi ui;
    ScopedUi scope(ui);
    ui.AddRule(c.rule);
    EXPECT_EQ(Install(Steps(UserValue("Your name", "Someone"))), RunOutcome::installed);
    const TranscriptEntry* asked = nullptr;
    for (const TranscriptEntry& e : ui.Transcript())
      if (e.kind == TranscriptKind::user) asked = &e;
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->caption, "Your name");
    EXPECT_EQ(asked->path, c.suggested);
    EXPECT_EQ(Owner(), c.stored) << c.suggested;
  }
}

// A second picture replaces the first on the screen and on the done list;
// data that is not a bitmap still takes the window and paints nothing.
TEST_F(ShownStepsRun, LaterBackgroundReplacesTheEarlierAndNonBitmapsPaintNothing) {
  const std::string first = AsText(MakeBmp({.width = 400, .height = 300}));
  const std::string second = AsText(MakeBmp({.width = 640, .height = 400, .bitCount = 8}));
  std::size_t backgrounds = 0;
  EXPECT_EQ(Install(Steps(MemoryStep("CStepFileBackground", "ONE.BMP", first),
                          MemoryStep("CStepFileBackground", "TWO.BMP", second),
                          MemoryStep("CStepFileBackground", "NOTE.TXT", "not a picture")),
                    [&](const velmora::InstallationRun& run, const RunWindow& window) {
                      for (CStep* step : run.DoneSteps())
                        backgrounds += step->IsBackgroundImage() ? 1 : 0;
                      ASSERT_NE(window.Background(), nullptr);
                      EXPECT_EQ(window.Background()->GetName(), "NOTE.TXT");
                    }),
            RunOutcome::installed);
  EXPECT_EQ(backgrounds, 1u);
  std::vector<std::string> painted;
  for (const TranscriptEntry* e : Entries(TranscriptKind::background)) painted.push_back(e->text);
  EXPECT_EQ(painted, (std::vector<std::string>{"400x300 in 1024x768: x 0 to 1024, y 0 to 768",
                                               "640x400 in 1024x768: x 0 to 1024, y 63 to 705",
                                               "nothing painted in 1024x768"}));
  EXPECT_EQ(ui_.LiveBitmaps(), 0u);  // every bitmap deleted with its step
}

}  // namespace
}  // namespace velmora::test
