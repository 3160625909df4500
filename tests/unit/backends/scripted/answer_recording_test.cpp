// Recording answers and replaying them: the answer file the recording Ui
// writes, read back by the answer-file reader, gives every prompt the answer
// it was given, in whole installations on fresh simulated machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "backends/scripted/answer_recording_ui.h"
#include "backends/scripted/scripted_ui.h"
#include "dialogs/group_dialog.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"

namespace velmora::test {
namespace {

RecordedAnswer Answered(TranscriptKind kind, const std::string& subject, int button,
                        std::optional<std::string> typed = std::nullopt) {
  return RecordedAnswer{kind, subject, button, std::move(typed)};
}

ScriptedUi Replayer(const std::string& answerText) {
  ScriptedUi ui;
  ui.LoadAnswerText(answerText, "recorded.txt");
  return ui;
}

// A pattern reads back as the text it came from and matches it, but not the
// text with a character more; a `*` became `?`, the only looseness.
TEST(AnswerFileWriter, PatternsReadBackAsTheirTextAndMatchOnlyIt) {
  const char* texts[] = {"plain",          "say \"hi\" now", "C:\\DIR\\", "\\\"",
                         "two\nlines\r\n", "50% * 2 = ?",    "*",         ""};
  for (const std::string text : texts) {
    ScriptedUi ui = Replayer(AnswerFileText({Answered(TranscriptKind::message, text, id::no)}, {}));
    ASSERT_EQ(ui.UnusedRules().size(), 1u) << text;
    std::string expected = text;
    std::replace(expected.begin(), expected.end(), '*', '?');
    EXPECT_EQ(ui.UnusedRules()[0]->pattern, expected);
    EXPECT_EQ(ui.MessageBox(text + "x", "Setup", mb::yesNo), id::yes) << text;  // the default
    EXPECT_EQ(ui.MessageBox(text, "Setup", mb::yesNo), id::no) << text;
  }
}

// One rule per prompt answered alike, a counted rule per run of equal
// answers otherwise; wildcard patterns after the exact ones; a value no
// rule can give as a comment.
TEST(AnswerFileWriter, CountsAnswersThatDifferAndPutsLoosePatternsLast) {
  const std::vector<RecordedAnswer> answers{
      Answered(TranscriptKind::message, "a*c", id::no),
      Answered(TranscriptKind::message, "Again", id::yes),
      Answered(TranscriptKind::message, "abc", id::yes),
      Answered(TranscriptKind::message, "Again", id::yes),
      Answered(TranscriptKind::directory, "Main", id::ok, "C:\\APP"),
      Answered(TranscriptKind::message, "Again", id::no),
      Answered(TranscriptKind::message, "abc", id::yes),
      Answered(TranscriptKind::message, "Again", id::yes),
      Answered(TranscriptKind::user, "Name", id::ok, "say \"hi\""),
      Answered(TranscriptKind::group, "Tools", id::cancel),
  };
  const std::string text = AnswerFileText(answers, {"recorded", "two\nlines"});
  EXPECT_EQ(text,
            "# recorded\n"
            "# two lines\n"
            "message \"Again\" = yes x2\n"
            "message \"abc\" = yes\n"
            "directory step \"Main\" = type \"C:\\APP\" ok\n"
            "message \"Again\" = no x1\n"
            "message \"Again\" = yes x1\n"
            "# user \"Name\": not recorded: the value holds a double quote, which an answer "
            "file cannot give\n"
            "group \"Tools\" = escape\n"
            "message \"a?c\" = no\n");
  ScriptedUi ui = Replayer(text);
  std::string given;
  for (const char* prompt : {"a*c", "Again", "abc", "Again", "Again", "abc", "Again", "Again"})
    given +=
        ButtonNameFromId(ui.MessageBox(prompt, "Setup", mb::yesNoCancel | mb::defButton3)) + " ";
  EXPECT_EQ(given, "No Yes Yes Yes No Yes Yes Cancel ");  // the last one: the default
}

// Only the run's own prompts are noted: a box a dialog shows while it is
// open is part of that dialog's answer.
TEST(AnswerRecordingUi, NotesTheRunsPromptsAndPassesEverythingOn) {
  ScriptedUi inner;
  inner.LoadAnswerText("group \"*\" = type \"a\tb\"\nmessage \"*\" = no\n", "a.txt");
  AnswerRecordingUi recorder(inner);
  ScopedUi scope(recorder);
  CGroupDialog dialog;
  dialog.m_group = "Tools";
  EXPECT_EQ(recorder.RunGroupDialog(dialog), id::cancel);  // the tab is refused
  EXPECT_EQ(recorder.MessageBox("Go on?", "Setup", mb::yesNo), id::no);
  recorder.Note(RunNote::package, "Demo");
  ASSERT_EQ(recorder.Answers().size(), 2u);
  EXPECT_EQ(recorder.Answers()[0].kind, TranscriptKind::group);
  EXPECT_EQ(recorder.Answers()[1].subject, "Go on?");
  EXPECT_EQ(inner.Transcript().size(), 4u);  // the group, its refusal box, the box, the note
  EXPECT_NE(recorder.AnswerText().find("# Package: Demo\n"), std::string::npos);
}

// ---- whole runs -------------------------------------------------------------

constexpr const char* kOddText = "Terms: \"quoted\", C:\\PATH\\*.*, 100%?\nline two\r\n";

PackageStep UserStep(const std::string& label) {
  return UserValueStep({.name = label,
                        .value = "Someone",
                        .iniFile = "RUN.INI",
                        .iniSection = "Run",
                        .iniEntry = "Owner"});
}

struct RoundTrip {
  const char* what;
  std::function<std::vector<PackageStep>()> steps;
  const char* answers;  // the answers the first run is driven by
};

// The machine as compared: file times are the host's, not the run's.
Snapshot Untimed(SimMachine& machine) {
  Snapshot shot = Take(machine);
  for (auto& [key, value] : shot) {
    const std::size_t times = value.find(" times ");
    if (times != std::string::npos) value.erase(times, value.find(" bytes ") - times);
  }
  return shot;
}

// Every line of the transcript with the answer's source left out.
std::string Shown(const ScriptedUi& ui) {
  std::string lines;
  for (TranscriptEntry entry : ui.Transcript()) {
    entry.fromRule = true;
    entry.byUser = false;
    entry.notes.clear();
    lines += FormatTranscriptEntry(entry) + "\n";
  }
  return lines;
}

// Installs on a fresh machine (an old DLL in C:\WINDOWS) with the prompts
// answered by `answers`; answers what the recorder wrote.
std::string Install(const RoundTrip& trip, const std::string& answers, std::string& shown,
                    Snapshot& machine) {
  IsolatedMachine isolated(MediaFiles{});
  EXPECT_EQ(testing::PutFile(isolated.Machine(), "C:\\WINDOWS\\OLD.DLL", "old"), FileCause::none);
  PackageDefinition package;
  package.first.title = "Demo";
  package.first.checkDates = package.first.checkVersions = false;  // the replace question is asked
  package.first.steps = trip.steps();
  WritePackage(package, kMediaFolder);
  isolated.Ui().LoadAnswerText(answers, "answers.txt");
  AnswerRecordingUi recorder(isolated.Ui());
  {
    ScopedUi scope(recorder);
    RunInstallation();
  }
  shown = Shown(isolated.Ui());
  machine = Untimed(isolated.Machine());
  return recorder.AnswerText();
}

TEST(AnswerRecordingUi, ReplayingTheRecordGivesEveryPromptKindTheSameAnswers) {
  const RoundTrip trips[] = {
      {"message",
       [] { return Steps(GroupStep("Tools"), FileStep({.name = "A.EXE", .icon = true})); },
       "message \"Create program group and icons?\" = no"},
      {"directory, asked again",
       [] {
         return Steps(DirectoryStep({.name = "Main", .question = "Where?", .value = "C:\\APP"}));
       },
       "directory \"Where?\" = type \"C:\\A\" x1\n"
       "message \"*Create?\" = no x1\n"
       "directory \"Where?\" = type \"C:\\B\""},
      {"directory step, cancelled",
       [] { return Steps(IniValue("A", "1"), DirectoryStep({.name = "Main", .value = "C:\\"})); },
       "directory step \"Main\" = cancel"},
      {"replace",
       [] {
         return Steps(FileStep({.name = "OLD.DLL", .payload = {'n', 'e', 'w'}}));
       },
       "replace \"*\" = existing"},
      {"group", [] { return Steps(GroupStep("Tools"), FileStep({.name = "A.EXE", .icon = true})); },
       "group \"Tools\" = type \"My Tools\""},
      {"agreement",
       [] {
         return Steps(IniValue("A", "1"),
                      ShownFileStep({.name = "LICENSE.TXT",
                                     .payload = {kOddText, kOddText + std::strlen(kOddText)}}));
       },
       "agreement \"*\" = refuse"},
      {"readme",
       [] {
         return Steps(ShownFileStep({.kind = "CStepFileDisplayOptional",
                                     .name = "README.TXT",
                                     .payload = {kOddText, kOddText + std::strlen(kOddText)}}));
       },
       "message \"If you wish*\" = yes\nreadme \"*\" = close"},
      {"user", [] { return Steps(UserStep("Your \"name\"?*"), UserStep("Company")); },
       "user \"Your*\" = type \"Ada \\ Lovelace\"\nuser \"Company\" = escape"},
  };
  for (const RoundTrip& trip : trips) {
    std::string shown, replayed;
    Snapshot first, second;
    const std::string recorded = Install(trip, trip.answers, shown, first);
    const std::string again = Install(trip, recorded, replayed, second);
    EXPECT_EQ(replayed, shown) << trip.what << "\n" << recorded;
    EXPECT_EQ(Differences(first, second, [](auto&&...) { return false; }), "") << trip.what;
    EXPECT_EQ(again, recorded) << trip.what;
  }
}

}  // namespace
}  // namespace velmora::test
