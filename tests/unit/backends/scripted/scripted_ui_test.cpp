#include "backends/scripted/scripted_ui.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "backends/scripted/line_log.h"
#include "dialogs/agreement_dialog.h"
#include "dialogs/group_dialog.h"
#include "dialogs/replace_file_dialog.h"
#include "dialogs/user_info_dialog.h"

namespace velmora {
namespace {

TEST(ScriptedUi, UnansweredPromptTakesTheDefaultButton) {
  ScriptedUi ui;
  EXPECT_EQ(ui.MessageBox("Proceed?", "Setup", mb::yesNo | mb::iconQuestion), id::yes);
  EXPECT_EQ(ui.MessageBox("Proceed?", "Setup", mb::yesNo | mb::defButton2), id::no);
  EXPECT_EQ(ui.MessageBox("Insert disk", "Setup", mb::okCancel | mb::defButton2), id::cancel);
  EXPECT_EQ(ui.MessageBox("Done", "Setup", mb::ok), id::ok);
  // A default button the box does not have falls back to its first button.
  EXPECT_EQ(ui.MessageBox("Done", "Setup", mb::ok | mb::defButton3), id::ok);
  ASSERT_EQ(ui.Transcript().size(), 5u);
  EXPECT_FALSE(ui.Transcript()[0].fromRule);
}

TEST(ScriptedUi, RulesAnswerInOrderAndRespectUseCounts) {
  std::istringstream answers(
      "# answers for a test run\n"
      "message \"Create directory *\" = no x1\n"
      "message \"Create directory *\" = yes\n"
      "\n"
      "message \"Insert disk ?\" = cancel\n");
  ScriptedUi ui;
  ui.LoadAnswers(answers, "answers.txt");
  EXPECT_EQ(ui.MessageBox("Create directory C:\\A?", "Setup", mb::yesNo), id::no);
  EXPECT_EQ(ui.MessageBox("Create directory C:\\A?", "Setup", mb::yesNo), id::yes);
  EXPECT_EQ(ui.MessageBox("Create directory C:\\B?", "Setup", mb::yesNo), id::yes);
  EXPECT_EQ(ui.MessageBox("Insert disk 2", "Setup", mb::okCancel), id::cancel);
  EXPECT_EQ(ui.MessageBox("Insert disk 12", "Setup", mb::okCancel), id::ok);  // ? is one character
  EXPECT_TRUE(ui.Transcript()[0].fromRule);
  EXPECT_FALSE(ui.Transcript()[4].fromRule);
}

TEST(ScriptedUi, AnswerThatTheBoxDoesNotOfferIsNotPressed) {
  ScriptedUi ui;
  ui.AddRule({TranscriptKind::message, "*", "yes", 1, 0, 1});
  EXPECT_EQ(ui.MessageBox("Install Successful", "Setup", mb::ok | mb::iconInformation), id::ok);
  // The rule was not used up by the box it could not answer.
  EXPECT_EQ(ui.MessageBox("Again?", "Setup", mb::yesNo | mb::defButton2), id::yes);
}

TEST(ScriptedUi, MalformedAnswerFileNamesFileAndLine) {
  const char* bad[] = {
      "message Create = yes\n",             // pattern not quoted
      "message \"x\" yes\n",                // no '='
      "message \"x\" = maybe\n",            // unknown answer
      "dialog \"x\" = ok\n",                // unknown kind
      "message \"x\" = ok x0\n",            // zero uses
      "message \"x\" = ok x99999999999\n",  // more uses than a count holds
      "message \"unterminated = ok\n",
      "group \"x\" = escape ok\n",     // nothing after the end of the dialog
      "group \"x\" = choose Games\n",  // the name not quoted
      "group \"x\" = cancel\n",        // the dialog has no Cancel
      "agreement \"*\" = ok\n",        // the agreement has no OK
      "readme \"*\" = refuse\n",       // the readme viewer has no refuse button
      "user \"x\" = type Ada\n",       // the value not quoted
      "user \"x\" = escape type \"A\"\n",
  };
  for (const char* text : bad) {
    std::istringstream in(std::string("# comment\n") + text);
    ScriptedUi ui;
    try {
      ui.LoadAnswers(in, "a.txt");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("a.txt:2: ", 0), 0u) << e.what();
    }
  }
}

// Each rule judged against what a package can show: the texts where the
// steps fix them, the presence of the kind otherwise; message boxes never.
TEST(ScriptedUi, RulesNoPromptOfThePackageCanMatch) {
  PossiblePrompts prompts;
  prompts.directoryQuestions = {"Where shall Notes go?"};
  prompts.directoryStepNames = {"NotesDir"};
  prompts.groupNames = {"Lantern"};
  prompts.userLabels = {"Your name"};
  prompts.readmes = true;
  ScriptedUi ui;
  ui.LoadAnswerText(
      "directory \"Where shall * go?\" = ok\n"     // 1: matches
      "directory \"Where shall Note go?\" = ok\n"  // 2: a typo
      "directory step \"NotesDir\" = ok\n"         // 3
      "directory step \"Notes\" = ok\n"            // 4: names, not questions
      "group \"Lantern*\" = ok\n"                  // 5
      "group \"Tools\" = ok\n"                     // 6
      "user \"Your name\" = ok\n"                  // 7
      "user \"Name\" = ok\n"                       // 8
      "readme \"*\" = ok\n"                        // 9
      "agreement \"*\" = accept\n"                 // 10: no agreement step
      "replace \"*\" = new\n"                      // 11: no file step
      "message \"Nothing like it\" = ok\n",        // 12: judged only by the run
      "a.txt");
  std::vector<int> lines;
  for (const AnswerRule* rule : ui.RulesNoPromptCanMatch(prompts)) lines.push_back(rule->line);
  EXPECT_EQ(lines, (std::vector<int>{2, 4, 6, 8, 10, 11}));
  EXPECT_EQ(ui.RulesNoPromptCanMatchSummary("a.txt", prompts),
            "6 rules of a.txt can answer no prompt of this package: lines 2, 4, 6, 8, 10, 11");
  prompts.agreements = prompts.fileReplacements = true;
  EXPECT_EQ(ui.RulesNoPromptCanMatch(prompts).size(), 4u);
}

TEST(ScriptedUi, GroupRulesTypeChooseOnlyListedNamesAndEscape) {
  std::istringstream answers(
      "group \"Tools\" = choose \"Nope\" x1\n"
      "group \"Tools\" = type \"Mine\" choose \"Games\" x1\n"
      "group \"T*\" = type \"Mine\" escape\n");
  ScriptedUi ui;
  ScopedUi scope(ui);
  ui.LoadAnswers(answers, "answers.txt");
  const std::pair<int, std::string> expected[] = {
      {id::ok, "Tools"}, {id::ok, "Games"}, {id::cancel, "Tools"}};
  for (const auto& [answer, name] : expected) {
    CGroupDialog dialog;
    dialog.m_prompt = "Create program group:";
    dialog.m_group = "Tools";
    dialog.m_groupNames = {"Main", "Games"};
    EXPECT_EQ(dialog.DoModal(), answer);
    EXPECT_EQ(dialog.m_group, name);
    EXPECT_TRUE(dialog.m_groupNames.empty());
  }
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[0]),
            "group \"Create program group:\" \"Tools\" [\"Games\", \"Main\"] -> OK \"Tools\" "
            "(\"Nope\" is not in the list)");
}

