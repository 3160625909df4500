// Installations undone by the uninstaller they leave behind: the log and the
// uninstall entry, round trips compared with the machine before, failures
// that leave the uninstaller able to finish later, and damaged logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "authoring/package_writer.h"
#include "authoring/uninstall_log_reader.h"
#include "services/registry.h"
#include "shell/program_items.h"
#include "shell/run_setup.h"
#include "shell/setup_command_line.h"
#include "shell/uninstall_files.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExe = "C:\\WINDOWS\\XDemo.exe";
constexpr const char* kLog = "C:\\WINDOWS\\XDemo.VMU";
constexpr const char* kShared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

PackageStep File(const std::string& name, const std::string& bytes) {
  PackageStep step = Step("CStepFileCopy");
  step.step->SetName(name);
  step.step->SetDirectory("<Windows>");
  step.payload.assign(bytes.begin(), bytes.end());
  return step;
}

PackageStep Flagged(PackageStep step, bool (CStep::*set)(bool)) {
  (step.step.get()->*set)(true);
  return step;
}

PackageStep Registry(const std::string& entry, const std::string& value) {
  PackageStep step = Step("CStepRegistry");
  step.step->SetRegEntry(entry);
  step.step->SetDefault(value);
  return step;
}

PackageStep Group(const std::string& name) {
  PackageStep step = Step("CStepPMG");
  step.step->SetName(name);
  return step;
}

class UninstallationRun : public ShellTest {
 protected:
  // The machine as the whole-run tests compare it, less the media, which
  // the tests write, and the deletions left to the system's next start,
  // which are looked at on their own.
  Snapshot Take() {
    Snapshot shot = test::Take(machine_);
    std::erase_if(shot, [](const auto& entry) {
      return IsPendingOperations(entry.first) || entry.first.starts_with("file C:\\MEDIA\\");
    });
    return shot;
  }

  RunOutcome Install(std::vector<PackageStep> steps, const std::string& title = "Demo") {
    PackagePart part;
    part.title = title;
    part.steps = std::move(steps);
    WritePackage(PackageDefinition{std::move(part), std::nullopt}, kMedia);
    ArmFaults();
    return RunInstallation();
  }

  // Starts the uninstaller as the shell does, from its uninstall entry,
  // holding its program file open as a running program's image is.
  RunOutcome Uninstall(const std::string& title = "Demo") {
    const std::string command =
        ReadRegistryString(hkey::localMachine, UninstallKeyFor(title), "UninstallString", 260);
    const CommandLine parts = SplitCommandLine(command);
    return UninstallWith(parts.program, parts.arguments);
  }

  RunOutcome UninstallWith(const std::string& program, const std::string& arguments) {
    ArmFaults();
    return RunUninstaller(machine_, program, arguments);
  }

  // Faults for the next run only, armed when it starts.
  void FaultNextRun(const std::string& operation, int nth, FileCause cause) {
    fault_ = {operation, nth, cause};
  }
  void ArmFaults() {
    if (fault_.nth > 0) machine_.InjectFault(fault_.operation, fault_.nth, fault_.cause);
    if (registryFault_.nth > 0)
      machine_.Registry().InjectFault(registryFault_.operation, registryFault_.nth,
                                      winerror::registryIoFailed);
    fault_ = registryFault_ = {};
  }

  // What the system does when it next starts: the files left to it go.
  void Restart() {
    const std::string list = PendingRenames();
    for (std::size_t at = 0; at < list.size();) {
      const std::size_t end = list.find('\0', at);
      const std::string path = list.substr(at, end - at);
      if (path.empty()) break;
      machine_.SetFileAttributes(path.substr(4), attr::normal);
      machine_.DeleteFile(path.substr(4));
      at = list.find('\0', end + 1) + 1;  // past the empty target
    }
    machine_.DeleteRegKey(hkey::localMachine, kPendingRenamesKey);
  }

  bool Exists(const std::string& path) {
    std::uint32_t attributes = 0;
    return machine_.GetFileAttributes(path, attributes) == FileCause::none;
  }

