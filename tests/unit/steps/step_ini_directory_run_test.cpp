// The ini value and directory steps at run time, on a simulated machine:
// the directory question and its answers, creating directories, the
// remembered locations in the registry and the ini file, and roll-back.
#include <gtest/gtest.h>

#include "services/registry.h"
#include "steps/step_directory.h"
#include "steps/step_ini_value.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

constexpr const char* kRegEntry = "HKEY_CURRENT_USER\\Software\\Lantern\\Path";

class DirectoryRun : public ShellTest {
 protected:
  DirectoryRun() {
    main_.SetName("Main");
    main_.SetQuestion("Where shall Lantern go?");
    main_.SetDefault("C:\\Lantern");
  }

  std::vector<const TranscriptEntry*> Questions() const {
    std::vector<const TranscriptEntry*> asked;
    for (const TranscriptEntry& entry : ui_.Transcript()) {
      if (entry.kind == TranscriptKind::directory) asked.push_back(&entry);
    }
    return asked;
  }
  bool IsDirectory(const std::string& path) {
    std::uint32_t attributes = 0;
    return machine_.GetFileAttributes(path, attributes) == FileCause::none &&
           (attributes & attr::directory) != 0;
  }
  std::string Registry() {
    return ReadRegistryString(hkey::currentUser, "Software\\Lantern", "Path", 260);
  }
  std::string Profile(const std::string& entry) {
    return machine_.QueryProfileString("LANTERN.INI", "Paths", entry, "<none>", 260);
  }

  CStepDirectory main_;
};

TEST_F(DirectoryRun, TypedPathThreeLevelsDeepIsCreatedAfterOneQuestion) {
  ui_.AddRule(DirectoryRule("Where shall*", {{DirectoryAction::type, "C:\\Apps\\Tools\\Lantern"}}));
  EXPECT_EQ(main_.Install(), InstallResult::done);
  EXPECT_EQ(main_.GetPath(), "C:\\Apps\\Tools\\Lantern\\");
  EXPECT_TRUE(IsDirectory("C:\\Apps\\Tools\\Lantern"));
  EXPECT_EQ(Questions().size(), 1u);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"The requested directory does not exist.  Create?"});
  EXPECT_EQ(ui_.Transcript()[1].style, mb::yesNo | mb::iconQuestion);
  EXPECT_EQ(machine_.GetCurrentDirectory(), kMedia);  // restored
  // Chosen once: no further question, the same path.
  EXPECT_EQ(main_.GetPath(), "C:\\Apps\\Tools\\Lantern\\");
  EXPECT_EQ(Questions().size(), 1u);
}

TEST_F(DirectoryRun, ExistingDirectoryIsTakenAsTypedWithABackslashAdded) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Lantern"), FileCause::none);
  EXPECT_EQ(main_.GetPath(), "C:\\Lantern\\");  // the default, accepted as suggested
  EXPECT_TRUE(Messages().empty());
  CStepDirectory root;
  root.SetQuestion("Root?");
  ui_.AddRule(DirectoryRule("Root?", {{DirectoryAction::type, "C:\\"}}));
  EXPECT_EQ(root.GetPath(), "C:\\");
  EXPECT_EQ(machine_.GetCurrentDirectory(), kMedia);
}

TEST_F(DirectoryRun, NoToCreateAsksAgainWithTheTypedPathAndCreatesNothing) {
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "C:\\New\\Place"}}, 1));
  ui_.AddRule(MessageRule("The requested directory*", "no"));
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  EXPECT_EQ(main_.Install(), InstallResult::failed);
  const auto asked = Questions();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0]->path, "C:\\Lantern");
  EXPECT_EQ(asked[1]->path, "C:\\New\\Place");
  EXPECT_FALSE(IsDirectory("C:\\New"));
  EXPECT_EQ(main_.GetPath(), "");  // still unchosen: asked again
  EXPECT_EQ(Questions().size(), 3u);
}

TEST_F(DirectoryRun, LevelThatCannotBeCreatedIsReportedAndAskedAgain) {
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "C:\\A\\B\\C"}}, 1));
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  machine_.InjectFault("CreateDirectory", 2, FileCause::accessDenied);  // C:\A\B\ fails
  EXPECT_EQ(main_.GetPath(), "");
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"The requested directory does not exist.  Create?",
                                      "Cannot create requested directory"}));
  EXPECT_EQ(ui_.Transcript()[2].style, mb::ok | mb::iconExclamation);
  EXPECT_TRUE(IsDirectory("C:\\A"));  // levels made before the failure remain
  EXPECT_FALSE(IsDirectory("C:\\A\\B"));
  EXPECT_EQ(Questions().size(), 2u);
  EXPECT_EQ(machine_.GetCurrentDirectory(), kMedia);
}