// OK on a name no Program Manager command can carry shows the refusal; an
// answer has no second try, so the dialog ends with Escape.
TEST(ScriptedUi, GroupNameThatOkRefusesEndsTheDialogWithEscape) {
  ScriptedUi ui;
  ScopedUi scope(ui);
  AnswerRule rule;
  rule.kind = TranscriptKind::group;
  rule.pattern = "Tools";
  rule.groupActions = {{GroupAction::type, "x\")][DeleteGroup(\"Accessories"},
                       {GroupAction::ok, ""}};
  ui.AddRule(rule);
  // Without a rule, OK takes the suggested name; this one is refused too.
  for (const char* suggested : {"Tools", "Tab\there"}) {
    CGroupDialog dialog;
    dialog.m_prompt = "Create program group:";
    dialog.m_group = suggested;
    EXPECT_EQ(dialog.DoModal(), id::cancel) << suggested;
    EXPECT_EQ(dialog.m_group, suggested);
  }
  ASSERT_EQ(ui.Transcript().size(), 4u);
  for (std::size_t i : {0u, 2u}) {
    const TranscriptEntry& message = ui.Transcript()[i];
    EXPECT_EQ(message.kind, TranscriptKind::message);
    EXPECT_EQ(message.text, CGroupDialog::kRefusedName);
    EXPECT_EQ(message.style, mb::ok | mb::iconExclamation);
    const TranscriptEntry& group = ui.Transcript()[i + 1];
    EXPECT_EQ(group.kind, TranscriptKind::group);
    EXPECT_EQ(group.answer, id::cancel);
    EXPECT_EQ(group.notes.back(), "OK refused the name");
  }
}