  struct Fault {
    std::string operation;
    int nth = 0;
    FileCause cause = FileCause::none;
  } fault_, registryFault_;

  std::string PendingRenames() {
    RegData data;
    machine_.QueryRegValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue, 4096,
                           data);
    return std::string(data.bytes.begin(), data.bytes.end());
  }
};

TEST_F(UninstallationRun,
       LogHoldsTheUninstallableStepsInCompletionOrderAndTheEntryQuotesTheProgram) {
  ASSERT_EQ(Install(Steps(IniValue("A", "1"), File("ONE.TXT", "one"),
                          Registry("HKEY_LOCAL_MACHINE\\Software\\T\\V", "x"), Group("Tools"),
                          File("TWO.TXT", "two"))),
            RunOutcome::installed);
  // Title, N = 3, then each class name before its archive form.
  const std::string log = testing::GetFile(machine_, kLog);
  ASSERT_GE(log.size(), 9u);
  EXPECT_EQ(log.substr(0, 9), std::string("\x04"
                                          "Demo\x03\x00\x00\x00",
                                          9));
  const std::size_t one = log.find(
      "\x0d"
      "CStepFileCopy");
  const std::size_t group = log.find(
      "\x08"
      "CStepPMG");
  const std::size_t two = log.find(
      "\x0d"
      "CStepFileCopy",
      one + 1);
  EXPECT_TRUE(one < group && group < two && two != std::string::npos);
  EXPECT_EQ(log.find("CStepIniValue"), std::string::npos);
  EXPECT_EQ(log.find("CStepRegistry"), std::string::npos);

  const std::string key = UninstallKeyFor("Demo");
  EXPECT_EQ(ReadRegistryString(hkey::localMachine, key, "DisplayName", 260), "Demo");
  EXPECT_EQ(ReadRegistryString(hkey::localMachine, key, "UninstallString", 260),
            "\"C:\\WINDOWS\\XDemo.exe\" C:\\WINDOWS\\XDemo.VMU");
  EXPECT_EQ(ReadRegistryString(hkey::localMachine, key, "QuietUninstallString", 260),
            "\"C:\\WINDOWS\\XDemo.exe\" /quiet C:\\WINDOWS\\XDemo.VMU");
  // No temporary file of the log writer stays behind.
  std::vector<DirEntry> entries;
  machine_.ListDirectory("C:\\WINDOWS", entries);
  for (const DirEntry& entry : entries)
    EXPECT_EQ(entry.name.find(".tmp"), std::string::npos) << entry.name;
}

TEST_F(UninstallationRun, AnInstallationWithNothingToUndoLogsNoEntryAndUninstallsCleanly) {
  const Snapshot before = Take();
  ASSERT_EQ(Install(Steps(IniValue("A", "1"), Registry("HKEY_LOCAL_MACHINE\\Software\\T\\V", "x"))),
            RunOutcome::installed);
  UninstallLogListing listing;
  UninstallLogError error;
  ASSERT_TRUE(ReadUninstallLogFile(kLog, listing, error)) << DescribeLogError(error);
  EXPECT_EQ(listing.count, 0u);
  EXPECT_TRUE(testing::GetFile(machine_, kLog)
                  .starts_with(std::string("\x04"
                                           "Demo\0\0\0\0VMLX",
                                           13)));
  EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
  EXPECT_FALSE(Exists(kLog));
  EXPECT_EQ(ReadRegistryString(hkey::localMachine, UninstallKeyFor("Demo"), "DisplayName", 260),
            "");
  EXPECT_EQ(Messages().back(), "Uninstall successfully performed");
  // What the ini and registry steps wrote stays; the running uninstaller
  // goes when the system next starts.
  EXPECT_NE(PendingRenames(), "");
  Restart();
  Snapshot after = Take();
  EXPECT_EQ(after["reg HKLM\\Software\\T V"], std::string("1:x\0", 4));
  EXPECT_EQ(after["ini C:\\WINDOWS\\RUN.INI [Run] A"], "1");
  for (const char* kept :
       {"reg HKLM\\Software\\T V", "file C:\\WINDOWS\\RUN.INI", "ini C:\\WINDOWS\\RUN.INI [Run] A"})
    after.erase(kept);
  EXPECT_EQ(after, before);
}

