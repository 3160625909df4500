// The package reader on damaged and hostile media files: it must fail
// with the media file and offset where reading stopped, and never crash or
// take memory for lengths the files do not back.
#include "backends/sim/sim_machine.h"
#include "services/file_error_report.h"
#include "unit/authoring/hostile_packages.h"
#include "unit/support/temp_root.h"

namespace velmora::test {
namespace {

class PackageReaderHostile : public PackageTest {
 protected:
  // A small package with a record of each family and a payload.
  PackageDefinition SmallPackage() {
    PackageDefinition package;
    package.first.title = "Hostile";
    package.first.steps.push_back(DirectoryStep({.name = "App", .question = "Where?"}));
    package.first.steps.push_back(FileStep({.name = "A.TXT", .payload = NoisyBytes(200)}));
    package.first.steps.push_back(GroupStep("Lantern"));
    return package;
  }

  // Reads the whole package and every payload; answers whether all of it
  // was read.  A failure must name a media file.
  bool ReadEverything() {
    PackageReader reader(kPackageFolder);
    PackageContents contents;
    if (!reader.ReadPackage(contents)) {
      EXPECT_FALSE(reader.Failure().file.empty()) << reader.Failure().message;
      EXPECT_FALSE(reader.Failure().message.empty());
      return false;
    }
    for (const auto& step : contents.first.steps) {
      std::vector<std::uint8_t> data;
      if (!reader.ReadPayload(kFirstPart, *step, data)) return false;
      if (data.size() != step->GetDataSize()) ADD_FAILURE() << "payload read short without failing";
    }
    return true;
  }
};

TEST_F(PackageReaderHostile, TruncatedFileFailsWhereItEnds) {
  Write(SmallPackage());
  const Bytes whole = MediaBytes("velmor.1");
  for (std::size_t length = 0; length < whole.size(); ++length) {
    SetMediaBytes("velmor.1", Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
    PackageReader reader(kPackageFolder);
    PackageContents contents;
    bool read = reader.ReadPackage(contents);
    if (read) {
      // Only the payload was cut off; reading it must then fail.
      std::vector<std::uint8_t> data;
      read = reader.ReadPayload(kFirstPart, *contents.first.steps[1], data);
    }
    ASSERT_FALSE(read) << "cut at " << length;
    const ReadFailure& failure = reader.Failure();
    if (failure.kind == ReadErrorKind::missingMedia && length > 0) {
      // The cut left nothing of the next record or chunk, so the readers
      // looked for the next media file.
      EXPECT_EQ(failure.file, "velmor.2");
      EXPECT_NE(failure.message.find("after the end of velmor.1 at offset " +
                                     std::to_string(length) + ")"),
                std::string::npos)
          << failure.message;
    } else {
      EXPECT_EQ(failure.file, "velmor.1") << "cut at " << length;
      EXPECT_LE(failure.offset, length);
    }
  }
}

TEST_F(PackageReaderHostile, BitFlipsNeverCrashTheReader) {
  Write(SmallPackage());
  const Bytes whole = MediaBytes("velmor.1");
  int failures = 0;
  for (std::size_t at = 0; at < whole.size(); ++at) {
    Bytes flipped = whole;
    flipped[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
    SetMediaBytes("velmor.1", flipped);
    if (!ReadEverything()) ++failures;
  }
  // Most flips land in a field that the readers check.
  EXPECT_GT(failures, static_cast<int>(whole.size() / 4));
}

TEST_F(PackageReaderHostile, HugeLengthsFailWithoutTakingTheirMemory) {
  for (const HugeLengthCase& c : HugeLengthCases()) {
    WriteRaw(MediaPath("velmor.1"), c.stretches);
    PackageReader reader(kPackageFolder);
    PackageContents contents;
    ASSERT_EQ(reader.ReadPackage(contents), c.recordsRead)
        << c.what << ": " << reader.Failure().message;
    if (c.recordsRead) {
      std::vector<std::uint8_t> data;
      EXPECT_FALSE(reader.ReadPayload(kFirstPart, *contents.first.steps[0], data)) << c.what;
    }
    EXPECT_NE(reader.Failure().message.find(c.message), std::string::npos)
        << c.what << ": " << reader.Failure().message;
  }
}

TEST_F(PackageReaderHostile, BadHeadersAndBannersAreNamed) {
  DataFileHeader header;
  for (std::uint32_t version : {3u, 5u}) {
    header.version = version;
    WriteRaw(MediaPath("velmor.1"), {{true, HeaderBytes(header)}});
    PackageReader reader(kPackageFolder);
    PackageContents contents;
    EXPECT_FALSE(reader.ReadPackage(contents));
    EXPECT_NE(reader.Failure().message.find("version " + std::to_string(version)),
              std::string::npos);
  }

  SetFile(MediaPath("velmor.1"), std::string(5000, 'x'));  // no end to the banner
  PackageReader reader(kPackageFolder);
  PackageContents contents;
  EXPECT_FALSE(reader.ReadPackage(contents));
  EXPECT_EQ(reader.Failure().file, "velmor.1");
  EXPECT_NE(reader.Failure().message.find("banner"), std::string::npos);

  machine_.DeleteFile(MediaPath("velmor.1"));
  EXPECT_FALSE(reader.ReadPackage(contents));
  EXPECT_EQ(reader.Failure().kind, ReadErrorKind::missingMedia);
  EXPECT_EQ(reader.Failure().file, "velmor.1");
}

}  // namespace
}  // namespace velmora::test

namespace velmora::test {
namespace {

// Read errors of the platform reach the runtime's file error report, which
// the reader collects instead of showing.
TEST(PackageReaderFileErrors, ReportsAreCollectedWithTheFailure) {
  testing::TempRoot root("authoring-reader");
  SimMachine sim(root.path());
  ScopedMachine scoped(sim);
  ASSERT_EQ(sim.CreateDirectory("C:\\PKG"), FileCause::none);
  PackageDefinition package;
  package.first.title = "Faulty";
  package.first.steps.push_back(IniStep("One"));
  WritePackage(package, "C:\\PKG");

  // The banner and its zero byte are read one byte at a time; the read
  // after them fills the stream's buffer.
  const auto bannerReads = static_cast<int>(std::string(kDefaultBanner).size() + 1);
  sim.InjectFault("ReadFile", bannerReads + 1, FileCause::hardIO);
  PackageReader reader("C:\\PKG");
  PackageContents contents;
  EXPECT_FALSE(reader.ReadPackage(contents));
  EXPECT_EQ(reader.Failure().file, "velmor.1");
  ASSERT_EQ(reader.Failure().reports.size(), 1u);
  EXPECT_NE(
      reader.Failure().reports[0].find(GeneralFileErrorText(static_cast<int>(FileCause::hardIO))),
      std::string::npos)
      << reader.Failure().reports[0];

  EXPECT_TRUE(reader.ReadPackage(contents)) << "the fault was for one call only";
  EXPECT_TRUE(reader.Failure().reports.empty());
}

}  // namespace
}  // namespace velmora::test
