// Answer files for the directory question and its folder browser, the
// guards that end repeated prompts, and progress in the transcript.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "backends/scripted/scripted_ui.h"
#include "backends/sim/sim_machine.h"
#include "dialogs/directory_dialog.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

class ScriptedDirectory : public ::testing::Test {
 protected:
  ScriptedDirectory() {
    EXPECT_EQ(machine_.CreateDirectory("C:\\Program Files"), FileCause::none);
    EXPECT_EQ(machine_.CreateDirectory("C:\\Program Files\\Tools"), FileCause::none);
  }

  void Load(const std::string& text) {
    std::istringstream in(text);
    ui_.LoadAnswers(in, "answers.txt");
  }

  // Runs the dialog as the directory step fills it; answers the button.
  int Ask(const std::string& question, const std::string& path, const std::string& step = "Main") {
    dialog_ = CDirectoryDialog();
    dialog_.m_question = question;
    dialog_.m_path = path;
    dialog_.m_stepName = step;
    return dialog_.DoModal();
  }

  testing::TempRoot root_{"scripted"};
  SimMachine machine_{root_.path()};
  ScopedMachine scopedMachine_{machine_};
  ScriptedUi ui_;
  ScopedUi scopedUi_{ui_};
  CDirectoryDialog dialog_;
};

TEST_F(ScriptedDirectory, TypedBrowsedAndCancelledAnswers) {
  Load(
      "directory \"Where shall*\" = type \"D:\\Apps\\new\" x1\n"
      "directory step \"Tool*\" = browse \"c:/program files/tools\"\n"
      "directory \"Where shall*\" = cancel\n");
  EXPECT_EQ(Ask("Where shall it go?", "C:\\Lantern"), id::ok);
  EXPECT_EQ(dialog_.m_path, "D:\\Apps\\new");  // taken literally: \n is no escape in a path
  EXPECT_EQ(Ask("Where shall it go?", "C:\\Lantern"), id::cancel);
  EXPECT_EQ(dialog_.m_path, "C:\\Lantern");  // Cancel copies nothing back
  EXPECT_EQ(Ask("Where?", "C:\\Old", "ToolDir"), id::ok);
  EXPECT_EQ(dialog_.m_path, "C:\\Program Files\\Tools\\");  // the tree's texts and backslash
  EXPECT_EQ(
      FormatTranscriptEntry(ui_.Transcript()[2]),
      "directory \"ToolDir\" \"Where?\" \"C:\\\\Old\" -> OK \"C:\\\\Program Files\\\\Tools\\\\\" "
      "(browse \"C:\\Program Files\\Tools\\\" -> OK)");
}

TEST_F(ScriptedDirectory, BrowsingSomewhereTheTreeDoesNotListKeepsTheField) {
  Load("directory \"*\" = type \"C:\\Typed\" browse \"C:\\Program Files\\Missing\" ok x1\n");
  EXPECT_EQ(Ask("Q", "C:\\Start"), id::ok);
  EXPECT_EQ(dialog_.m_path, "C:\\Typed");
  const TranscriptEntry& entry = ui_.Transcript()[0];
  ASSERT_EQ(entry.notes.size(), 2u);
  EXPECT_NE(entry.notes[1].find("not in the folder tree"), std::string::npos);

  ui_.AddRule([] {
    AnswerRule rule;
    rule.kind = TranscriptKind::directory;
    rule.pattern = "Again";
    rule.actions = {{DirectoryAction::browseCancel, "C:\\Program Files"},
                    {DirectoryAction::ok, ""}};
    return rule;
  }());
  EXPECT_EQ(Ask("Again", "C:\\Kept"), id::ok);
  EXPECT_EQ(dialog_.m_path, "C:\\Kept");
  EXPECT_EQ(ui_.Transcript()[1].notes,
            std::vector<std::string>{"browse \"C:\\Program Files\\\" -> Cancel"});
}

TEST_F(ScriptedDirectory, MalformedDirectoryRulesNameTheLine) {
  const char* bad[] = {
      "directory \"x\" = type\n",               // no path
      "directory \"x\" = type C:\\x\n",         // path not quoted
      "directory \"x\" = ok type \"C:\\y\"\n",  // ok ends the dialog
      "directory \"x\" = jump\n",               // unknown action
      "directory \"x\" = browse \"\"\n",        // nowhere to browse to
      "directory step = ok\n",                  // no step name
      "directory \"x\" = type \"C:\\unterminated\n",
  };
  for (const char* text : bad) {
    std::istringstream in(std::string("\n") + text);
    ScriptedUi ui;
    try {
      ui.LoadAnswers(in, "a.txt");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("a.txt:2: ", 0), 0u) << e.what();
    }
  }
  std::istringstream tooLong("directory \"x\" = type \"" + std::string(261, 'p') + "\"\n");
  ScriptedUi ui;
  EXPECT_THROW(ui.LoadAnswers(tooLong, "a.txt"), std::runtime_error);
}

TEST_F(ScriptedDirectory, PatternKeepsABackslashThatEscapesNothing) {
  Load("message \"Install to C:\\APP\\\\x?\" = no\n");
  EXPECT_EQ(ui_.MessageBox("Install to C:\\APP\\x?", "Setup", mb::yesNo), id::no);
}

TEST(ScriptedGuard, RepeatedUnansweredPromptIsCancelledWhenItCan) {
  ScriptedUi ui;
  for (int i = 0; i < ScriptedUi::kMaxDefaultRepeats; ++i)
    EXPECT_EQ(ui.MessageBox("Please insert media disk 2", "Setup", mb::okCancel), id::ok);
  EXPECT_EQ(ui.MessageBox("Please insert media disk 2", "Setup", mb::okCancel), id::cancel);
  EXPECT_NE(FormatTranscriptEntry(ui.Transcript().back()).find("cancelled to end the run"),
            std::string::npos);
  // Another prompt has its own count; a box without Cancel is never forced.
  EXPECT_EQ(ui.MessageBox("Please insert media disk 3", "Setup", mb::okCancel), id::ok);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(ui.MessageBox("Note", "Setup", mb::ok), id::ok);
}

TEST(ScriptedGuard, RuleAnsweredPromptEndsOnlyAfterManyShowings) {
  ScriptedUi ui;
  ui.AddRule({TranscriptKind::message, "Retry?", "retry", 0, 0, 1});
  for (int i = 0; i < ScriptedUi::kMaxSamePrompt; ++i)
    ASSERT_EQ(ui.MessageBox("Retry?", "Setup", mb::retryCancel), id::retry) << i;
  EXPECT_EQ(ui.MessageBox("Retry?", "Setup", mb::retryCancel), id::cancel);
}

TEST(ScriptedProgress, OneEntryPerStepLineWithItsLastValue) {
  ScriptedUi ui;
  ui.ShowProgress();
  ui.UpdateProgress("Directory: Main", 0);
  ui.UpdateProgress("Directory: Main", 10);
  ui.MessageBox("Question", "Setup", mb::ok);  // ends the open entry first
  ui.UpdateProgress("Directory: Main", 20);
  ui.UpdateProgress("", 20);
  ui.UpdateProgress("", 100);
  ui.HideProgress();
  std::ostringstream out;
  ui.WriteTranscript(out);
  EXPECT_EQ(out.str(),
            "progress \"Directory: Main\" 10%\n"
            "message \"Setup\" [OK] \"Question\" -> OK (default)\n"
            "progress \"Directory: Main\" 20%\n"
            "progress \"\" 100%\n");
}

}  // namespace
}  // namespace velmora