TEST_F(UninstallationRun, RoundTripRestoresFilesCountsAndRegistrations) {
  // A shared file used by two others, a read-only file, a self-registering
  // library, a program group with an item, and a file that stays because
  // the program is not its only user.
  ASSERT_EQ(testing::PutFile(machine_, "C:\\WINDOWS\\SHARED.DLL", "shared before"),
            FileCause::none);
  WriteRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\SHARED.DLL", 2);
  const Snapshot before = Take();
  const auto library =
      PeBuilder().Export("DllRegisterServer").Export("DllUnregisterServer").Build();
  PackageStep icon = Flagged(File("APP.EXE", "app"), &CStep::SetIcon);
  icon.step->SetIconName("The App");
  PackageStep shared = Flagged(File("SHARED.DLL", "shared new"), &CStep::SetShared);
  dynamic_cast<CStepFile*>(shared.step.get())
      ->SetModificationTime(2000000000);  // newer than the one there
  ASSERT_EQ(Install(Steps(Group("Tools"), std::move(icon), std::move(shared),
                          Flagged(File("LOCKED.TXT", "locked"), &CStep::SetReadOnly),
                          Flagged(File("COMP.OCX", std::string(library.begin(), library.end())),
                                  &CStep::SetRegister))),
            RunOutcome::installed);
  EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\SHARED.DLL", 0), 3u);

  const std::size_t transactions = machine_.ProgramManager().Transactions().size();
  machine_.InstallState().registrations.clear();
  ASSERT_EQ(Uninstall(), RunOutcome::uninstalled);

  const std::vector<std::string> made(
      machine_.ProgramManager().Transactions().begin() + transactions,
      machine_.ProgramManager().Transactions().end());
  EXPECT_EQ(made, (std::vector<std::string>{"execute [ShowGroup(\"Tools\", 1)]",
                                            "execute [DeleteItem(\"The App\")]", "request Tools",
                                            "execute [DeleteGroup(\"Tools\")]"}));
  EXPECT_EQ(machine_.InstallState().registrations,
            std::vector<std::string>{"DllUnregisterServer C:\\WINDOWS\\COMP.OCX"});
  Restart();
  Snapshot after = Take();
  // The shared file stays with the content this installation gave it.
  EXPECT_EQ(BytesIn(after["file C:\\WINDOWS\\SHARED.DLL"]), "shared new");
  after.erase("file C:\\WINDOWS\\SHARED.DLL");
  after.erase("file C:\\WINDOWS\\XDemo.exe");
  Snapshot expected = before;
  expected.erase("file C:\\WINDOWS\\SHARED.DLL");
  EXPECT_EQ(after, expected);
}

// The group goes only when this installation created it and Program Manager
// then counts no item in it.
TEST_F(UninstallationRun, OnlyAnEmptyGroupTheInstallationCreatedIsDeleted) {
  struct Case {
    const char* group;
    const char* what;
    bool deleted;
    int requests;
  };
  const Case cases[] = {
      {"Tools", "", true, 1},
      {"Tools", "another item", false, 1},
      {"Tools", "no server", false, 0},
      {"StartUp", "", false, 0},  // there before: picked from the list
      {"", "", false, 0},         // no group: nothing asked
  };
  sim::SimProgramManager& manager = machine_.ProgramManager();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + " " + c.what);
    ASSERT_EQ(Install(Steps(Group(c.group), Flagged(File("APP.EXE", "app"), &CStep::SetIcon))),
              RunOutcome::installed);
    std::string current;
    if (std::string(c.what) == "another item") {
      ASSERT_EQ(manager.Execute("[ShowGroup(Tools,1)][AddItem(C:\\X.EXE,Other)]", current), 0u);
    }
    if (std::string(c.what) == "no server") manager.InjectLastingFault(sim::DdeFault::noServer);
    const std::size_t before = manager.Transactions().size();
    EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
    manager.ClearFaults();
    int requests = 0;
    for (std::size_t i = before; i < manager.Transactions().size(); ++i)
      requests += manager.Transactions()[i].starts_with("request ") ? 1 : 0;
    EXPECT_EQ(requests, c.requests);
    bool present = false;
    for (const sim::ProgramGroup& group : manager.Groups())
      present = present || group.name == c.group;
    if (*c.group != '\0') {
      EXPECT_EQ(present, !c.deleted);
    }
    // The next case starts without the group.
    if (present && std::string(c.group) == "Tools")
      manager.Execute("[DeleteGroup(Tools)]", current);
  }
}

