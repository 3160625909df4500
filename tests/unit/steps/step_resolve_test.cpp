// The directory-reference rule as the ini value and registry steps apply it.
#include <gtest/gtest.h>

#include <tuple>

#include "steps/resolve_value.h"
#include "steps/step_directory.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/forwarding_machine.h"

namespace velmora::test {
namespace {

// The test's machine with Windows and system directories that can be
// changed; an empty directory stands for a failing call.
class DirectoryMachine : public testing::ForwardingMachine {
 public:
  using ForwardingMachine::ForwardingMachine;
  std::string windows = "C:\\WINDOWS";
  std::string system = "C:\\WINDOWS\\SYSTEM";
  std::string GetWindowsDirectory() override { return windows; }
  std::string GetSystemDirectory() override { return system; }
};

class ResolveValue : public StepTest {
 protected:
  std::string Resolve(const std::string& prefix, const std::string& value) {
    CStepRegistry step;
    step.JoinRun(&run_);
    step.SetDirectory(prefix);
    step.SetDefault(value);
    return step.ResolveValue().value_or("<does not fit>");
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& entry : ui_.Transcript()) {
      EXPECT_EQ(entry.style, mb::ok | mb::iconExclamation);
      texts.push_back(entry.text);
    }
    return texts;
  }

  DirectoryMachine dirs_{machine_};
  ScopedMachine dirsScope_{dirs_};
};

const char* const kUndefined =
    "Ensure that the directory is defined before the file to be copied, in the Velmora program";

TEST_F(ResolveValue, WindowsAndSystemDirectoriesJoinWithOneBackslash) {
  EXPECT_EQ(Resolve("<Windows>", "\\notepad.exe"), "C:\\WINDOWS\\notepad.exe");
  EXPECT_EQ(Resolve("<Windows>", "notepad.exe"), "C:\\WINDOWS\\notepad.exe");
  EXPECT_EQ(Resolve("<Windows>", ""), "C:\\WINDOWS\\");
  EXPECT_EQ(Resolve("<Windows>", "\\\\x"), "C:\\WINDOWS\\\\x");  // only one backslash is dropped
  EXPECT_EQ(Resolve("<Windows system>", "ole2.dll"), "C:\\WINDOWS\\SYSTEM\\ole2.dll");
  dirs_.windows = "C:\\";
  EXPECT_EQ(Resolve("<Windows>", "\\win.ini"), "C:\\win.ini");
  EXPECT_EQ(Resolve("<None>", "\\as is"), "\\as is");
  EXPECT_TRUE(ui_.Transcript().empty());
}

TEST_F(ResolveValue, UnknownPrefixShowsTheMessageAndGivesTheDefault) {
  CStepDirectory windowsNamed;  // exact comparison: "<windows>" is a name
  windowsNamed.SetName("<WINDOWS>");
  windowsNamed.JoinRun(&run_);
  EXPECT_EQ(Resolve("<windows>", "notepad.exe"), "notepad.exe");
  EXPECT_EQ(Resolve("Main", "\\data"), "\\data");
  EXPECT_EQ(Resolve("", "x"), "x");
  EXPECT_EQ(Messages(), std::vector<std::string>(3, kUndefined));
}

TEST_F(ResolveValue, DirectoryStepPathOrTheDefaultAloneWhenNoneIsChosen) {
  CStepDirectory main;
  main.SetName("Main");
  main.JoinRun(&run_);
  AnswerRule cancel;
  cancel.kind = TranscriptKind::directory;
  cancel.pattern = "*";
  cancel.actions = {{DirectoryAction::cancel, ""}};
  ui_.AddRule(cancel);
  EXPECT_EQ(Resolve("Main", "data"), "data");  // question cancelled: no message
  ASSERT_EQ(ui_.Transcript().size(), 1u);
  EXPECT_EQ(ui_.Transcript()[0].kind, TranscriptKind::directory);
  ui_.ClearTranscript();
  main.SetChosenPath("C:\\Example");
  EXPECT_EQ(main.GetPath(), "C:\\Example\\");
  EXPECT_EQ(Resolve("Main", "data"), "C:\\Example\\data");
  EXPECT_EQ(Resolve("Main", ""), "C:\\Example\\");
  EXPECT_EQ(Resolve("main", "data"), "data");  // names match exactly
  EXPECT_EQ(Messages(), std::vector<std::string>{kUndefined});
}

TEST_F(ResolveValue, MachineDirectoriesThatCannotBeHadGiveAPlaceholder) {
  dirs_.windows = "";
  dirs_.system = "";
  EXPECT_EQ(Resolve("<Windows>", "a.ini"), "<type windows directory>\\a.ini");
  EXPECT_EQ(Resolve("<Windows system>", "b.dll"), "<type windows system directory>\\b.dll");
  dirs_.windows = "C:\\" + std::string(257, 'W');  // 260 characters: does not fit
  dirs_.system = "C:\\" + std::string(255, 'S');   // 258 characters, and a backslash
  EXPECT_EQ(Resolve("<Windows>", "a.ini"), "<type windows directory>\\a.ini");
  EXPECT_EQ(Resolve("<Windows system>", ""), dirs_.system + "\\");
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Can't get Windows directory", "Can't get System directory",
                                      "Windows directory too long (!)"}));
}

TEST_F(ResolveValue, JoinedValuesLongerThanThePathLimitAreNone) {
  // "C:\WINDOWS\" is 11 characters: a default of 248 just fits.
  for (const auto& [prefix, length, fits] : {std::tuple{"<Windows>", 248, true},
                                             {"<Windows>", 249, false},
                                             {"<Windows system>", 300, false},
                                             {"<None>", 300, true}}) {
    const std::string joined = Resolve(prefix, std::string(length, 'v'));
    EXPECT_EQ(joined != "<does not fit>", fits) << prefix << " " << length;
  }
  dirs_.windows = "";  // the placeholder is joined too
  EXPECT_EQ(Resolve("<Windows>", std::string(240, 'v')), "<does not fit>");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Can't get Windows directory"});
}

TEST_F(ResolveValue, IniFamilyResolvesItsOwnVirtualFields) {
  CStepUserValue user;
  user.SetDirectory("<Windows>");
  user.SetDefault("user.dat");
  EXPECT_EQ(user.ResolveValue().value_or(""), "C:\\WINDOWS\\user.dat");
  // A directory step may itself be the prefix of another step.
  CStepDirectory base, nested;
  base.SetName("Base");
  base.JoinRun(&run_);
  nested.JoinRun(&run_);
  base.SetChosenPath("D:\\");
  nested.SetDirectory("Base");
  nested.SetDefault("\\Sub");
  EXPECT_EQ(nested.ResolveValue().value_or(""), "D:\\Sub");
}

}  // namespace
}  // namespace velmora::test
