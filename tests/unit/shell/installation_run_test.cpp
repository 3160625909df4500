// The installation run on packages made by the package writer: headers,
// progress, two parts, program items, the uninstaller copy and roll-back.
#include "shell/installation_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "authoring/package_description_writer.h"
#include "authoring/package_writer.h"
#include "services/registry.h"
#include "shell/program_items.h"
#include "shell/run_setup.h"
#include "shell/run_window.h"
#include "shell/uninstall_files.h"
#include "shell/uninstaller_registration.h"
#include "steps/step_factory.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

PackageStep File(const std::string& name, std::size_t size, bool icon = false,
                 const std::string& iconName = "") {
  PackageStep step = Step("CStepFileCopy");
  step.step->SetName(name);
  step.step->SetDirectory("<Windows>");
  step.step->SetIcon(icon);
  step.step->SetIconName(iconName);
  step.payload.assign(size, static_cast<std::uint8_t>('a' + size % 26));
  return step;
}

PackageStep Directory(const std::string& name) {
  PackageStep step = Step("CStepDirectory");
  step.step->SetName(name);
  step.step->SetQuestion("Where shall " + name + " go?");
  step.step->SetDefault("C:\\" + name);
  return step;
}

class InstallationRun : public ShellTest {
 protected:
  void Write(PackageDefinition package) { WritePackage(package, kMedia); }

  static PackagePart Part(const std::string& title, std::vector<PackageStep> steps) {
    PackagePart part;
    part.title = title;
    part.steps = std::move(steps);
    return part;
  }

  RunOutcome Run() {
    RunWindow window(RunMode::install);
    velmora::InstallationRun run(window, kMediaSetup);
    const RunOutcome outcome = run.Run();
    title_ = run.Title();
    return outcome;
  }

  // The progress entries of the transcript as "text pp%".
  std::vector<std::string> Progress() const {
    std::vector<std::string> lines;
    for (const TranscriptEntry& entry : ui_.Transcript()) {
      if (entry.kind == TranscriptKind::progress)
        lines.push_back(entry.text + " " + std::to_string(entry.percent) + "%");
    }
    return lines;
  }

  std::string title_;
};

TEST_F(InstallationRun, NoStepsShowsTheFullBarAndSucceeds) {
  Write({Part("Demo", Steps()), std::nullopt});
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Install Successful"});
  EXPECT_EQ(ui_.Transcript().end()[-2].style, mb::ok | mb::iconInformation);
  EXPECT_EQ(FormatTranscriptEntry(ui_.Transcript().back()), "result \"installed\"");
  EXPECT_EQ(ui_.percents, (std::vector<int>{0, 100}));  // only the final value
  EXPECT_EQ(ui_.shown, 1);
  EXPECT_EQ(ui_.hidden, 1);
  EXPECT_EQ(title_, "Demo");
  // The uninstaller is a copy of Setup.exe in the Windows directory.
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XDemo.exe"), "MZ setup program");
}

TEST_F(InstallationRun, WeightsMoveTheBarAtTheStartOfEachStep) {
  Write({Part("Demo", Steps(File("A.TXT", 1000), IniValue("Plain", "1"), File("B.TXT", 3000),
                            File("C.TXT", 6000))),
         std::nullopt});
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(Progress(),
            (std::vector<std::string>{
                "File for installation: A.TXT 0%", "Ini value: [Run]Plain 10%",
                "File for installation: B.TXT 10%", "File for installation: C.TXT 40%", " 100%"}));
  for (std::size_t i = 1; i < ui_.percents.size(); ++i)
    EXPECT_GE(ui_.percents[i], ui_.percents[i - 1]);
}

TEST_F(InstallationRun, TwoPartsShareTheBarInHalvesAndTheSecondHeaderWins) {
  PackageDefinition package{Part("First", Steps(File("A.TXT", 1000))),
                            Part("Second", Steps(File("B.TXT", 3000)))};
  Write(std::move(package));
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(Progress(), (std::vector<std::string>{"File for installation: A.TXT 0%", " 50%",
                                                  "File for installation: B.TXT 62%", " 100%"}));
  EXPECT_EQ(title_, "Second");
  // Each part made its own uninstaller copy, with its own title.
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XFirst.exe"), "MZ setup program");
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XSecond.exe"), "MZ setup program");
  std::vector<std::string> headings;
  for (const TranscriptEntry& entry : ui_.Transcript()) {
    if (entry.kind == TranscriptKind::window &&
        (headings.empty() || headings.back() != entry.caption))
      headings.push_back(entry.caption);
  }
  EXPECT_EQ(headings, (std::vector<std::string>{"Velmora(TM) is now installing First",
                                                "Velmora(TM) is now installing Second"}));
}