// The shared ONE.TXT, undone before the failure, leaves the log: the second
// start takes its count back no second time, and still removes its item.
TEST_F(UninstallationRun, AFailedStepStopsTheRunAndASecondStartFinishesIt) {
  WriteRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\ONE.TXT", 2);
  ASSERT_EQ(
      Install(Steps(Group("Tools"),
                    Flagged(Flagged(File("ONE.TXT", "1"), &CStep::SetShared), &CStep::SetIcon),
                    Flagged(File("TWO.TXT", "2"), &CStep::SetReadOnly), File("THREE.TXT", "3"))),
      RunOutcome::installed);
  EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\ONE.TXT", 0), 3u);
  // TWO.TXT's read-only attribute cannot be cleared: its Uninstall fails.
  machine_.InjectFault("SetFileAttributes", 1, FileCause::accessDenied);
  EXPECT_EQ(Uninstall(), RunOutcome::uninstallFailed);
  EXPECT_EQ(Messages().back(), "Uninstall unsuccessful");
  EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\ONE.TXT", 0), 2u);
  EXPECT_TRUE(Exists("C:\\WINDOWS\\TWO.TXT"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\THREE.TXT"));
  EXPECT_TRUE(Exists(kLog));
  EXPECT_TRUE(Exists(kExe));
  EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
  for (const char* name : {"TWO.TXT", "THREE.TXT"})
    EXPECT_FALSE(Exists(std::string("C:\\WINDOWS\\") + name));
  EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\ONE.TXT", 0), 2u);
  for (const sim::ProgramGroup& group : machine_.ProgramGroups()) EXPECT_NE(group.name, "Tools");
  EXPECT_FALSE(Exists(kLog));
}

// An entry that cannot be deleted fails the run once every step is undone;
// the log then holds nothing to undo again, so no start takes a count back
// twice, and the start after the entry is free finishes.
TEST_F(UninstallationRun, ABlockedUninstallEntryTakesNoCountBackTwice) {
  WriteRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\LIB.DLL", 2);
  ASSERT_EQ(
      Install(Steps(Flagged(File("LIB.DLL", "lib"), &CStep::SetShared), File("APP.EXE", "app"))),
      RunOutcome::installed);
  const std::string blocker = UninstallKeyFor("Demo") + "\\Blocker";
  ASSERT_TRUE(WriteRegistryString(hkey::localMachine, blocker, "x", "y"));
  for (int start = 0; start < 2; ++start) {
    EXPECT_EQ(Uninstall(), RunOutcome::uninstallFailed) << start;
    EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\LIB.DLL", 0), 2u)
        << start;
    EXPECT_FALSE(Exists("C:\\WINDOWS\\APP.EXE"));
  }
  ASSERT_TRUE(DeleteRegistryKey(hkey::localMachine, blocker));
  EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
  EXPECT_EQ(ReadRegistryDword(hkey::localMachine, kShared, "C:\\WINDOWS\\LIB.DLL", 0), 2u);
  EXPECT_FALSE(Exists(kLog));
}

TEST_F(UninstallationRun, ADamagedLogUndoesNothing) {
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1"), Group("Tools"), File("TWO.TXT", "2"))),
            RunOutcome::installed);
  const std::string good = testing::GetFile(machine_, kLog);
  auto expectNothingUndone = [&](const std::string& log, const std::string& what) {
    ASSERT_EQ(testing::PutFile(machine_, kLog, log), FileCause::none);
    EXPECT_EQ(UninstallWith(kExe, kLog), RunOutcome::uninstallFailed) << what;
    EXPECT_TRUE(Exists("C:\\WINDOWS\\ONE.TXT")) << what;
    EXPECT_TRUE(Exists("C:\\WINDOWS\\TWO.TXT")) << what;
    EXPECT_TRUE(Exists(kLog)) << what;
  };
  UninstallLogListing listing;
  UninstallLogError error;
  ASSERT_TRUE(ReadUninstallLogFile(kLog, listing, error));
  // Cut right after the entries the log is whole, only without additions.
  for (std::size_t cut = 0; cut < good.size(); ++cut)
    if (cut != listing.entriesEnd)
      expectNothingUndone(good.substr(0, cut), "cut at " + std::to_string(cut));

  std::string huge = good;
  huge.replace(0, 5, std::string("\xff\xff\xff\xff\xff\xff\x7f", 7));  // a 2 GB title
  expectNothingUndone(huge, "huge title length");
  std::string count = good;
  count[5] = '\x40';  // 64 entries, three logged
  expectNothingUndone(count, "count past the end");
  std::string unknown = good;
  unknown.replace(unknown.find("CStepPMG"), 8, "CStepXYZ");
  expectNothingUndone(unknown, "unknown class");
  std::string newer = good;
  newer[good.find("CStepPMG") + 8] = '\x08';  // stored version 8
  expectNothingUndone(newer, "newer version");
  std::string badLength = good;
  badLength.replace(0, 5, std::string("\xff\xfe\xff", 3));
  expectNothingUndone(badLength, "length 0xFFFE");

  // A flipped bit anywhere: no crash, and a log that no longer reads
  // changes nothing.
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string flipped = good;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
    ASSERT_EQ(testing::PutFile(machine_, kLog, flipped), FileCause::none);
    if (UninstallWith(kExe, kLog) == RunOutcome::uninstallFailed) {
      EXPECT_TRUE(Exists(kLog)) << at;
    }
    ASSERT_EQ(Install(Steps(File("ONE.TXT", "1"), Group("Tools"), File("TWO.TXT", "2"))),
              RunOutcome::installed);
  }
}