// The agreement dialog with both buttons answers agreement rules, with its
// refuse button hidden readme rules; button 1 is the default of both.
TEST(ScriptedUi, AgreementAndReadmeRulesAnswerTheirOwnDialog) {
  std::istringstream answers(
      "agreement \"*LICENCE*\" = refuse x1\n"
      "agreement \"*LICENCE*\" = close x1\n"
      "readme \"*\" = close x1\n");
  ScriptedUi ui;
  ScopedUi scope(ui);
  ui.LoadAnswers(answers, "answers.txt");
  struct Case {
    const char* refuse;
    const char* text;
    int answer;
    const char* line;
  } cases[] = {
      {"No", "LICENCE", id::cancel, "agreement [\"Yes\", \"No\"] \"LICENCE\" -> No"},
      {"No", "LICENCE", id::cancel, "agreement [\"Yes\", \"No\"] \"LICENCE\" -> close box"},
      {"No", "LICENCE", id::ok, "agreement [\"Yes\", \"No\"] \"LICENCE\" -> Yes (default)"},
      {"", "notes\r\n", id::cancel, "readme [\"Yes\"] \"notes\\r\\n\" -> close box"},
      {"", "notes\r\n", id::ok, "readme [\"Yes\"] \"notes\\r\\n\" -> Yes (default)"},
  };
  for (const Case& c : cases) {
    CAgreementDialog dialog;
    dialog.m_acceptCaption = "Yes";
    dialog.m_refuseCaption = c.refuse;
    dialog.m_text = c.text;
    EXPECT_EQ(dialog.DoModal(), c.answer) << c.line;
    EXPECT_EQ(FormatTranscriptEntry(ui.Transcript().back()), c.line);
  }
}

TEST(ScriptedUi, UserRulesTypeThenOkOrEscapeKeepingTheSuggestion) {
  std::istringstream answers(
      "user \"Name\" = type \"Ada\" x1\n"
      "user \"Name\" = type \"\" ok x1\n"
      "user \"N*\" = type \"Bob\" escape\n");
  ScriptedUi ui;
  ScopedUi scope(ui);
  ui.LoadAnswers(answers, "answers.txt");
  const std::pair<int, std::string> expected[] = {
      {id::ok, "Ada"}, {id::ok, ""}, {id::cancel, "suggested"}};
  for (const auto& [answer, value] : expected) {
    CUserInfoDialog dialog;
    dialog.m_label = "Name";
    dialog.m_value = "suggested";
    EXPECT_EQ(dialog.DoModal(), answer);
    EXPECT_EQ(dialog.m_value, value);
  }
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[0]),
            "user \"Name\" \"suggested\" -> OK \"Ada\" (typed \"Ada\")");
  EXPECT_EQ(FormatTranscriptEntry(ui.Transcript()[2]),
            "user \"Name\" \"suggested\" -> Escape (typed \"Bob\")");
}

// Without a rule the replace question keeps an existing file that is the
// newer of the two and replaces any other; a rule answers either way.
TEST(ScriptedUi, ReplaceQuestionKeepsANewerExistingFileUnlessARuleAnswers) {
  std::istringstream answers(
      "replace \"C:\\RULE\\*\" = new x1\n"
      "replace \"C:\\RULE\\*\" = existing x1\n");
  ScriptedUi ui;
  ScopedUi scope(ui);
  ui.LoadAnswers(answers, "answers.txt");
  const struct {
    const char* path;
    bool existingIsNewer;
    int answer;
    bool fromRule;
  } cases[] = {
      {"C:\\A.DLL", true, id::cancel, false},
      {"C:\\A.DLL", false, id::ok, false},
      {"C:\\RULE\\A.DLL", true, id::ok, true},
      {"C:\\RULE\\A.DLL", false, id::cancel, true},
  };
  for (const auto& c : cases) {
    CReplaceFileDialog dialog;
    dialog.m_existingName = dialog.m_newName = c.path;
    dialog.m_existingIsNewer = c.existingIsNewer;
    EXPECT_EQ(dialog.DoModal(), c.answer) << c.path << " " << c.existingIsNewer;
    EXPECT_EQ(ui.Transcript().back().fromRule, c.fromRule) << c.path;
  }
}

