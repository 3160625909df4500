// Reading step records from the installation script: class name framing,
// the plain leading fields, tags, the file step's trailing fields, media
// file changes and file errors.
#include "steps/step_record.h"

#include <gtest/gtest.h>

#include "datafile/media_set.h"
#include "services/file_error_report.h"
#include "steps/step_classes.h"
#include "steps/step_directory.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display.h"
#include "steps/step_registry.h"
#include "unit/steps/step_test_support.h"

namespace velmora::test {
namespace {

using StepRecord = StepTest;

// A record with no tags; file kinds get their trailing fields, and the
// file copy step the name of the file it places.
RecordBuilder Empty(const std::string& className) {
  RecordBuilder r;
  r.ClassName(className).Head(0);
  if (className == "CStepFileCopy") r.String("NAME", "APP.EXE");
  r.Ends();
  if (className.starts_with("CStepFile")) r.Trailing(0, 0, 0);
  return r;
}

// The factory refuses a bad length before reading the name, and reads the
// whole name for a good one; what follows the name field tells which.
TEST_F(StepRecord, ClassNameLengthMustBeTwoTo128WithATerminatingZero) {
  struct Case {
    std::uint32_t length;
    std::string name;
    std::string next;  // the four bytes the stream delivers after CreateStep
  };
  const std::string name127(127, 'C');
  const Case cases[] = {
      {2, std::string("C\0", 2), "NEXT"},
      {128, name127 + std::string(1, '\0'), "NEXT"},
      {1, std::string("\0", 1), std::string("\0NEX", 4)},
      {129, name127 + std::string("C\0", 2), "CCCC"},
      {0, "", "NEXT"},
      {0xFFFFFFFFu, "", "NEXT"},
      {9, "CStepPMGX", "NEXT"},  // the last byte is not zero
  };
  for (const Case& c : cases) {
    RecordBuilder r;
    r.U32(c.length).Raw(c.name).Raw("NEXT");
    OpenRecords(r);
    EXPECT_EQ(ReadStep(), nullptr) << c.length;
    char next[4] = {};
    EXPECT_EQ(stream_.Read(next, 4), 4u);
    EXPECT_EQ(std::string(next, 4), c.next) << c.length;
    stream_.Close();
  }
}

TEST_F(StepRecord, EveryAcceptedClassIsCreatedAndTheBaseKindsAreRefused) {
  for (const StepClass& row : StepClasses()) {
    const char* name = row.ClassName();
    auto step = Read(Empty(name));
    ASSERT_NE(step, nullptr) << name;
    EXPECT_STREQ(step->GetRuntimeClass()->m_lpszClassName, name);
    stream_.Close();
  }
  for (const char* name : {"CStep", "CStepFile", "CObject", "cstepPMG", "CStepPMG "}) {
    EXPECT_EQ(Read(Empty(name)), nullptr) << name;
    stream_.Close();
  }
}

TEST_F(StepRecord, FileStepReadsPlainPositionAndTrailingFields) {
  RecordBuilder r;
  r.ClassName("CStepFileCopy")
      .Head(1000, 3, 0x12345)
      .String("NAME", "SRC\\APP.EXE")
      .String("GROU", "Main")
      .String("ICNM", "My App")
      .Flag("ICON", 1)
      .Flag("RDON", 0)
      .Flag("SHRD", 0x100)
      .Ends()
      .Trailing(777, -5, 0x7FFFFFFF);
  r.Append(Empty("CStepPMG"));
  auto step = Read(r);
  ASSERT_NE(step, nullptr);
  auto* file = dynamic_cast<CStepFileCopy*>(step.get());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetDisk(), 3u);
  EXPECT_EQ(file->GetDataOffset(), 0x12345u);
  EXPECT_EQ(file->GetDataSize(), 777u);  // the trailing size replaces the leading one
  EXPECT_EQ(file->GetCreationTime(), -5);
  EXPECT_EQ(file->GetModificationTime(), 0x7FFFFFFF);
  EXPECT_EQ(file->GetName() + "|" + file->GetDirectory() + "|" + file->GetIconName(),
            "SRC\\APP.EXE|Main|My App");
  EXPECT_TRUE(file->GetIcon() && file->GetShared());
  EXPECT_FALSE(file->GetReadOnly() || file->GetHidden());
  // The next record follows right after the trailing fields.
  auto next = ReadStep();
  ASSERT_NE(next, nullptr);
  EXPECT_STREQ(next->GetRuntimeClass()->m_lpszClassName, "CStepPMG");
}

// Data size 0: no disk or offset, tags at body offset 4.
TEST_F(StepRecord, StringValuesEndAtTheFirstZeroAndTheLastTagWins) {
  RecordBuilder r;
  r.ClassName("CStepDirectory").Head(0);
  r.Raw(std::string("NAME\0", 5)).U32(6).Raw(std::string("ab\0cd\0", 6));  // L = 6
  r.Raw(std::string("QUES\0", 5)).U32(1).Raw(std::string("\0", 1));        // L = 1
  r.String("DFLT", "first").String("DFLT", "second");
  r.Flag("ICON", 1).String("ICNM", "ignored by a directory step");
  r.Ends();
  auto step = Read(r);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->GetName(), "ab");
  EXPECT_EQ(step->GetQuestion(), "");
  EXPECT_EQ(step->GetDefault(), "second");
  EXPECT_EQ(step->GetDirectory(), "<None>");
  EXPECT_FALSE(step->GetIcon());
  EXPECT_EQ(step->GetIconName(), "");
  EXPECT_EQ(step->GetDisk() + step->GetDataOffset(), 0u);
  EXPECT_TRUE(stream_.IsCompressed());  // as it was when the body began
}