// An uninstaller carries out only its own log: the one beside it under its
// own name, of its own title, whose files lie in the folders its
// installation recorded.  Any other undoes nothing, here or in another
// product's installation.
TEST_F(UninstallationRun, AnUninstallerRefusesEveryLogButItsOwn) {
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1")), "Other"), RunOutcome::installed);
  ASSERT_EQ(Install(Steps(File("TWO.TXT", "2"), Group("Tools"))), RunOutcome::installed);
  const std::string own = testing::GetFile(machine_, kLog);
  const std::string other = testing::GetFile(machine_, "C:\\WINDOWS\\XOther.VMU");
  UninstallLogListing listing;
  UninstallLogError error;
  ASSERT_TRUE(ReadUninstallLogFile(kLog, listing, error));
  ASSERT_EQ(listing.additions.folders, std::vector<std::string>{"C:\\WINDOWS\\"});
  listing.additions.folders = {"C:\\ELSEWHERE\\"};
  StepList steps;
  for (const auto& entry : listing.entries) steps.push_back(entry.get());
  StoreUninstallLog("C:\\WINDOWS\\outside.VMU", "Demo", steps, &listing.additions);
  const std::string outside = testing::GetFile(machine_, "C:\\WINDOWS\\outside.VMU");
  ASSERT_EQ(machine_.CreateDirectory("C:\\PUBLIC"), FileCause::none);

  struct Case {
    const char* what;
    std::string program;  // the uninstaller started
    std::string log;      // the log it is given
    std::string content;  // what that log holds
  };
  const Case cases[] = {
      {"a log in another folder", kExe, "C:\\PUBLIC\\XDemo.VMU", own},
      {"a log of another name", kExe, "C:\\WINDOWS\\XOther.VMU", other},
      {"another product's title", kExe, kLog, other},
      {"bytes after the log", kExe, kLog, own + "junk"},
      {"files outside the recorded folders", kExe, kLog, outside},
      {"another product's uninstaller", "C:\\WINDOWS\\XOther.exe", "C:\\WINDOWS\\XOther.VMU", own},
  };
  for (const Case& c : cases) {
    const std::string keptOther = testing::GetFile(machine_, "C:\\WINDOWS\\XOther.VMU");
    ASSERT_EQ(testing::PutFile(machine_, c.log, c.content), FileCause::none);
    const Snapshot before = Take();
    EXPECT_EQ(UninstallWith(c.program, c.log), RunOutcome::uninstallFailed) << c.what;
    EXPECT_EQ(Take(), before) << c.what;
    ASSERT_EQ(testing::PutFile(machine_, kLog, own), FileCause::none);
    ASSERT_EQ(testing::PutFile(machine_, "C:\\WINDOWS\\XOther.VMU", keptOther), FileCause::none);
  }
  EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
  EXPECT_FALSE(Exists("C:\\WINDOWS\\TWO.TXT"));
  EXPECT_EQ(Uninstall("Other"), RunOutcome::uninstalled);
  EXPECT_FALSE(Exists("C:\\WINDOWS\\ONE.TXT"));
}

