#include "services/file_error_report.h"

#include <gtest/gtest.h>

#include "backends/scripted/scripted_ui.h"
#include "datafile/compressed_file.h"

namespace velmora {
namespace {

class FileErrorReport : public ::testing::Test {
 protected:
  ScriptedUi ui_;
  ScopedUi scope_{ui_};
};

TEST_F(FileErrorReport, GeneralReportShowsTheCauseTextCaptionedWithTheAppTitle) {
  CCompressedFile stream;
  CFileException seek(FileCause::badSeek);
  stream.ReportFileError(&seek);
  CFileException share(FileCause::sharingViolation);
  stream.ReportFileError(&share);
  ASSERT_EQ(ui_.Transcript().size(), 2u);
  EXPECT_EQ(ui_.Transcript()[0].text, "Bad seek");
  EXPECT_EQ(ui_.Transcript()[0].caption, AppTitle());
  EXPECT_EQ(ui_.Transcript()[0].style, mb::ok | mb::iconExclamation);
  EXPECT_EQ(ui_.Transcript()[1].text, "share.exe not loaded or shared region was locked");
}

TEST_F(FileErrorReport, EveryKnownCauseHasAGeneralTextAndUnknownCausesAreEmpty) {
  for (int cause = 0; cause <= 14; ++cause)
    EXPECT_FALSE(GeneralFileErrorText(cause).empty()) << cause;
  EXPECT_EQ(GeneralFileErrorText(0), "No error occurred");
  EXPECT_EQ(GeneralFileErrorText(14), "End of file reached");
  EXPECT_EQ(GeneralFileErrorText(15), "");
  EXPECT_EQ(GeneralFileErrorText(-1), "");

  CCompressedFile stream;
  CFileException odd(15, -1, "x");
  stream.ReportFileError(&odd);
  ASSERT_EQ(ui_.Transcript().size(), 1u);
  EXPECT_EQ(ui_.Transcript()[0].text, "");  // shown, with an empty text
}

TEST_F(FileErrorReport, BitmapReportHasItsOwnCaptionAndOnlySixTexts) {
  const int withText[] = {3, 4, 5, 8, 10, 13};
  for (int cause = 0; cause <= 16; ++cause) {
    const bool expected =
        std::find(std::begin(withText), std::end(withText), cause) != std::end(withText);
    EXPECT_EQ(!BitmapFileErrorText(cause).empty(), expected) << cause;
  }
  CFileException hard(FileCause::hardIO);
  ReportBitmapFileError(&hard);
  CFileException seek(FileCause::badSeek);
  ReportBitmapFileError(&seek);
  ASSERT_EQ(ui_.Transcript().size(), 2u);
  EXPECT_EQ(ui_.Transcript()[0].caption, "File Error...");
  EXPECT_EQ(ui_.Transcript()[0].text,
            "Hardware error -\nbuy yourself a new computer!\nthe above should not be\nconstrued as "
            "advice");
  EXPECT_EQ(ui_.Transcript()[1].text, "");
  EXPECT_EQ(ui_.Transcript()[1].style, mb::ok | mb::iconExclamation);
}

}  // namespace
}  // namespace velmora
