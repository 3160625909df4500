// The media files of a run, written byte by byte: which file is opened when,
// the disk prompts and their answers, seeks, and file errors in the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/installation_run.h"
#include "shell/media_prompt.h"
#include "shell/run_setup.h"
#include "shell/run_window.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

class InstallationMedia : public ShellTest {
 protected:
  // Media file 1: the header and the records; records name their disks.
  void WriteFirst(const std::vector<RecordBuilder>& records, bool twoParts = false) {
    RecordBuilder data = Header("Demo", static_cast<std::uint32_t>(records.size()), twoParts);
    for (const RecordBuilder& record : records) data.Append(record);
    WriteMedia("velmor.1", data.Stretches());
  }
  // A media file with nothing after its prefix but a few bytes of filler.
  void WriteFiller(const std::string& name) {
    RecordBuilder filler;
    filler.Raw(std::string("filler"));
    WriteMedia(name, filler.Stretches());
  }

  RunOutcome Run() {
    RunWindow window(RunMode::install);
    InstallationRun run(window, kMediaSetup);
    const RunOutcome outcome = run.Run();
    disk_ = run.CurrentDisk();
    return outcome;
  }

  std::uint32_t disk_ = 0;
};

TEST_F(InstallationMedia, StepsOnDiskZeroOrTheOpenDiskChangeNothing) {
  // Steps that touch no file: after the running program (held from the
  // start), the media file and the uninstaller copy, the next open is the
  // uninstall log's, after the run; a reopen of the media file would meet
  // the fault instead.  A
  // log that cannot be written fails the installation: nothing could
  // remove it.
  WriteFirst({IniRecord(0, 0), IniRecord(1, 0)});
  machine_.InjectFault("OpenFile", 4, FileCause::fileNotFound);
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Unable to write the uninstall log C:\\WINDOWS\\XDemo.VMU.",
                                      "Install Failed.  Press OK to abort."}));
  EXPECT_EQ(machine_.PendingFaults(), 0u);
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine_.GetFileAttributes("C:\\WINDOWS\\XDemo.VMU", attributes),
            FileCause::fileNotFound);
  EXPECT_EQ(disk_, 1u);
}

TEST_F(InstallationMedia, StepOnDiskThreeOpensItDirectly) {
  WriteFirst({IniRecord(3, 0, "A", "1")});
  WriteFiller("velmor.3");  // and no velmor.2: asking for it would prompt
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Install Successful"});
  EXPECT_EQ(disk_, 3u);
}

TEST_F(InstallationMedia, OffsetZeroRunsWhereTheStreamIsAndAnyOtherSeeks) {
  // The first seek is the uninstaller copy's, to the running program's start.
  WriteFirst({IniRecord(1, 0, "A", "1")});
  machine_.InjectFault("SeekFile", 2, FileCause::badSeek);
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(machine_.PendingFaults(), 1u);
  machine_.ClearFaults();

  ui_.ClearTranscript();
  WriteFirst({IniRecord(1, 5, "A", "1")});
  machine_.InjectFault("SeekFile", 2, FileCause::badSeek);
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  // The run's guard reports the file error, then the run fails.
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Bad seek", "Install Failed.  Press OK to abort."}));
}

TEST_F(InstallationMedia, FileErrorWhileReadingTheHeaderIsReported) {
  WriteFirst({});
  // Reads 1 .. prefix+1 skip the plain prefix one byte at a time; the next
  // one fills the stream's read-ahead for the header.
  machine_.InjectFault("ReadFile", static_cast<int>(std::string(kPrefix).size()) + 2,
                       FileCause::hardIO);
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Hardware error", "Install Failed.  Press OK to abort."}));
}