TEST_F(UninstallationRun, TheLogPathIsTheRestOfTheCommandLineQuotedOrNot) {
  struct Case {
    const char* arguments;
    const char* path;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\XDemo.VMU", "C:\\WINDOWS\\XDemo.VMU"},
      {"\"C:\\WINDOWS\\XLantern Notes 2.1.VMU\"", "C:\\WINDOWS\\XLantern Notes 2.1.VMU"},
      {"  C:\\WINDOWS\\XLantern Notes 2.1.VMU  ", "C:\\WINDOWS\\XLantern Notes 2.1.VMU"},
      {"\"", "\""},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UninstallLogPathFromArguments(c.arguments), c.path) << c.arguments;

  struct Split {
    const char* line;
    const char* program;
    const char* arguments;
  };
  const Split splits[] = {
      {"\"C:\\W\\XLantern Notes 2.1.exe\" C:\\W\\XLantern Notes 2.1.VMU",
       "C:\\W\\XLantern Notes 2.1.exe", "C:\\W\\XLantern Notes 2.1.VMU"},
      {"C:\\W\\XDemo.exe C:\\W\\XDemo.VMU", "C:\\W\\XDemo.exe", "C:\\W\\XDemo.VMU"},
      {"C:\\W\\XDemo.exe", "C:\\W\\XDemo.exe", ""},
      {"\"C:\\W\\open", "C:\\W\\open", ""},
  };
  for (const Split& s : splits) {
    const CommandLine parts = SplitCommandLine(s.line);
    EXPECT_EQ(parts.program, s.program) << s.line;
    EXPECT_EQ(parts.arguments, s.arguments) << s.line;
  }

  // A title with blanks installs and uninstalls through its entry's quiet
  // command, whose options come before the log path; no command line at
  // all changes nothing.
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1")), "Lantern Notes 2.1"), RunOutcome::installed);
  EXPECT_EQ(UninstallWith("C:\\WINDOWS\\XLantern Notes 2.1.exe", ""), RunOutcome::uninstallFailed);
  EXPECT_TRUE(Exists("C:\\WINDOWS\\ONE.TXT"));
  const CommandLine quiet = SplitCommandLine(ReadRegistryString(
      hkey::localMachine, UninstallKeyFor("Lantern Notes 2.1"), "QuietUninstallString", 260));
  const SetupOptions options = ParseSetupCommandLine(quiet.arguments, false);
  EXPECT_TRUE(options.quiet);
  EXPECT_EQ(UninstallWith(quiet.program, options.arguments), RunOutcome::uninstalled);
  EXPECT_FALSE(Exists("C:\\WINDOWS\\ONE.TXT"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\XLantern Notes 2.1.VMU"));
}

// A re-installation of the same title that fails keeps the earlier
// installation's uninstaller, log and entry working.
TEST_F(UninstallationRun, AFailedReinstallationKeepsTheEarlierUninstaller) {
  ASSERT_EQ(testing::PutFile(machine_, "C:\\MEDIA\\Setup.exe", "MZ first"), FileCause::none);
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1"))), RunOutcome::installed);
  ASSERT_EQ(machine_.SetFileAttributes(kExe, attr::readOnly), FileCause::none);
  const std::string log = testing::GetFile(machine_, kLog);

  ASSERT_EQ(testing::PutFile(machine_, "C:\\MEDIA\\Setup.exe", "MZ second"), FileCause::none);
  PackageStep directory = Step("CStepDirectory");
  directory.step->SetName("Main");
  directory.step->SetDefault("C:\\MAIN");
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::cancel, ""}}));
  ASSERT_EQ(Install(Steps(File("TWO.TXT", "2"), std::move(directory))), RunOutcome::installFailed);
  EXPECT_EQ(testing::GetFile(machine_, kExe), "MZ first");
  std::uint32_t attributes = 0;
  machine_.GetFileAttributes(kExe, attributes);
  EXPECT_EQ(attributes & attr::readOnly, attr::readOnly);
  EXPECT_EQ(testing::GetFile(machine_, kLog), log);
  EXPECT_EQ(Uninstall(), RunOutcome::uninstalled);
  EXPECT_FALSE(Exists("C:\\WINDOWS\\ONE.TXT"));

  // A successful one replaces it, read-only or not, and leaves no copy aside.
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1"))), RunOutcome::installed);
  EXPECT_EQ(testing::GetFile(machine_, kExe), "MZ second");
  Restart();
  std::vector<DirEntry> entries;
  machine_.ListDirectory("C:\\WINDOWS", entries);
  for (const DirEntry& entry : entries)
    EXPECT_EQ(entry.name.find(".tmp"), std::string::npos) << entry.name;
}