TEST_F(DirectoryRun, RememberedRegistryValueWinsOverTheIniEntry) {
  main_.SetRegEntry(kRegEntry);
  main_.SetIniFile("LANTERN.INI");
  main_.SetIniSection("Paths");
  main_.SetIniEntry("Main");
  ASSERT_TRUE(WriteRegistryString(hkey::currentUser, "Software\\Lantern", "Path", "D:\\Old"));
  ASSERT_EQ(machine_.SetProfileString("LANTERN.INI", "Paths", "Main", "C:\\FromIni"),
            FileCause::none);
  main_.SetDirectory("<Windows>");  // replaced by the remembered value
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  EXPECT_EQ(main_.GetPath(), "");
  ASSERT_EQ(Questions().size(), 1u);
  EXPECT_EQ(Questions()[0]->path, "D:\\Old");
  EXPECT_EQ(main_.GetDirectory(), "<None>");
  EXPECT_EQ(main_.GetDefault(), "D:\\Old");
}

TEST_F(DirectoryRun, ChoiceIsRecordedAndRollbackRestoresPreviousValues) {
  main_.SetRegEntry(kRegEntry);
  main_.SetIniFile("LANTERN.INI");
  main_.SetIniSection("Paths");
  main_.SetIniEntry("Main");
  ASSERT_TRUE(WriteRegistryString(hkey::currentUser, "Software\\Lantern", "Path", "C:\\Old"));
  ASSERT_EQ(machine_.SetProfileString("LANTERN.INI", "Paths", "Main", "C:\\OldIni"),
            FileCause::none);
  ASSERT_EQ(machine_.CreateDirectory("C:\\Chosen"), FileCause::none);
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "C:\\Chosen"}}));
  EXPECT_EQ(main_.Install(), InstallResult::done);
  EXPECT_EQ(Registry(), "C:\\Chosen\\");
  EXPECT_EQ(Profile("Main"), "C:\\Chosen\\");
  EXPECT_TRUE(main_.Rollback());
  EXPECT_EQ(Registry(), "C:\\Old");
  EXPECT_EQ(Profile("Main"), "C:\\OldIni");
}

TEST_F(DirectoryRun, PlacesThatHeldNothingHoldNothingAfterRollback) {
  main_.SetRegEntry(kRegEntry);
  main_.SetIniFile("LANTERN.INI");
  main_.SetIniSection("Paths");
  main_.SetIniEntry("Main");
  ASSERT_EQ(machine_.CreateDirectory("C:\\Lantern"), FileCause::none);
  EXPECT_EQ(main_.Install(), InstallResult::done);
  EXPECT_EQ(Registry(), "C:\\Lantern\\");
  EXPECT_TRUE(main_.Rollback());
  EXPECT_EQ(Registry(), "");
  EXPECT_EQ(Profile("Main"), "<none>");
}

TEST_F(DirectoryRun, RegistryEntryWithoutSubkeyFailsWithoutAQuestion) {
  main_.SetRegEntry("HKEY_CURRENT_USER\\Path");
  EXPECT_EQ(main_.Install(), InstallResult::failed);
  EXPECT_TRUE(ui_.Transcript().empty());
}

TEST_F(DirectoryRun, StepsReferringToOneDirectoryAskOnce) {
  CStepIniValue first, second;
  for (CStepIniValue* step : {&first, &second}) {
    step->SetIniFile("RUN.INI");
    step->SetIniSection("Run");
    step->SetDirectory("Main");
  }
  first.SetIniEntry("Data");
  first.SetDefault("data");
  second.SetIniEntry("Bin");
  second.SetDefault("\\bin");
  for (CStep* step : std::initializer_list<CStep*>{&main_, &first, &second}) step->JoinRun(&run_);
  ASSERT_EQ(machine_.CreateDirectory("C:\\Lantern"), FileCause::none);
  EXPECT_EQ(first.Install(), InstallResult::done);
  EXPECT_EQ(second.Install(), InstallResult::done);
  EXPECT_EQ(main_.Install(), InstallResult::done);  // its own turn asks nothing
  EXPECT_EQ(Questions().size(), 1u);
  EXPECT_EQ(Ini("Data"), "C:\\Lantern\\data");
  EXPECT_EQ(Ini("Bin"), "C:\\Lantern\\bin");
}