TEST_F(InstallationMedia, MissingDiskIsAskedForUntilItIsThere) {
  WriteFirst({IniRecord(2, 0, "A", "1")});
  // The user inserts disk 2 after the second prompt.
  struct InsertingUi : RecordingUi {
    Machine* machine = nullptr;
    int prompts = 0;
    int MessageBox(const std::string& text, const std::string& caption,
                   std::uint32_t style) override {
      if (text == "Please insert media disk 2" && ++prompts == 2) {
        EXPECT_EQ(testing::PutFile(*machine, "C:\\MEDIA\\velmor.2", std::string("d2\0", 3)),
                  FileCause::none);
      }
      return RecordingUi::MessageBox(text, caption, style);
    }
  } inserting;
  inserting.machine = &machine_;
  inserting.AddRule(MessageRule("Please insert*", "ok"));
  ScopedUi scoped(inserting);
  EXPECT_EQ(Run(), RunOutcome::installed);
  int prompts = 0;
  for (const TranscriptEntry& entry : inserting.Transcript()) {
    if (entry.text != "Please insert media disk 2") continue;
    ++prompts;
    EXPECT_EQ(entry.style, mb::okCancel | mb::iconExclamation);
  }
  EXPECT_EQ(prompts, 2);
  EXPECT_EQ(disk_, 2u);
}

TEST_F(InstallationMedia, CancelAtTheDiskPromptFailsTheRun) {
  WriteFirst({IniRecord(0, 0, "A", "1"), IniRecord(2, 0, "B", "2")});
  ui_.AddRule(MessageRule("Please insert media disk 2", "cancel"));
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Please insert media disk 2",
                                                  "Install Failed.  Press OK to abort."}));
  EXPECT_EQ(Ini("A"), "<none>");  // done before the prompt, and rolled back
  EXPECT_EQ(Ini("B"), "<none>");
}

TEST_F(InstallationMedia, UnansweredDiskPromptEndsInCancelInsteadOfLoopingForever) {
  // No media at all and no answer file: OK is the default answer.
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  const std::vector<std::string> expected(ScriptedUi::kMaxDefaultRepeats + 1,
                                          "Please insert media disk 1");
  std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), expected.size() + 1);
  messages.pop_back();
  EXPECT_EQ(messages, expected);
  const TranscriptEntry& last = ui_.Transcript()[ScriptedUi::kMaxDefaultRepeats];
  EXPECT_EQ(last.answer, id::cancel);
  ASSERT_EQ(last.notes.size(), 1u);
  EXPECT_NE(last.notes[0].find("cancelled"), std::string::npos);
}

TEST_F(InstallationMedia, SecondPartPromptNamesNoNumber) {
  WriteFirst({}, true);
  ui_.AddRule(MessageRule("Please insert*", "cancel"));
  EXPECT_EQ(Run(), RunOutcome::installFailed);
  EXPECT_EQ(Messages().front(), "Please insert next media disk");
  EXPECT_EQ(MediaFileNameFor(true, 12), "velmore.12");
  EXPECT_EQ(MediaPromptFor(false, 12), "Please insert media disk 12");
}

TEST_F(InstallationMedia, RecordsGoOnInTheNextFileAfterItsPrefix) {
  RecordBuilder first = Header("Demo", 2);
  first.Append(IniRecord(0, 0, "A", "1"));
  WriteMedia("velmor.1", first.Stretches(), "");  // a prefix of the zero byte alone
  WriteMedia("velmor.2", IniRecord(0, 0, "B", "2").Stretches());
  EXPECT_EQ(Run(), RunOutcome::installed);
  EXPECT_EQ(Ini("A"), "1");
  EXPECT_EQ(Ini("B"), "2");
  EXPECT_EQ(disk_, 2u);
}

TEST_F(InstallationMedia, UnreadBytesOfOnePartNeverReachTheNext) {
  // After its records the first media file holds plain bytes with zeros
  // among them: had the stream kept them in its read-ahead when the second
  // part's file was opened, the prefix skip would stop inside them.
  RecordBuilder first = Header("First", 1, true);
  first.Append(IniRecord(0, 0, "A", "1"));
  std::vector<RecordBuilder::Stretch> stretches = first.Stretches();
  stretches.push_back({false, Bytes{7, 0, 9, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3}});
  WriteMedia("velmor.1", stretches);
  RecordBuilder second = Header("Second", 1);
  second.Append(IniRecord(0, 0, "B", "2"));
  WriteMedia("velmore.1", second.Stretches());

  RunWindow window(RunMode::install);
  InstallationRun run(window, kMediaSetup);
  EXPECT_EQ(run.Run(), RunOutcome::installed);
  EXPECT_EQ(run.Title(), "Second");
  EXPECT_EQ(Ini("B"), "2");
  EXPECT_EQ(run.DoneSteps().size(), 2u);
}

}  // namespace
}  // namespace velmora::test