TEST_F(StepRecord, MalformedTagsAndValuesRefuseTheRecord) {
  struct Case {
    const char* what;
    RecordBuilder body;
  };
  std::vector<Case> cases;
  cases.push_back({"lower-case ends", RecordBuilder().Raw(std::string("ends\0", 5))});
  cases.push_back(
      {"fifth byte not zero",
       RecordBuilder().Raw(std::string("NAMEX", 5)).U32(2).Raw(std::string("a\0", 2)).Ends()});
  cases.push_back({"ENDS with a letter", RecordBuilder().Raw("ENDSS")});
  cases.push_back({"unknown tag", RecordBuilder().Raw(std::string("XXXX\0", 5)).U32(0).Ends()});
  cases.push_back({"last value byte not zero",
                   RecordBuilder().Raw(std::string("NAME\0", 5)).U32(3).Raw("abc").Ends()});
  cases.push_back({"length zero", RecordBuilder().Raw(std::string("NAME\0", 5)).U32(0).Ends()});
  cases.push_back({"no ENDS", RecordBuilder().String("NAME", "x")});
  cases.push_back({"flag cut short", RecordBuilder().Raw(std::string("ICON\0", 5)).Raw("\1\0")});
  for (const Case& c : cases) {
    RecordBuilder r;
    r.ClassName("CStepPMG").Head(0).Append(c.body);
    EXPECT_EQ(Read(r), nullptr) << c.what;
    stream_.Close();
  }
  RecordBuilder cutTrailer;  // a file step's trailing fields cut short
  cutTrailer.ClassName("CStepFileDisplay").Head(0).Ends().U32(5).U32(1);
  EXPECT_EQ(Read(cutTrailer), nullptr);
  EXPECT_TRUE(ui_.Transcript().empty());
}

TEST_F(StepRecord, HugeStringLengthIsRefusedWithoutWaitingForTheBytes) {
  // A length of nearly 4 GiB with a few bytes behind it: refused at once.
  RecordBuilder huge;
  huge.ClassName("CStepPMG").Head(0).Raw(std::string("NAME\0", 5)).U32(0xFFFFFFF0u).Raw("abc");
  EXPECT_EQ(Read(huge), nullptr);
  stream_.Close();

  // The longest accepted length is read in pieces; one more is refused.
  const std::string longest(kMaxRecordStringLength - 1, 'q');
  RecordBuilder ok;
  ok.ClassName("CStepPMG").Head(0).String("NAME", longest).Ends();
  auto step = Read(ok);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->GetName(), longest);
  stream_.Close();

  RecordBuilder over;
  over.ClassName("CStepPMG").Head(0).String("NAME", longest + "q").Ends();
  EXPECT_EQ(Read(over), nullptr);
}

TEST_F(StepRecord, LeadingFieldsCutShortRefuseTheRecord) {
  RecordBuilder r;
  r.ClassName("CStepPMG");
  Bytes plain;
  PutU32(plain, 10);  // size != 0, then only the disk
  PutU32(plain, 2);
  WriteStream(kRecords, r.Stretches());
  Bytes file = FileBytes(kRecords);
  file.insert(file.end(), plain.begin(), plain.end());
  SetFile(kRecords, file);
  ASSERT_TRUE(stream_.Open(kRecords, CFile::modeRead));
  stream_.SetCompressed(true);
  EXPECT_EQ(ReadStep(), nullptr);
}

