// The checks before a package is written: each step's own Validate over the
// whole package, and directory references that the installation resolves.
#include "authoring/package_checks.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

class PackageChecks : public PackageTest {
 protected:
  static PackageStep Directory(const std::string& name) {
    return MakeStep("CStepDirectory", {{"name", name}, {"question", "Where?"}, {"default", "C:\\APP"}});
  }
};

TEST_F(PackageChecks, SoundPackagePasses) {
  PackageDefinition package;
  package.first.steps.push_back(Directory("App"));
  package.first.steps.push_back(MakeStep("CStepFileCopy", {{"name", "A.EXE"}, {"directory", "App"}}));
  package.first.steps.push_back(MakeStep("CStepIniValue", {{"ini_file", "A.INI"}, {"ini_section", "S"},
                                                        {"ini_entry", "E"}, {"prefix", "<None>"},
                                                        {"default", "1"}}));
  package.second.emplace();
  package.second->steps.push_back(MakeStep("CStepFileCopy", {{"name", "B.DLL"}, {"directory", "<Windows system>"}}));
  package.second->steps.push_back(MakeStep("CStepFileCopy", {{"name", "C.DLL"}, {"directory", "App"}}));
  EXPECT_TRUE(CheckPackage(package).empty());
}

TEST_F(PackageChecks, ReportsEachStepsOwnRefusal) {
  PackageDefinition package;
  package.first.steps.push_back(MakeStep("CStepDirectory", {{"name", "Main"}}));  // no question
  package.first.steps.push_back(MakeStep("CStepPMG", {{"name", "Lantern"}}));
  package.first.steps.push_back(Directory("App"));
  package.second.emplace();
  package.second->steps.push_back(MakeStep("CStepPMG", {{"name", "Other"}}));
  package.second->steps.push_back(Directory("App"));  // the same name as in part 1
  const std::vector<StepProblem> problems = CheckPackage(package);
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0].part, 1);
  EXPECT_EQ(problems[0].index, 0u);
  EXPECT_EQ(problems[0].step, "CStepDirectory 'Main'");
  EXPECT_EQ(problems[0].message, "You must enter a Question");
  EXPECT_EQ(problems[1].message, "You already have a Program Manager's Group, only one is permitted");
  // The step is named as it was before Validate cleared the duplicate name.
  EXPECT_EQ(problems[2].step, "CStepDirectory 'App'");
  EXPECT_EQ(problems[2].message, "You have specified a duplicate name, which is not permitted");
  EXPECT_EQ(problems[3].part, 2);
  EXPECT_EQ(problems[3].index, 0u);
  EXPECT_EQ(problems[3].step, "CStepPMG 'Other'");
}

TEST_F(PackageChecks, DirectoryReferencesMustResolve) {
  PackageDefinition package;
  package.first.steps.push_back(Directory("App"));
  // A file step looks "<None>" up as a directory name; an ini step takes it
  // as "no directory".
  package.first.steps.push_back(MakeStep("CStepFileCopy", {{"name", "A.EXE"}, {"directory", "<None>"}}));
  package.first.steps.push_back(MakeStep("CStepRegistry", {{"reg_entry", "HKEY_CURRENT_USER\\A\\B"},
                                                        {"default", "x"}, {"prefix", "app"}}));
  package.first.steps.push_back(MakeStep("CStepRegistry", {{"reg_entry", "HKEY_CURRENT_USER\\A\\C"},
                                                        {"default", "x"}, {"prefix", "<None>"}}));
  const std::vector<StepProblem> problems = CheckPackage(package);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].index, 1u);
  EXPECT_EQ(problems[0].message, "The directory '<None>' is not the name of any directory step");
  EXPECT_EQ(problems[1].index, 2u);
  EXPECT_NE(problems[1].message.find("'app'"), std::string::npos);
}

TEST(PackageTitle, MustMakeAFileName) {
  EXPECT_EQ(TitleProblem("Lantern Notes 2.1 (\xA9 1996)"), "");
  for (const char* bad : {"", "A\\B", "A/B", "C:", "Why?", "A*", "\"Q\"", "<A>", "A|B", "Tab\there"})
    EXPECT_NE(TitleProblem(bad), "") << bad;
}

}  // namespace
}  // namespace velmora::test