TEST_F(DirectoryRun, PrefixLeadingBackToTheStepGivesTheDefaultInsteadOfRecursing) {
  main_.SetDirectory("Main");
  main_.SetDefault("C:\\Self");
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  EXPECT_EQ(main_.GetPath(), "");
  ASSERT_EQ(Questions().size(), 1u);
  EXPECT_EQ(Questions()[0]->path, "C:\\Self");
}

TEST_F(DirectoryRun, EmptyFieldIsAskedAgainAndAnUnattendedRunEnds) {
  main_.SetDefault("");
  EXPECT_EQ(main_.GetPath(), "");  // OK by default with nothing typed, then cancelled
  EXPECT_EQ(Questions().size(), static_cast<std::size_t>(ScriptedUi::kMaxDefaultRepeats + 1));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DirectoryRun, RelativeAnswerMeansTheDirectoryUnderTheWorkingDirectory) {
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "Sub\\Dir"}}));
  EXPECT_EQ(main_.GetPath(), "C:\\MEDIA\\Sub\\Dir\\");
  EXPECT_TRUE(IsDirectory("C:\\MEDIA\\Sub\\Dir"));
}

// Outside the Windows and program files folders a folder the run makes
// keeps users out; a folder that is a link elsewhere is never taken.
TEST_F(DirectoryRun, MadeFoldersKeepUsersOutAndALinkIsRefused) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\LINK"), FileCause::none);
  ASSERT_EQ(machine_.MarkReparsePoint("C:\\LINK"), FileCause::none);
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "C:\\LINK"}}, 1));
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::type, "C:\\Apps\\Lantern"}}));
  EXPECT_EQ(main_.GetPath(), "C:\\Apps\\Lantern\\");
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            kDirectoryIsLink, "The requested directory does not exist.  Create?"}));
  EXPECT_TRUE(machine_.UsersCanWriteDirectory("C:\\"));
  EXPECT_FALSE(machine_.UsersCanWriteDirectory("C:\\Apps"));
  EXPECT_FALSE(machine_.UsersCanWriteDirectory("C:\\Apps\\Lantern"));
}

class IniValueRun : public ShellTest {
 protected:
  IniValueRun() {
    step_.SetIniFile("RUN.INI");
    step_.SetIniSection("Run");
    step_.SetIniEntry("Path");
  }
  CStepIniValue step_;
};

TEST_F(IniValueRun, WritesTheResolvedValueAndRollsBackOldText) {
  ASSERT_EQ(machine_.SetProfileString("RUN.INI", "Run", "Path", "old text"), FileCause::none);
  step_.SetDefault("42");
  EXPECT_EQ(step_.Install(), InstallResult::done);
  EXPECT_EQ(Ini("Path"), "42");
  EXPECT_TRUE(step_.Rollback());
  EXPECT_EQ(Ini("Path"), "old text");

  CStepIniValue windows;
  windows.SetIniFile("RUN.INI");
  windows.SetIniSection("Run");
  windows.SetIniEntry("Notes");
  windows.SetDirectory("<Windows>");
  windows.SetDefault("\\notes.txt");
  EXPECT_EQ(windows.Install(), InstallResult::done);
  EXPECT_EQ(Ini("Notes"), "C:\\WINDOWS\\notes.txt");
  EXPECT_TRUE(windows.Rollback());  // there was nothing: nothing again
  EXPECT_EQ(Ini("Notes"), "<none>");
}

TEST_F(IniValueRun, MissingNameDoesNothingAndStillSucceeds) {
  step_.SetIniSection("");
  step_.SetDefault("42");
  EXPECT_EQ(step_.Install(), InstallResult::done);
  EXPECT_EQ(Ini("Path"), "<none>");
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine_.GetFileAttributes("C:\\WINDOWS\\RUN.INI", attributes),
            FileCause::fileNotFound);
}

TEST_F(IniValueRun, LongOldTextIsRestoredWhole) {
  const std::string old(300, 'o');
  ASSERT_EQ(machine_.SetProfileString("RUN.INI", "Run", "Path", old), FileCause::none);
  step_.SetDefault("new");
  EXPECT_EQ(step_.Install(), InstallResult::done);
  EXPECT_TRUE(step_.Rollback());
  EXPECT_EQ(machine_.QueryProfileString("RUN.INI", "Run", "Path", "", 1000), old);
}

}  // namespace
}  // namespace velmora::test
