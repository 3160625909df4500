// The file step's InstallData on its own: chunk sequences, media files
// ending between and inside chunks, memory-data steps, directory
// resolution and the temporary file.
#include <algorithm>

#include "steps/step_file_display.h"
#include "unit/steps/step_file_run_support.h"

namespace velmora::test {
namespace {

TEST_F(FileStepRun, ChunksInOrderMakeTheFile) {
  auto step = MakeStep("APP.TXT", 10);
  WriteChunks(1, {{1, "abcdef"}, {2, "ghij"}});
  ASSERT_TRUE(InstallData(*step));
  EXPECT_EQ(step->GetTargetDirectory(), "C:\\WINDOWS\\");
  ASSERT_FALSE(step->GetTempPath().empty());
  EXPECT_EQ(Read(step->GetTempPath()), "abcdefghij");
  ASSERT_EQ(step->Install(), InstallResult::done);
  EXPECT_EQ(Read("C:\\WINDOWS\\APP.TXT"), "abcdefghij");
  EXPECT_TRUE(step->GetTempPath().empty());
  EXPECT_TRUE(step->GetCreatedByInstall());
}

TEST_F(FileStepRun, ChunkSequenceErrorsFailWithoutMessage) {
  auto step = MakeStep("APP.TXT", 6);
  WriteChunks(1, {{1, "ab"}, {2, "cd"}, {4, "ef"}});
  EXPECT_FALSE(InstallData(*step));
  auto first = MakeStep("ONE.TXT", 2);
  WriteChunks(1, {{0, "ab"}});
  EXPECT_FALSE(InstallData(*first));
  EXPECT_TRUE(Messages().empty());
  // The temporary file of a failed step goes with the step.
  step.reset();
  first.reset();
  EXPECT_EQ(Names("C:\\WINDOWS"), std::vector<std::string>{"SYSTEM"});
}

TEST_F(FileStepRun, ZeroSizeReadsNoChunkAndPlacesAnEmptyFile) {
  auto step = MakeStep("EMPTY.TXT", 0);
  WriteChunks(1, {});
  ASSERT_TRUE(InstallData(*step));
  ASSERT_EQ(step->Install(), InstallResult::done);
  EXPECT_EQ(Read("C:\\WINDOWS\\EMPTY.TXT"), "");
}

TEST_F(FileStepRun, PayloadGoesOnInTheNextMediaFileAtAChunkBoundary) {
  auto step = MakeStep("SPLIT.TXT", 7);
  WriteChunks(1, {{1, "abc"}});
  WriteChunks(2, {{2, "defg"}});
  ASSERT_TRUE(InstallData(*step));
  EXPECT_EQ(nextOpened_, 1);
  ASSERT_EQ(step->Install(), InstallResult::done);
  EXPECT_EQ(Read("C:\\WINDOWS\\SPLIT.TXT"), "abcdefg");
}

TEST_F(FileStepRun, MediaFileEndingInsideAChunkFails) {
  auto step = MakeStep("CUT.TXT", 7);
  WriteChunks(1, {{1, "abc"}});
  // Media file 1 ends inside the second chunk.
  WriteMediaFile(1, {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 2, 0, 0, 0, 4, 0, 0, 0, 'd'});
  WriteChunks(2, {{2, "efg"}});
  EXPECT_FALSE(InstallData(*step));
  EXPECT_EQ(nextOpened_, 0);
}

TEST_F(FileStepRun, MissingNextMediaFileFails) {
  auto step = MakeStep("SPLIT.TXT", 7);
  WriteChunks(1, {{1, "abc"}});
  EXPECT_FALSE(InstallData(*step));
  EXPECT_EQ(nextOpened_, 1);
}

TEST_F(FileStepRun, ChunkRunningPastTheDataSizeFails) {
  auto text = std::make_unique<CStepFileDisplay>();
  text->SetName("README.TXT");
  text->SetDataSize(4);
  WriteChunks(1, {{1, "abc"}, {2, "defghijk"}});
  EXPECT_FALSE(InstallData(*text));
  auto file = MakeStep("LONG.TXT", 4);
  EXPECT_FALSE(InstallData(*file));
}

TEST_F(FileStepRun, DirectoryReferences) {
  auto system = MakeStep("SYS.DLL", 1, "<Windows system>");
  WriteChunks(1, {{1, "s"}});
  ASSERT_TRUE(InstallData(*system));
  EXPECT_EQ(system->GetTargetDirectory(), "C:\\WINDOWS\\SYSTEM\\");

  auto unknown = MakeStep("X.TXT", 1, "<windows>");  // placeholders are case-sensitive
  EXPECT_FALSE(InstallData(*unknown));
  auto none = MakeStep("X.TXT", 1, "");
  EXPECT_FALSE(InstallData(*none));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Ensure that the directory is defined before the file to be "
                                      "copied, in the Velmora program",
                                      "Don't know what to do with step loaded"}));
}

TEST_F(FileStepRun, UseRecommendedLocation) {
  // A copy in the system directory draws the file there.
  Put("C:\\WINDOWS\\SYSTEM\\COMMON.DLL", "old");
  auto found = MakeStep("COMMON.DLL", 1);
  found->SetUseRecommended(true);
  WriteChunks(1, {{1, "n"}});
  ASSERT_TRUE(InstallData(*found));
  EXPECT_EQ(found->GetTargetDirectory(), "C:\\WINDOWS\\SYSTEM\\");

  // No copy anywhere: a shared file goes to the system directory, another
  // stays where its directory reference says.
  auto shared = MakeStep("NEW.DLL", 1);
  shared->SetUseRecommended(true);
  shared->SetShared(true);
  ASSERT_TRUE(InstallData(*shared));
  EXPECT_EQ(shared->GetTargetDirectory(), "C:\\WINDOWS\\SYSTEM\\");
  auto plain = MakeStep("NEW.DLL", 1);
  plain->SetUseRecommended(true);
  ASSERT_TRUE(InstallData(*plain));
  EXPECT_EQ(plain->GetTargetDirectory(), "C:\\WINDOWS\\");
}

TEST_F(FileStepRun, TemporaryFileNotCreatedFailsQuietly) {
  auto step = MakeStep("APP.TXT", 2);
  WriteChunks(1, {{1, "ab"}});
  machine_.InjectFault("CreateTempFile", 1, FileCause::diskFull);
  EXPECT_FALSE(InstallData(*step));
  EXPECT_TRUE(step->GetTempPath().empty());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FileStepRun, TemporaryFileNotOpenedGoesWithTheStep) {
  auto step = MakeStep("APP.TXT", 2);
  WriteChunks(1, {{1, "ab"}});
  // The first opening is the media file's, the second the temporary file's.
  machine_.InjectFault("OpenFile", 2, FileCause::sharingViolation);
  EXPECT_FALSE(InstallData(*step));
  const std::string temp = step->GetTempPath();
  ASSERT_FALSE(temp.empty());
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine_.GetFileAttributes(temp, attributes), FileCause::none);
  step.reset();
  EXPECT_EQ(machine_.GetFileAttributes(temp, attributes), FileCause::fileNotFound);
}

TEST_F(FileStepRun, WriteFailureIsReported) {
  auto step = MakeStep("APP.TXT", 2);
  WriteChunks(1, {{1, "ab"}});
  machine_.SetFreeSpace('C', 0);
  EXPECT_FALSE(InstallData(*step));
  ASSERT_EQ(Messages().size(), 1u);
  machine_.SetFreeSpace('C', std::nullopt);
}

}  // namespace
}  // namespace velmora::test