// A file step that refers to a directory step asks for the folder before
// the directory step's turn; the location it remembered then is put back
// although the directory step never completed.
TEST_F(InstallationRun, ADirectoryAskedBeforeItsTurnIsRolledBack) {
  ASSERT_TRUE(WriteRegistryString(hkey::localMachine, "Software\\T", "Main", "C:\\EARLIER"));
  PackageStep file = File("A.TXT", 10);
  file.step->SetDirectory("Main");
  PackageStep main = Directory("Main");
  main.step->SetRegEntry("HKEY_LOCAL_MACHINE\\Software\\T\\Main");
  Write({Part("Demo", Steps(std::move(file), Directory("Other"), std::move(main))), std::nullopt});
  ui_.AddRule(DirectoryRule("Where shall Main go?",
                            {{DirectoryAction::type, "C:\\NEW"}, {DirectoryAction::ok, ""}}));
  ui_.AddRule(DirectoryRule("Where shall Other go?", {{DirectoryAction::cancel, ""}}));
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(ReadRegistryString(hkey::localMachine, "Software\\T", "Main", 260), "C:\\EARLIER");
}

TEST_F(InstallationRun, FailureRollsBackDoneStepsTheLatestFirst) {
  ASSERT_EQ(machine_.SetProfileString("RUN.INI", "Run", "Shared", "old"), FileCause::none);
  // Both steps write Shared: rolled back last to first, the entry ends with
  // what the first found.
  Write({Part("Demo", Steps(IniValue("Shared", "1"), IniValue("Shared", "2"),
                            IniValue("Other", "x"), Directory("Main"))),
         std::nullopt});
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Install Failed.  Press OK to abort."});
  // The log: each step's outcome, the message, the roll-back, the result.
  std::vector<std::string> log;
  for (const TranscriptEntry& e : ui_.Transcript())
    if (e.kind == TranscriptKind::note || e.kind == TranscriptKind::message)
      log.push_back(FormatTranscriptEntry(e));
  EXPECT_EQ(
      log, (std::vector<std::string>{
               "media \"C:\\\\MEDIA\\\\velmor.1\"", "package \"Demo\"",
               "step \"Ini value: [Run]Shared\" -> done", "step \"Ini value: [Run]Shared\" -> done",
               "step \"Ini value: [Run]Other\" -> done",
               "step \"Directory: Main: the question was cancelled\" -> failed",
               "message \"Setup\" [OK, exclamation] \"Install Failed.  Press OK to abort.\" -> OK "
               "(default)",
               "rollback \"Ini value: [Run]Other\"", "rollback \"Ini value: [Run]Shared\"",
               "rollback \"Ini value: [Run]Shared\"", "result \"install failed\""}));
  EXPECT_EQ(Ini("Shared"), "old");
  EXPECT_EQ(Ini("Other"), "<none>");  // was not there before
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine_.GetFileAttributes("C:\\WINDOWS\\XDemo.exe", attributes),
            FileCause::fileNotFound);
}

TEST_F(InstallationRun, VersionOtherThanFourIsRefusedWithItsMessage) {
  WriteMedia("velmor.1", Header("Demo", 0, false, 3).Stretches());
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Data file and setup program versions do not match.",
                                      "Install Failed.  Press OK to abort."}));
  std::uint32_t attributes = 0;
  EXPECT_NE(machine_.GetFileAttributes("C:\\WINDOWS\\XDemo.exe", attributes), FileCause::none);
}

TEST_F(InstallationRun, UninstallerThatCannotBeMadeFailsBeforeAnyStep) {
  Write({Part("Demo", Steps(IniValue("Never", "1"))), std::nullopt});
  ASSERT_EQ(machine_.DeleteFile("C:\\MEDIA\\Setup.exe"), FileCause::none);
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Unable to create uninstall executable.",
                                                  "Install Failed.  Press OK to abort."}));
  EXPECT_EQ(Ini("Never"), "<none>");
}

