// Program groups through whole runs on the simulated Program Manager, with
// no handler in between: what an installation creates from the user's
// answers, and what the uninstallation removes.
#include <gtest/gtest.h>

#include "authoring/package_writer.h"
#include "services/registry.h"
#include "shell/run_setup.h"
#include "shell/uninstall_files.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

PackageStep Group(const std::string& name) {
  PackageStep step = Step("CStepPMG");
  step.step->SetName(name);
  return step;
}

PackageStep IconFile(const std::string& name) {
  PackageStep step = Step("CStepFileCopy");
  step.step->SetName(name);
  step.step->SetDirectory("<Windows>");
  step.step->SetIcon(true);
  step.payload.assign(name.begin(), name.end());
  return step;
}

AnswerRule GroupRule(std::vector<GroupAction> actions) {
  AnswerRule rule;
  rule.kind = TranscriptKind::group;
  rule.pattern = "*";
  rule.groupActions = std::move(actions);
  return rule;
}

class ProgramGroupRun : public ShellTest {
 protected:
  RunOutcome Install(const std::string& group) {
    PackagePart part;
    part.title = "Demo";
    part.steps = Steps(Group(group), IconFile("ONE.EXE"), IconFile("TWO.EXE"));
    WritePackage(PackageDefinition{std::move(part), std::nullopt}, kMedia);
    return RunInstallation();
  }
  RunOutcome Uninstall() { return RunUninstallEntry(machine_, "Demo"); }
  // "group: item=command, ..." for every group, as the Program Manager holds them.
  std::vector<std::string> Groups() {
    std::vector<std::string> lines;
    for (const sim::ProgramGroup& group : machine_.ProgramManager().Groups()) {
      std::string line = group.name + ":";
      for (const sim::ProgramItem& item : group.items)
        line += " " + item.title + "=" + item.commandLine;
      lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> Executes() {
    std::vector<std::string> executes;
    for (const std::string& t : machine_.ProgramManager().Transactions())
      if (t.starts_with("execute ")) executes.push_back(t.substr(8));
    return executes;
  }
};

TEST_F(ProgramGroupRun, AnsweringNoOrClearingTheNameCreatesNothing) {
  const std::vector<std::string> before = Groups();
  for (const AnswerRule& rule : {MessageRule("Create program group and icons?", "no"),
                                 GroupRule({{GroupAction::type, ""}, {GroupAction::ok, ""}})}) {
    ui_.AddRule(rule);
    ASSERT_EQ(Install("Tools"), RunOutcome::installed);
    EXPECT_EQ(Groups(), before);
    EXPECT_TRUE(Executes().empty());
    ASSERT_EQ(Uninstall(), RunOutcome::uninstalled);
    EXPECT_TRUE(Executes().empty()) << "an empty name leaves Program Manager untouched";
  }
}

TEST_F(ProgramGroupRun, AnExistingGroupIsCreatedAgainBeforeEachItem) {
  ui_.AddRule(GroupRule({{GroupAction::choose, "Accessories"}}));
  ASSERT_EQ(Install("Tools"), RunOutcome::installed);
  const std::vector<std::string> expected = {
      "[CreateGroup(\"Accessories\")]", "[AddItem(\"C:\\WINDOWS\\ONE.EXE\", \"ONE.EXE\")]",
      "[CreateGroup(\"Accessories\")]", "[AddItem(\"C:\\WINDOWS\\TWO.EXE\", \"TWO.EXE\")]"};
  EXPECT_EQ(Executes(), expected);
}

TEST_F(ProgramGroupRun, TheGroupGoesOnlyWithItsLastItem) {
  struct Case {
    const char* group;
    std::vector<std::string> installed;  // the group's line after the installation
    bool kept;
  };
  const Case cases[] = {
      {"Tools", {"Tools: ONE.EXE=C:\\WINDOWS\\ONE.EXE TWO.EXE=C:\\WINDOWS\\TWO.EXE"}, false},
      {"Accessories",
       {"Accessories: Notepad=C:\\WINDOWS\\NOTEPAD.EXE ONE.EXE=C:\\WINDOWS\\ONE.EXE "
        "TWO.EXE=C:\\WINDOWS\\TWO.EXE"},
       true},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> before = Groups();
    ASSERT_EQ(Install(c.group), RunOutcome::installed);
    std::vector<std::string> installed;
    for (const std::string& line : Groups())
      if (line.starts_with(std::string(c.group) + ":")) installed.push_back(line);
    EXPECT_EQ(installed, c.installed);
    ASSERT_EQ(Uninstall(), RunOutcome::uninstalled);
    EXPECT_EQ(Groups(), before) << c.group;
    EXPECT_EQ(Executes().back().starts_with("[DeleteGroup("), !c.kept) << c.group;
  }
}

}  // namespace
}  // namespace velmora::test