TEST_F(UninstallationRun, AFailedLogWriteKeepsTheEarlierLog) {
  ASSERT_EQ(Install(Steps(File("ONE.TXT", "1"))), RunOutcome::installed);
  const std::string log = testing::GetFile(machine_, kLog);
  for (const char* operation : {"WriteFile", "MoveFile", "CreateTempFile"}) {
    machine_.ClearFaults();
    // The log writer's operations come last in the run.
    for (int nth = 1; nth < 40; ++nth) {
      ASSERT_EQ(testing::PutFile(machine_, kLog, log), FileCause::none);
      // TWO.TXT is new each time: the run places it and logs it, and asks
      // nothing about a copy an earlier round left.
      machine_.DeleteFile("C:\\WINDOWS\\TWO.TXT");
      FaultNextRun(operation, nth, FileCause::diskFull);
      const RunOutcome outcome = Install(Steps(File("TWO.TXT", "22")));
      const bool met = machine_.PendingFaults() == 0;
      machine_.ClearFaults();
      const std::string now = testing::GetFile(machine_, kLog);
      // A failed write fails the installation and keeps the earlier log; a
      // successful one leaves the whole new log.
      if (outcome == RunOutcome::installed) {
        UninstallLogListing listing;
        UninstallLogError error;
        EXPECT_TRUE(ReadUninstallLogFile(kLog, listing, error)) << operation << " " << nth;
        EXPECT_NE(now.find("TWO.TXT"), std::string::npos) << operation << " " << nth;
      } else {
        EXPECT_EQ(now, log) << operation << " " << nth;
        EXPECT_FALSE(Exists("C:\\WINDOWS\\TWO.TXT")) << operation << " " << nth;
      }
      if (!met) break;
    }
  }
}

}  // namespace
}  // namespace velmora::test