// With a fallback the rules answer what they match and the user (here a
// second scripted Ui) everything else; the windows get the progress and
// the pictures.  Nothing takes a default.
TEST(ScriptedUi, PromptsNoRuleMatchesGoToTheFallbackUser) {
  ScriptedUi user;
  user.AddRule({TranscriptKind::message, "Create?", "no", 0, 0, 1});
  ScriptedUi ui;
  ui.SetFallback(&user);
  ui.AddRule({TranscriptKind::message, "Replace?", "no", 0, 0, 1});
  EXPECT_EQ(ui.MessageBox("Replace?", "Setup", mb::yesNo), id::no);
  EXPECT_EQ(ui.MessageBox("Create?", "Setup", mb::yesNo), id::no);
  CUserInfoDialog dialog;
  dialog.m_label = "Name";
  dialog.m_value = "Ada";
  EXPECT_EQ(ui.RunUserInfoDialog(dialog), id::ok);
  ui.UpdateProgress("Step", 50);
  ui.HideProgress();
  EXPECT_NE(ui.CreateScreenBitmap(DibImage{.width = 2, .height = 3}), 0u);

  std::vector<std::string> seen;
  for (const TranscriptEntry& e : ui.Transcript()) seen.push_back(FormatTranscriptEntry(e));
  EXPECT_EQ(seen, (std::vector<std::string>{"message \"Setup\" [Yes/No] \"Replace?\" -> No",
                                            "message \"Setup\" [Yes/No] \"Create?\" -> No (user)",
                                            "user \"Name\" \"Ada\" -> OK \"Ada\" (user)",
                                            "progress \"Step\" 50%"}));
  // The user saw what the rules did not answer, and the progress; the
  // bitmap is the windows' own.
  ASSERT_EQ(user.Transcript().size(), 3u);
  EXPECT_EQ(user.Transcript()[0].text, "Create?");
  EXPECT_EQ(user.Transcript()[1].kind, TranscriptKind::user);
  EXPECT_EQ(user.Transcript()[2].kind, TranscriptKind::progress);
  EXPECT_EQ(user.LiveBitmaps(), 1u);
  EXPECT_EQ(ui.LiveBitmaps(), 0u);
}

// A log is the echo: every line is on disk as soon as it is recorded, so
// a run killed half way leaves what had happened.
TEST(ScriptedUi, EchoedLinesReachTheLogFileBeforeTheRunEnds) {
  const std::string path = ::testing::TempDir() + "/echo.log";
  LineLog log;
  std::string reason;
  ASSERT_TRUE(log.Open(path, reason)) << reason;
  ScriptedUi ui;
  ui.SetEcho([&log](const std::string& line) { log.WriteLine(line); });
  ui.Note(RunNote::package, "Demo");
  ui.Note(RunNote::stepDone, "Directory: Main");
  ui.MessageBox("Install Successful", "Setup", mb::ok);
  std::string text;  // read while the log is still open for writing
  ASSERT_TRUE(ReadTextFile(path, text));
#ifdef _WIN32
  const std::string end = "\r\n";  // a text file's line end there
#else
  const std::string end = "\n";
#endif
  EXPECT_EQ(text, "package \"Demo\"" + end + "step \"Directory: Main\" -> done" + end +
                      "message \"Setup\" [OK] \"Install Successful\" -> OK (default)" + end);
  EXPECT_FALSE(log.Open(::testing::TempDir() + "/no such folder/x.log", reason));
  EXPECT_FALSE(ReadTextFile(::testing::TempDir() + "/no such file", text));
}

TEST(ScriptedUi, TranscriptShowsCaptionButtonsIconTextAndAnswer) {
  std::ostringstream echo;
  ScriptedUi ui;
  ui.SetEcho([&echo](const std::string& line) { echo << line << '\n'; });
  ui.AddRule({TranscriptKind::message, "Overwrite*", "no", 0, 0, 1});
  ui.MessageBox("Overwrite \"a.txt\"?\nIt is newer.", "Setup", mb::yesNo | mb::iconQuestion);
  ui.MessageBox("Disk Full", "Setup", mb::ok | mb::iconExclamation);
  std::ostringstream written;
  ui.WriteTranscript(written);
  EXPECT_EQ(
      written.str(),
      "message \"Setup\" [Yes/No, question] \"Overwrite \\\"a.txt\\\"?\\nIt is newer.\" -> No\n"
      "message \"Setup\" [OK, exclamation] \"Disk Full\" -> OK (default)\n");
  EXPECT_EQ(echo.str(), written.str());
}

}  // namespace
}  // namespace velmora