// The uninstaller is the running program, for every part, whatever the
// current directory holds: the program file cannot be renamed or replaced
// while the run has it open.
TEST_F(InstallationRun, TheUninstallerIsACopyOfTheRunningProgram) {
  const std::string running = "C:\\DOWNLOAD\\SETUP.EXE";
  ASSERT_EQ(machine_.CreateDirectory("C:\\DOWNLOAD"), FileCause::none);
  ASSERT_EQ(testing::PutFile(machine_, running, "MZ running program"), FileCause::none);
  Write({Part("First", Steps(File("A.TXT", 10))), Part("Second", Steps(File("B.TXT", 10)))});
  {
    RunWindow window(RunMode::install);
    velmora::InstallationRun run(window, running);
    EXPECT_NE(machine_.MoveFile(running, "C:\\DOWNLOAD\\ASIDE.EXE"), FileCause::none);
    EXPECT_NE(testing::PutFile(machine_, running, "MZ planted"), FileCause::none);
    EXPECT_EQ(run.Run(), RunOutcome::installed);
  }
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XFirst.exe"), "MZ running program");
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XSecond.exe"), "MZ running program");
}

// The entry describes the product as the system's list of programs shows
// it; a reinstall whose package gives less deletes what the earlier entry
// said rather than leave it stale.
TEST_F(InstallationRun, TheUninstallEntryDescribesTheProduct) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\App"), FileCause::none);
  const auto install = [&](const ProductDetails& product) {
    const WriteResult written = WritePackage(
        {Part("Demo", Steps(File("A.TXT", 1500), Directory("App"), File("B.TXT", 600))), {}},
        kMedia);
    WritePackageDescription(kMedia, written, product);
    return Run();
  };
  const std::string key = UninstallKeyFor("Demo");
  const auto text = [&](const char* name) {
    RegData data;
    if (QueryRegistryValue(hkey::localMachine, key, name, data) != winerror::success)
      return std::string("<none>");
    return RegistryStringOf(data, 1024);
  };
  const auto number = [&](const char* name) {
    return ReadRegistryDword(hkey::localMachine, key, name, 999);
  };

  const std::string before = InstallDateToday();
  ASSERT_EQ(install({"2.1", "Lantern Software", "https://lantern.example/"}),
            RunOutcome::installed);
  EXPECT_EQ(text("DisplayVersion"), "2.1");
  EXPECT_EQ(text("Publisher"), "Lantern Software");
  EXPECT_EQ(text("URLInfoAbout"), "https://lantern.example/");
  EXPECT_EQ(text("DisplayIcon"), "C:\\WINDOWS\\XDemo.exe");
  EXPECT_EQ(text("InstallLocation"), "C:\\App");
  EXPECT_TRUE(text("InstallDate") == before || text("InstallDate") == InstallDateToday());
  EXPECT_EQ(text("InstallDate").size(), 8u);
  EXPECT_EQ(number("EstimatedSize"), 3u);  // 2,100 bytes, rounded up
  EXPECT_EQ(number("NoModify"), 1u);
  EXPECT_EQ(number("NoRepair"), 1u);

  ASSERT_EQ(install({}), RunOutcome::installed);
  for (const char* gone : {"DisplayVersion", "Publisher", "URLInfoAbout"})
    EXPECT_EQ(text(gone), "<none>") << gone;
  EXPECT_EQ(text("DisplayName"), "Demo");
  EXPECT_EQ(text("InstallLocation"), "C:\\App");
}

// A file name with folders goes below its directory: the folders that are
// missing are made, a roll-back removes them, and the uninstaller removes
// those the installation made once they are empty, not one that was there.
// The transcript's line of a step that failed on a machine call tells why.
TEST_F(InstallationRun, AFailedStepsLineTellsTheCauseAndThePath) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\WINDOWS\\APP.DLL"), FileCause::none);
  Write({Part("Demo", Steps(File("APP.DLL", 3))), std::nullopt});
  ASSERT_EQ(Run(), RunOutcome::installFailed);
  std::vector<std::string> failed;
  for (const TranscriptEntry& e : ui_.Transcript())
    if (e.kind == TranscriptKind::note && e.result == " -> failed")
      failed.push_back(FormatTranscriptEntry(e));
  EXPECT_EQ(failed,
            std::vector<std::string>{"step \"File for installation: APP.DLL: Access Denied: "
                                     "C:\\\\WINDOWS\\\\APP.DLL\" -> failed"});
}

