// The checks before a package is written: each step's own Validate over the
// whole package, and directory references that the installation resolves.
#include "authoring/package_checks.h"

#include <functional>
#include <set>

#include "authoring/manifest_wording.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

class PackageChecks : public PackageTest {
 protected:
  static PackageStep Directory(const std::string& name) {
    return DirectoryStep({.name = name, .question = "Where?", .value = "C:\\APP"});
  }
};

TEST_F(PackageChecks, SoundPackagePasses) {
  PackageDefinition package;
  package.first.steps.push_back(Directory("App"));
  package.first.steps.push_back(FileStep({.name = "A.EXE", .directory = "App"}));
  package.first.steps.push_back(IniValueStep({.directory = "<None>",
                                              .value = "1",
                                              .iniFile = "A.INI",
                                              .iniSection = "S",
                                              .iniEntry = "E"}));
  package.second.emplace();
  package.second->steps.push_back(FileStep({.name = "B.DLL", .directory = "<Windows system>"}));
  package.second->steps.push_back(FileStep({.name = "C.DLL", .directory = "App"}));
  EXPECT_TRUE(CheckPackage(package).empty());
}

TEST_F(PackageChecks, ReportsEachStepsOwnRefusal) {
  PackageDefinition package;
  package.first.steps.push_back(DirectoryStep({.name = "Main"}));  // no question
  package.first.steps.push_back(GroupStep("Lantern"));
  package.first.steps.push_back(Directory("App"));
  package.second.emplace();
  package.second->steps.push_back(GroupStep("Other"));
  package.second->steps.push_back(Directory("App"));  // the same name as in part 1
  const std::vector<StepProblem> problems = CheckPackage(package);
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0].part, 1);
  EXPECT_EQ(problems[0].index, 0u);
  EXPECT_EQ(problems[0].step, "CStepDirectory 'Main'");
  EXPECT_EQ(problems[0].message, "'question' must not be empty");
  EXPECT_EQ(problems[1].message, "a package holds at most one program_group step");
  // The step is named as it was before Validate cleared the duplicate name.
  EXPECT_EQ(problems[2].step, "CStepDirectory 'App'");
  EXPECT_EQ(problems[2].message.substr(0, 44), "'name' is also the name of another step; eac");
  EXPECT_EQ(problems[3].part, 2);
  EXPECT_EQ(problems[3].index, 0u);
  EXPECT_EQ(problems[3].step, "CStepPMG 'Other'");
}

// Every refusal of the steps' own Validate is reported with the manifest's
// keys: one package per refusal, and the table holds each refusal once.
TEST_F(PackageChecks, RefusalsAreSaidWithManifestKeys) {
  const std::string reg = "HKEY_CURRENT_USER\\A\\B";
  const std::function<std::vector<PackageStep>()> cases[] = {
      [] { return Steps(DirectoryStep({.question = "Q"})); },
      [] { return Steps(Directory("App"), Directory("App")); },
      [] { return Steps(DirectoryStep({.name = "D"})); },
      [] { return Steps(DirectoryStep({.name = "D", .question = "Q", .iniFile = "A.INI"})); },
      [] { return Steps(DirectoryStep({.name = "D", .directory = "", .question = "Q"})); },
      [] { return Steps(DirectoryStep({.name = "D", .directory = "D", .question = "Q"})); },
      [] { return Steps(IniValueStep({.directory = "", .value = "1"})); },
      [] { return Steps(IniValueStep({.directory = "<None>", .iniFile = "A.INI"})); },
      [] { return Steps(UserValueStep({.name = "U"})); },
      [&] { return Steps(RegistryStep({.directory = "", .value = "1", .regEntry = reg})); },
      [] { return Steps(RegistryStep({.directory = "<None>", .value = "1"})); },
      [&] { return Steps(RegistryStep({.directory = "<None>", .regEntry = reg})); },
      [] { return Steps(FileStep({.name = "A.EXE", .directory = ""})); },
      [] { return Steps(GroupStep("A"), GroupStep("B")); },
  };
  std::set<std::string> refusals;
  for (const auto& make : cases) {
    std::vector<PackageStep> steps = make();
    StepList all;
    for (const PackageStep& step : steps) all.push_back(step.step.get());
    std::string refusal;
    ASSERT_FALSE(steps.back().step->Validate(&all, &refusal));
    const std::string wording = ManifestWording(refusal);
    EXPECT_NE(wording, refusal) << "no manifest wording for: " << refusal;
    EXPECT_EQ(wording.find("You "), std::string::npos) << wording;
    PackageDefinition package;
    package.first.steps = make();
    std::vector<std::string> messages;
    for (const StepProblem& problem : CheckPackage(package)) messages.push_back(problem.message);
    EXPECT_NE(std::find(messages.begin(), messages.end(), wording), messages.end()) << wording;
    refusals.insert(refusal);
  }
  std::set<std::string> table;
  for (const RefusalWording& entry : RefusalWordings()) table.insert(entry.refusal);
  EXPECT_EQ(refusals, table);
  EXPECT_EQ(table.size(), RefusalWordings().size());
}

