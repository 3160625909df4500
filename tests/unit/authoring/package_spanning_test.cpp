// Packages spread over several media files: records and payloads continue
// in the next file only where the readers look for the next file, and no
// media file grows past the disk size.
#include "authoring/package_error.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

class PackageSpanning : public PackageTest {
 protected:
  void ExpectFilesWithin(const WrittenPart& part, std::uint32_t diskSize) {
    for (std::size_t i = 0; i < part.files.size(); ++i) {
      EXPECT_LE(part.sizes[i], diskSize) << part.files[i];
      EXPECT_EQ(MediaBytes(part.files[i]).size(), part.sizes[i]) << part.files[i];
    }
  }
};

TEST_F(PackageSpanning, RecordsContinueInTheNextMediaFile) {
  PackageDefinition package;
  for (int i = 0; i < 40; ++i) package.first.steps.push_back(IniStep("Entry" + std::to_string(i)));
  WriterOptions options;
  options.diskSize = 400;
  const WriteResult written = Write(package, options);
  ASSERT_GE(written.first.files.size(), 3u);
  ExpectFilesWithin(written.first, options.diskSize);
  EXPECT_EQ(written.first.recordDisks.back(), written.first.files.size());

  PackageContents contents = ReadBack();
  ASSERT_EQ(contents.first.steps.size(), 40u);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(contents.first.steps[static_cast<std::size_t>(i)]->GetIniEntry(),
              "Entry" + std::to_string(i));
}

TEST_F(PackageSpanning, MediaFileEndingExactlyBetweenTwoRecords) {
  PackageDefinition package;
  for (int i = 0; i < 6; ++i) package.first.steps.push_back(IniStep("E" + std::to_string(i)));
  // Where record 4 starts when nothing limits the size: with exactly that
  // disk size, media file 1 ends right after record 3.
  const std::uint32_t boundary = Write(package).first.recordOffsets[3];

  WriterOptions options;
  options.diskSize = boundary;
  const WriteResult written = Write(package, options);
  ASSERT_EQ(written.first.sizes[0], boundary);
  EXPECT_EQ(written.first.recordDisks[2], 1u);
  EXPECT_EQ(written.first.recordDisks[3], 2u);
  EXPECT_EQ(written.first.recordOffsets[3], std::string(kDefaultBanner).size() + 1);

  PackageContents contents = ReadBack();
  ASSERT_EQ(contents.first.steps.size(), 6u);
  EXPECT_EQ(contents.first.steps[3]->GetIniEntry(), "E3");
}

TEST_F(PackageSpanning, PayloadsContinueOnlyBetweenChunks) {
  PackageDefinition package;
  package.first.steps.push_back(FileStep({.name = "A.DAT", .payload = NoisyBytes(20000, 3)}));
  package.first.steps.push_back(
      FileStep({.name = "B.DAT", .payload = std::vector<std::uint8_t>(30000, 0x41)}));
  package.first.steps.push_back(FileStep({.name = "C.DAT", .payload = NoisyBytes(9000, 4)}));
  WriterOptions options;
  options.diskSize = 6000;
  options.chunkSize = 2048;
  const WriteResult written = Write(package, options);
  ExpectFilesWithin(written.first, options.diskSize);
  ASSERT_GE(written.first.files.size(), 5u);

  PackageContents contents = ReadBack();
  PackageReader reader(kPackageFolder);
  for (std::size_t s = 0; s < package.first.steps.size(); ++s) {
    const CStep& step = *contents.first.steps[s];
    std::vector<std::uint8_t> data;
    std::vector<ChunkInfo> chunks;
    ASSERT_TRUE(reader.ReadPayload(kFirstPart, step, data, &chunks))
        << reader.Failure().file << ": " << reader.Failure().message;
    EXPECT_EQ(data, package.first.steps[s].payload);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front().disk, step.GetDisk());
    EXPECT_EQ(chunks.back().disk, written.first.payloads[s].lastDisk);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
      EXPECT_EQ(chunks[c].sequence, c + 1);
      EXPECT_LE(chunks[c].length, options.chunkSize);
      if (c + 1 == chunks.size()) continue;
      // A chunk is cut short only to end a media file.
      if (chunks[c].length < options.chunkSize) {
        EXPECT_EQ(chunks[c + 1].disk, chunks[c].disk + 1);
      }
      EXPECT_LE(chunks[c + 1].disk - chunks[c].disk, 1u);
    }
  }
  // The noisy payload cannot fit in one media file, so it must cross.
  EXPECT_GT(written.first.payloads[0].lastDisk, written.first.payloads[0].disk);
}

TEST_F(PackageSpanning, SecondPartSpansItsOwnSeries) {
  PackageDefinition package;
  package.first.steps.push_back(IniStep("Main"));
  package.second.emplace();
  package.second->steps.push_back(FileStep({.name = "X.DAT", .payload = NoisyBytes(7000, 9)}));
  WriterOptions options;
  options.diskSize = 2500;
  const WriteResult written = Write(package, options);
  EXPECT_EQ(written.first.files.size(), 1u);
  ASSERT_GE(written.second->files.size(), 3u);
  EXPECT_EQ(written.second->files[2], "velmore.3");
  ExpectFilesWithin(*written.second, options.diskSize);

  PackageContents contents = ReadBack();
  std::vector<std::uint8_t> data;
  PackageReader reader(kPackageFolder);
  ASSERT_TRUE(reader.ReadPayload(kSecondPart, *contents.second->steps[0], data));
  EXPECT_EQ(data, package.second->steps[0].payload);
}

TEST_F(PackageSpanning, RefusesWhatNoMediaFileCanHold) {
  PackageDefinition package;
  std::string name;
  for (std::uint8_t byte : NoisyBytes(500)) name += static_cast<char>('a' + byte % 26);
  package.first.steps.push_back(GroupStep(name));
  WriterOptions options;
  options.diskSize = 300;
  try {
    Write(package, options);
    ADD_FAILURE() << "a 500-byte record fitted in 300 bytes";
  } catch (const PackageError& error) {
    EXPECT_NE(std::string(error.what()).find("step 1 (CStepPMG"), std::string::npos)
        << error.what();
  }

  options.diskSize = static_cast<std::uint32_t>(std::string(kDefaultBanner).size() + 1);
  EXPECT_THROW(Write(PackageDefinition{}, options), PackageError);

  PackageDefinition longTitle;
  for (std::uint8_t byte : NoisyBytes(400))
    longTitle.first.title += static_cast<char>('a' + byte % 26);
  options.diskSize = 300;
  EXPECT_THROW(Write(longTitle, options), PackageError);
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(PackageSpanning, MissingContinuationFileIsNamed) {
  PackageDefinition package;
  for (int i = 0; i < 20; ++i) package.first.steps.push_back(IniStep("Entry" + std::to_string(i)));
  WriterOptions options;
  options.diskSize = 400;
  ASSERT_GE(Write(package, options).first.files.size(), 2u);
  ASSERT_EQ(machine_.DeleteFile(MediaPath("velmor.2")), FileCause::none);

  PackageReader reader(kPackageFolder);
  PackageContents contents;
  EXPECT_FALSE(reader.ReadPackage(contents));
  EXPECT_EQ(reader.Failure().file, "velmor.2");
  EXPECT_EQ(reader.Failure().kind, ReadErrorKind::missingMedia);
}

}  // namespace
}  // namespace velmora::test