TEST_F(InstallationRun, NamesWithFoldersMakeTheirFoldersAndTakeThemAway) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\App"), FileCause::none);
  ASSERT_EQ(machine_.CreateDirectory("C:\\App\\DOC"), FileCause::none);
  const auto isFolder = [&](const std::string& path) {
    std::uint32_t attributes = 0;
    return machine_.GetFileAttributes(path, attributes) == FileCause::none;
  };
  const auto package = [&](bool failing) {
    std::vector<PackageStep> steps;
    steps.push_back(Directory("App"));
    for (const char* name : {"BIN\\SUB\\TOOL.DLL", "BIN\\TOOL.EXE", "DOC\\README.TXT"})
      steps.push_back(FileStep({.name = name, .directory = "App", .payload = {'x'}}));
    if (failing) steps.push_back(RegistryStep({.value = "x", .regEntry = "HKEY_NOWHERE\\X"}));
    WritePackage({Part("Demo", std::move(steps)), {}}, kMedia);
  };
  package(true);
  ASSERT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_FALSE(isFolder("C:\\App\\BIN"));
  package(false);
  ASSERT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(testing::GetFile(machine_, "C:\\App\\BIN\\SUB\\TOOL.DLL"), "x");
  EXPECT_EQ(testing::GetFile(machine_, "C:\\App\\DOC\\README.TXT"), "x");
  ASSERT_EQ(RunUninstallEntry(machine_, "Demo"), RunOutcome::uninstalled);
  EXPECT_FALSE(isFolder("C:\\App\\BIN"));
  EXPECT_FALSE(isFolder("C:\\App\\DOC\\README.TXT"));
  EXPECT_TRUE(isFolder("C:\\App\\DOC"));
}

TEST_F(InstallationRun, ReadOnlyUninstallerOfAnEarlierInstallationIsReplaced) {
  ASSERT_EQ(testing::PutFile(machine_, "C:\\WINDOWS\\XDemo.exe", "old copy"), FileCause::none);
  ASSERT_EQ(machine_.SetFileAttributes("C:\\WINDOWS\\XDemo.exe", attr::readOnly | attr::archive),
            FileCause::none);
  Write({Part("Demo", Steps()), std::nullopt});
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(testing::GetFile(machine_, "C:\\WINDOWS\\XDemo.exe"), "MZ setup program");
  std::uint32_t attributes = 0;
  ASSERT_EQ(machine_.GetFileAttributes("C:\\WINDOWS\\XDemo.exe", attributes), FileCause::none);
  EXPECT_EQ(attributes & attr::readOnly, 0u);
}

// The prompts check sees every step of a package in one part before the
// first runs; a refusal ends the run with nothing installed.  A package in
// two parts is not judged before its second part is read.
TEST_F(InstallationRun, ThePromptsCheckJudgesTheAnswersBeforeTheFirstStep) {
  Write({Part("Demo", Steps(File("A.TXT", 10), Directory("Main"), GroupStep("Tools"),
                            UserValueStep({.name = "Your name"}),
                            ShownFileStep({.kind = "CStepFileDisplayOptional", .name = "R"}))),
         std::nullopt});
  std::vector<PossiblePrompts> seen;
  const auto check = [&seen](const PossiblePrompts& prompts) {
    seen.push_back(prompts);
    return std::string("Those answers cannot serve.");
  };
  {
    RunWindow window(RunMode::install);
    velmora::InstallationRun run(window, kMediaSetup);
    run.SetPromptsCheck(check);
    EXPECT_EQ(run.Run(), RunOutcome::answersRefused);
  }
  EXPECT_EQ(ExitCodeFor(RunOutcome::answersRefused), kExitBadCommandLine);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Those answers cannot serve."});
  for (const char* path : {"C:\\WINDOWS\\XDemo.exe", "C:\\WINDOWS\\A.TXT"})
    EXPECT_EQ(testing::GetFile(machine_, path), "<fileNotFound>") << path;
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].directoryQuestions, std::vector<std::string>{"Where shall Main go?"});
  EXPECT_EQ(seen[0].directoryStepNames, std::vector<std::string>{"Main"});
  EXPECT_EQ(seen[0].groupNames, std::vector<std::string>{"Tools"});
  EXPECT_EQ(seen[0].userLabels, std::vector<std::string>{"Your name"});
  EXPECT_TRUE(seen[0].readmes && seen[0].fileReplacements);
  EXPECT_FALSE(seen[0].agreements);

  seen.clear();
  Write({Part("First", Steps(File("A.TXT", 10))), Part("Second", Steps(File("B.TXT", 10)))});
  RunWindow window(RunMode::install);
  velmora::InstallationRun run(window, kMediaSetup);
  run.SetPromptsCheck(check);
  EXPECT_EQ(run.Run(), RunOutcome::installed);
  EXPECT_TRUE(seen.empty());
}