// A stream whose reads fail with a file error after a number of calls.
class FailingStream : public CCompressedFile {
 public:
  int failAfter = 1000;
  FileCause cause = FileCause::hardIO;
  std::uint32_t ReadBytes(void* buffer, std::uint32_t count) override {
    if (failAfter-- == 0) throw CFileException(cause, -1, "C:\\VELMOR.1");
    return CCompressedFile::ReadBytes(buffer, count);
  }
};

// A file error on the nth read of a record: reported and refused, except
// an error without a cause, which keeps what was read and accepts.
TEST_F(StepRecord, FileErrorsAreReportedThroughTheUi) {
  RecordBuilder r;
  r.ClassName("CStepRegistry")
      .Head(0)
      .String("REGE", "HKEY_CURRENT_USER\\A\\B")
      .String("DFLT", "d")
      .Ends();
  WriteStream(kRecords, r.Stretches());
  struct Case {
    int failAfter;  // reads: length, name, size, tag, L, value, tag, ...
    FileCause cause;
    bool accepted;
  };
  for (const Case& c : {Case{1, FileCause::badSeek, false}, Case{4, FileCause::hardIO, false},
                        Case{6, FileCause::none, true}}) {
    ui_.ClearTranscript();
    FailingStream failing;
    ASSERT_TRUE(failing.Open(kRecords, CFile::modeRead));
    failing.SetCompressed(true);
    failing.failAfter = c.failAfter;
    failing.cause = c.cause;
    std::unique_ptr<CStep> step(CreateStep(&failing));
    ASSERT_EQ(step != nullptr, c.accepted) << c.failAfter;
    if (c.accepted) {
      EXPECT_EQ(step->GetRegEntry(), "HKEY_CURRENT_USER\\A\\B");
      EXPECT_EQ(step->GetDefault(), "");  // never read
      EXPECT_TRUE(ui_.Transcript().empty());
    } else {
      ASSERT_EQ(ui_.Transcript().size(), 1u);
      EXPECT_EQ(ui_.Transcript()[0].text, GeneralFileErrorText(static_cast<int>(c.cause)));
      EXPECT_EQ(ui_.Transcript()[0].style, mb::ok | mb::iconExclamation);
    }
  }
}

// Media files of the first part in C:\, each an empty banner and then
// records, read one after another through a media set.
class StepRecordMedia : public StepTest {
 protected:
  StepRecordMedia() { media_.Stream().SetMedia(&media_); }

  void WriteMediaFile(std::uint32_t number, const RecordBuilder& records) {
    LayoutBytes banner;
    AppendPrefix(banner, "");
    std::vector<RecordBuilder::Stretch> stretches{{false, banner}};
    stretches.insert(stretches.end(), records.Stretches().begin(), records.Stretches().end());
    WriteStream(MediaFilePathIn("C:\\", false, number), stretches);
  }
  std::unique_ptr<CStep> ReadMediaStep() {
    return std::unique_ptr<CStep>(CreateStep(&media_.Stream()));
  }
  // Files asked for after the first.
  int NextOpened() const { return static_cast<int>(media_.Number()) - 1; }

  MediaSet media_{"C:\\"};
};

TEST_F(StepRecordMedia, RecordsContinueInTheNextMediaFileWhenOneEndsBetweenRecords) {
  WriteMediaFile(1, Empty("CStepPMG"));
  WriteMediaFile(2, Empty("CStepUserValue"));
  ASSERT_TRUE(media_.OpenNext());
  auto first = ReadMediaStep();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(NextOpened(), 0);
  auto second = ReadMediaStep();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(NextOpened(), 1);
  EXPECT_STREQ(second->GetRuntimeClass()->m_lpszClassName, "CStepUserValue");
  // No further media file: the end of the data.
  EXPECT_EQ(ReadMediaStep(), nullptr);
  EXPECT_EQ(NextOpened(), 2);
}

TEST_F(StepRecord, EndOfDataWithoutMediaSourceGivesNull) {
  OpenRecords(Empty("CStepPMG"));
  ASSERT_NE(ReadStep(), nullptr);
  EXPECT_EQ(ReadStep(), nullptr);
}

TEST_F(StepRecordMedia, MediaFileEndingInsideTheLengthDoesNotChangeMedia) {
  WriteMediaFile(1, Empty("CStepPMG").Raw("\2"));
  WriteMediaFile(2, Empty("CStepPMG"));
  ASSERT_TRUE(media_.OpenNext());
  ASSERT_NE(ReadMediaStep(), nullptr);
  EXPECT_EQ(ReadMediaStep(), nullptr);
  EXPECT_EQ(NextOpened(), 0);
}

}  // namespace
}  // namespace velmora::test
