// The program group step's turn in a run: the question, the group dialog
// filled from the simulated Program Manager, and the name it keeps.
#include <gtest/gtest.h>

#include "backends/scripted/scripted_ui.h"
#include "backends/sim/sim_machine.h"
#include "services/program_manager.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

AnswerRule Rule(TranscriptKind kind, const std::string& answer,
                std::vector<GroupAction> actions = {}) {
  AnswerRule rule;
  rule.kind = kind;
  rule.pattern = "*";
  rule.answer = answer;
  rule.groupActions = std::move(actions);
  return rule;
}

TEST(StepPMGInstall, TheAnswersDecideTheName) {
  struct Case {
    const char* what;
    std::vector<AnswerRule> rules;
    std::string name;
    bool dialogShown;
  };
  const Case cases[] = {
      {"No: no group", {Rule(TranscriptKind::message, "no")}, "", false},
      {"no rule: the script's name", {}, "Lantern", true},
      {"a typed name",
       {Rule(TranscriptKind::group, "", {{GroupAction::type, "Tools"}})},
       "Tools",
       true},
      {"a cleared name", {Rule(TranscriptKind::group, "", {{GroupAction::type, ""}})}, "", true},
      {"an existing group",
       {Rule(TranscriptKind::group, "", {{GroupAction::choose, "Games"}})},
       "Games",
       true},
      {"Escape keeps the script's name",
       {Rule(TranscriptKind::group, "", {{GroupAction::type, "Tools"}, {GroupAction::escape, ""}})},
       "Lantern",
       true},
  };
  for (const Case& c : cases) {
    SimMachine machine{SimOptions{}};
    ScopedMachine machineScope(machine);
    ScriptedUi ui;
    ScopedUi uiScope(ui);
    for (const AnswerRule& rule : c.rules) ui.AddRule(rule);
    CStepPMG step;
    step.SetName("Lantern");
    EXPECT_EQ(step.Install(), InstallResult::done) << c.what;
    EXPECT_EQ(step.GetName(), c.name) << c.what;
    ASSERT_FALSE(ui.Transcript().empty());
    EXPECT_EQ(ui.Transcript()[0].text, "Create program group and icons?");
    EXPECT_EQ(ui.Transcript()[0].style, mb::yesNo | mb::iconQuestion);
    EXPECT_EQ(ui.Transcript().size(), c.dialogShown ? 2u : 1u) << c.what;
    EXPECT_TRUE(machine.ProgramManager().Transactions().size() == (c.dialogShown ? 1u : 0u))
        << c.what;  // the list of groups, and nothing created
  }
}

TEST(StepPMGInstall, TheDialogListsTheGroupsSortedAndOpensWithoutThem) {
  SimMachine machine{SimOptions{}};
  ScopedMachine machineScope(machine);
  ASSERT_TRUE(ProgmanAddItem("apps", "C:\\A.EXE", "A"));
  ScriptedUi ui;
  ScopedUi uiScope(ui);
  CStepPMG step;
  step.SetName("Lantern");
  step.Install();
  ASSERT_EQ(ui.Transcript().size(), 2u);
  const TranscriptEntry& dialog = ui.Transcript()[1];
  EXPECT_EQ(dialog.kind, TranscriptKind::group);
  EXPECT_EQ(dialog.caption, "Create program group:");
  EXPECT_EQ(dialog.path, "Lantern");
  EXPECT_EQ(dialog.list,
            (std::vector<std::string>{"Accessories", "apps", "Games", "Main", "StartUp"}));

  machine.ProgramManager().InjectFault(sim::DdeFault::noServer);
  ui.ClearTranscript();
  step.Install();
  ASSERT_EQ(ui.Transcript().size(), 2u);
  EXPECT_TRUE(ui.Transcript()[1].list.empty());
  EXPECT_EQ(step.GetName(), "Lantern");
}

}  // namespace
}  // namespace velmora