TEST(UninstallerNames, PathAndLogFollowTheTitle) {
  EXPECT_EQ(UninstallExePathFor("C:\\WINDOWS", "Demo"), "C:\\WINDOWS\\XDemo.exe");
  EXPECT_EQ(UninstallExePathFor("C:\\", "Demo"), "C:\\XDemo.exe");
  EXPECT_EQ(UninstallLogPathFor("C:\\WINDOWS\\XDemo.exe"), "C:\\WINDOWS\\XDemo.VMU");
  EXPECT_EQ(UninstallExePathFor("C:\\WINDOWS", ""), "");
  EXPECT_EQ(UninstallExePathFor("", "Demo"), "");
  EXPECT_EQ(UninstallExePathFor("C:\\" + std::string(257, 'W'), "Demo"), "");  // 260 characters
  EXPECT_EQ(UninstallExePathFor("C:\\WINDOWS", std::string(250, 't')), "");    // path too long
  // A title is a file name: it cannot lead the copy out of the directory.
  for (const char* title : {"..\\evil", "a/b", "C:x", "what?", "\"q\"", "tab\there"})
    EXPECT_EQ(UninstallExePathFor("C:\\WINDOWS", title), "") << title;
}

class ProgramItems : public InstallationRun {
 protected:
  struct Item {
    std::string group, commandLine, title;
  };

  void WriteWithGroup() {
    PackageStep group = Step("CStepPMG");
    group.step->SetName("Lantern");
    Write({Part("Demo", Steps(std::move(group), File("LANTERN.EXE", 10, true, "Lantern"),
                              File("README.TXT", 10), File("HELP.HLP", 10, true))),
           std::nullopt});
  }

  // The items the run added to Program Manager, in the order added: those
  // of the groups a fresh system does not have.
  std::vector<Item> Items() {
    std::vector<Item> items;
    for (const sim::ProgramGroup& group : machine_.ProgramManager().Groups()) {
      if (group.name == "Accessories" || group.name == "Games" || group.name == "Main") continue;
      for (const sim::ProgramItem& item : group.items)
        items.push_back({group.name, item.commandLine, item.title});
    }
    return items;
  }
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(ProgramItems, EveryDoneStepWithAnIconGetsAnItemInTheGroup) {
  WriteWithGroup();
  EXPECT_EQ(Run(), RunOutcome::installed);
  const std::vector<Item> items = Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].group, "Lantern");
  EXPECT_TRUE(EndsWith(items[0].commandLine, "LANTERN.EXE")) << items[0].commandLine;
  EXPECT_EQ(items[0].title, "Lantern");   // the icon name
  EXPECT_EQ(items[1].title, "HELP.HLP");  // no icon name: the file name
}

TEST_F(ProgramItems, FirstRefusedItemEndsTheItemsButNotTheInstallation) {
  machine_.ProgramManager().InjectLastingFault(sim::DdeFault::refused);
  WriteWithGroup();
  EXPECT_EQ(Run(), RunOutcome::installed);
  machine_.ProgramManager().ClearFaults();
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Create program group and icons?",
                            "Unable to create program group item LANTERN.EXE - retry installation",
                            "Install Successful"}));
}

TEST_F(ProgramItems, NoGroupStepMeansNoItems) {
  Write({Part("Demo", Steps(File("LANTERN.EXE", 10, true))), std::nullopt});
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_TRUE(Items().empty());
}

}  // namespace
}  // namespace velmora::test