TEST_F(PackageChecks, DirectoryReferencesMustResolve) {
  PackageDefinition package;
  package.first.steps.push_back(Directory("App"));
  // A file step looks "<None>" up as a directory name; an ini step takes it
  // as "no directory".
  package.first.steps.push_back(FileStep({.name = "A.EXE", .directory = "<None>"}));
  package.first.steps.push_back(
      RegistryStep({.directory = "app", .value = "x", .regEntry = "HKEY_CURRENT_USER\\A\\B"}));
  package.first.steps.push_back(
      RegistryStep({.directory = "<None>", .value = "x", .regEntry = "HKEY_CURRENT_USER\\A\\C"}));
  const std::vector<StepProblem> problems = CheckPackage(package);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].index, 1u);
  EXPECT_EQ(problems[0].message, "The directory '<None>' is not the name of any directory step");
  EXPECT_EQ(problems[1].index, 2u);
  EXPECT_NE(problems[1].message.find("'app'"), std::string::npos);
}

// The texts the runs put into Program Manager commands: the group name, and
// for a file with an icon its item's title and its file name.
TEST_F(PackageChecks, ProgramManagerTextsMustFitACommand) {
  struct Case {
    PackageStep step;
    std::string message;  // empty: passes
  };
  auto file = [](const std::string& name, const std::string& iconName, bool icon) {
    return FileStep({.name = name, .directory = "<Windows>", .icon = icon, .iconName = iconName});
  };
  Case cases[] = {
      {GroupStep("x\")][DeleteGroup(\"Accessories"), "The group name holds a double quote (\")"},
      {GroupStep("Lantern\r\n"), "The group name holds a control character (0x0D)"},
      {GroupStep("Lantern Notes (1996)"), ""},
      {file("A.EXE", "Tab\there", true), "The icon name holds a control character (0x09)"},
      {file("B\x7F.EXE", "Viewer", true), "The file name holds a control character (0x7F)"},
      {file("C\x7F.EXE", "", true), "The file name holds a control character (0x7F)"},
      {file("D\x7F.EXE", "\"Quoted\"", false), ""},  // no item: nothing is sent
  };
  for (Case& c : cases) {
    PackageDefinition package;
    const std::string step = c.step.step->GetName();
    package.first.steps.push_back(std::move(c.step));
    const std::vector<StepProblem> problems = CheckPackage(package);
    if (c.message.empty()) {
      EXPECT_TRUE(problems.empty()) << step;
    } else {
      ASSERT_EQ(problems.size(), 1u) << step;
      EXPECT_EQ(problems[0].message, c.message) << step;
      // The report names the step on one line.
      EXPECT_EQ(problems[0].step.find_first_of("\r\n\t\x01\x7F"), std::string::npos);
    }
  }
}

// Every problem of every step is reported: a directory used before it is
// chosen, a target that differs from another only by case, registry
// entries the runtime cannot take apart.
TEST_F(PackageChecks, ReportsEveryProblemOfEveryStep) {
  PackageDefinition package;
  package.first.steps.push_back(FileStep({.name = "EARLY.TXT", .directory = "App"}));
  package.first.steps.push_back(Directory("App"));
  package.first.steps.push_back(FileStep({.name = "README.txt", .directory = "App"}));
  package.first.steps.push_back(FileStep({.name = "DOCS\\readme.TXT", .directory = "App"}));
  package.first.steps.push_back(FileStep({.name = "readme.TXT", .directory = "<Windows>"}));
  package.second.emplace();
  package.second->steps.push_back(FileStep({.name = "docs\\README.txt", .directory = "App"}));
  struct Case {
    const char* regEntry;
    const char* message;  // empty: passes
  };
  const Case registry[] = {
      {"HKEY_LOCAL_MACHINE\\Software\\V", ""},
      {"HKLM\\Software\\V", "'reg_entry' starts with 'HKLM', which is not a root key"},
      {"HKEY_LOCAL_MACHIN\\Software\\V", "'reg_entry' starts with 'HKEY_LOCAL_MACHIN', which"},
      {"Software\\V", "'reg_entry' starts with 'Software', which is not a root key"},
      {"HKEY_CURRENT_USER\\V", "'reg_entry' must be ROOT\\KEY\\VALUE"},
  };
  for (const Case& c : registry)
    package.second->steps.push_back(
        RegistryStep({.directory = "<None>", .value = "1", .regEntry = c.regEntry}));

  std::vector<std::string> expected = {
      "1.0 The directory 'App' is chosen only by a later directory step",
      "2.0 The file 'App\\docs\\README.txt' is also placed by step 4: Windows does not tell file "
      "names apart by case"};
  for (std::size_t i = 0; i < std::size(registry); ++i)
    if (*registry[i].message != 0)
      expected.push_back("2." + std::to_string(i + 1) + " " + registry[i].message);
  const std::vector<StepProblem> problems = CheckPackage(package);
  ASSERT_EQ(problems.size(), expected.size());
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const std::string got = std::to_string(problems[i].part) + "." +
                            std::to_string(problems[i].index) + " " + problems[i].message;
    EXPECT_EQ(got.substr(0, expected[i].size()), expected[i]);
  }
}

TEST(PackageTitle, MustMakeAFileName) {
  EXPECT_EQ(TitleProblem("Lantern Notes 2.1 (\xA9 1996)"), "");
  for (const char* bad :
       {"", "A\\B", "A/B", "C:", "Why?", "A*", "\"Q\"", "<A>", "A|B", "Tab\there"})
    EXPECT_NE(TitleProblem(bad), "") << bad;
}

}  // namespace
}  // namespace velmora::test
