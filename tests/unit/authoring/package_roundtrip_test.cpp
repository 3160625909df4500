// Packages written by the package writer and read back through the
// runtime's own readers: every class, every property, header fields,
// payloads and the second part.
#include <algorithm>

#include "authoring/package_error.h"
#include "authoring/step_properties.h"
#include "steps/step_classes.h"
#include "steps/step_kind_name.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

// Gives every property the step keeps a value of its own; flags follow
// `flagPattern` bit by bit, so two runs with complementary patterns see
// every flag both set and clear.
void FillEveryProperty(CStep& step, unsigned flagPattern) {
  const std::string className = step.GetRuntimeClass()->m_lpszClassName;
  unsigned bit = 0;
  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    if (property.type == PropertyType::text)
      SetText(step, property, std::string(property.tag) + " of " + className + " \xE9\x80");
    else SetFlag(step, property, (flagPattern >> bit++ & 1u) != 0);
  }
}

void ExpectSameProperties(const CStep& expected, const CStep& actual) {
  const std::string className = expected.GetRuntimeClass()->m_lpszClassName;
  ASSERT_STREQ(actual.GetRuntimeClass()->m_lpszClassName, className.c_str());
  for (const StepProperty& property : StepProperties()) {
    ASSERT_EQ(Keeps(actual, property), Keeps(expected, property));
    if (!Keeps(expected, property)) continue;
    if (property.type == PropertyType::text)
      EXPECT_EQ(GetText(actual, property), GetText(expected, property))
          << className << " " << property.tag;
    else
      EXPECT_EQ(GetFlag(actual, property), GetFlag(expected, property))
          << className << " " << property.tag;
  }
}

class PackageRoundTrip : public PackageTest {};

TEST_F(PackageRoundTrip, EveryClassKeepsEveryPropertyAndPayload) {
  for (unsigned pattern : {0x15u, 0x2Au}) {
    PackageDefinition package;
    package.first.title = "Lantern \xA9 Notes";
    package.first.checkDates = pattern == 0x15u;
    package.first.checkVersions = pattern != 0x15u;
    std::uint32_t seed = 1;
    for (const StepClass& row : StepClasses()) {
      PackageStep step = Step(row.ClassName());
      FillEveryProperty(*step.step, pattern);
      if (auto* file = dynamic_cast<CStepFile*>(step.step.get())) {
        step.payload = NoisyBytes(1000 + 300 * seed, seed);
        file->SetCreationTime(-12345 * static_cast<std::int32_t>(seed));
        file->SetModificationTime(900000000 + static_cast<std::int32_t>(seed));
      }
      ++seed;
      package.first.steps.push_back(std::move(step));
    }
    const WriteResult written = Write(package);
    PackageContents contents = ReadBack();

    EXPECT_EQ(contents.first.header.version, kDataFileVersion);
    EXPECT_EQ(contents.first.header.title, package.first.title);
    EXPECT_EQ(contents.first.header.checkDates, package.first.checkDates);
    EXPECT_EQ(contents.first.header.checkVersions, package.first.checkVersions);
    EXPECT_FALSE(contents.first.header.twoParts);
    EXPECT_FALSE(contents.second.has_value());
    ASSERT_EQ(contents.first.steps.size(), package.first.steps.size());

    PackageReader reader(kPackageFolder);
    for (std::size_t i = 0; i < package.first.steps.size(); ++i) {
      const PackageStep& expected = package.first.steps[i];
      const CStep& actual = *contents.first.steps[i];
      ExpectSameProperties(*expected.step, actual);
      EXPECT_EQ(actual.GetDisk(), written.first.payloads[i].disk);
      EXPECT_EQ(actual.GetDataOffset(), written.first.payloads[i].offset);
      const auto* file = dynamic_cast<const CStepFile*>(&actual);
      if (file == nullptr) continue;
      const auto* source = dynamic_cast<const CStepFile*>(expected.step.get());
      EXPECT_EQ(file->GetCreationTime(), source->GetCreationTime());
      EXPECT_EQ(file->GetModificationTime(), source->GetModificationTime());
      EXPECT_EQ(file->GetDataSize(), expected.payload.size());
      std::vector<std::uint8_t> data;
      ASSERT_TRUE(reader.ReadPayload(kFirstPart, actual, data)) << reader.Failure().message;
      EXPECT_EQ(data, expected.payload) << StepKindName(actual);
    }
  }
}

TEST_F(PackageRoundTrip, EmptyValuesAndEmptyFilesSurvive) {
  PackageDefinition package;
  // A display step's question starts non-empty; an empty one must be
  // written to come back empty.
  package.first.steps.push_back(
      ShownFileStep({.kind = "CStepFileDisplay", .name = "EULA.TXT", .question = ""}));
  package.first.steps.push_back(FileStep({.name = "EMPTY.DAT"}));
  Write(package);
  PackageContents contents = ReadBack();
  ASSERT_EQ(contents.first.steps.size(), 2u);
  EXPECT_EQ(contents.first.steps[0]->GetQuestion(), "");
  const CStep& empty = *contents.first.steps[1];
  EXPECT_EQ(empty.GetDataSize(), 0u);
  EXPECT_EQ(empty.GetDisk(), 0u);
  EXPECT_EQ(empty.GetDataOffset(), 0u);
  std::vector<std::uint8_t> data{1, 2, 3};
  std::vector<ChunkInfo> chunks;
  PackageReader reader(kPackageFolder);
  EXPECT_TRUE(reader.ReadPayload(kFirstPart, empty, data, &chunks));
  EXPECT_TRUE(data.empty());
  EXPECT_TRUE(chunks.empty());
}

TEST_F(PackageRoundTrip, MediaFileOpensWithBannerAndZeroByte) {
  PackageDefinition package;
  package.first.title = "T";
  Write(package);
  const std::string banner = kDefaultBanner;
  const auto& bytes = MediaBytes("velmor.1");
  ASSERT_GT(bytes.size(), banner.size() + 1);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(banner.size())), banner);
  EXPECT_EQ(bytes[banner.size()], 0);

  WriterOptions bare;
  bare.banner = "";
  Write(package, bare);
  EXPECT_EQ(MediaBytes("velmor.1")[0], 0);
  EXPECT_EQ(ReadBack().first.header.title, "T");
}

TEST_F(PackageRoundTrip, SecondPartHasItsOwnHeaderAndSteps) {
  PackageDefinition package;
  package.first.title = "Main";
  package.first.checkDates = true;
  package.first.steps.push_back(IniStep("One"));
  package.second.emplace();
  package.second->title = "Extras";
  package.second->checkVersions = true;
  package.second->steps.push_back(FileStep({.name = "EXTRA.DAT", .payload = NoisyBytes(5000, 7)}));
  package.second->steps.push_back(IniStep("Two"));
  const WriteResult written = Write(package);
  ASSERT_TRUE(written.second.has_value());
  EXPECT_EQ(written.second->files, std::vector<std::string>{"velmore.1"});

  PackageContents contents = ReadBack();
  EXPECT_TRUE(contents.first.header.twoParts);
  ASSERT_TRUE(contents.second.has_value());
  const PartContents& second = *contents.second;
  EXPECT_EQ(second.part, kSecondPart);
  EXPECT_EQ(second.header.title, "Extras");
  EXPECT_FALSE(second.header.checkDates);
  EXPECT_TRUE(second.header.checkVersions);
  EXPECT_FALSE(second.header.twoParts);
  ASSERT_EQ(second.steps.size(), 2u);
  EXPECT_EQ(second.steps[1]->GetIniEntry(), "Two");

  PackageReader reader(kPackageFolder);
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(reader.ReadPayload(kSecondPart, *second.steps[0], data));
  EXPECT_EQ(data, package.second->steps[0].payload);
}

TEST_F(PackageRoundTrip, RewritingRemovesMediaFilesOfTheOldPackage) {
  PackageDefinition big;
  big.first.steps.push_back(FileStep({.name = "BIG.DAT", .payload = NoisyBytes(3000)}));
  big.second.emplace();
  WriterOptions small;
  small.diskSize = 1200;
  ASSERT_GE(Write(big, small).first.files.size(), 3u);

  PackageDefinition little;
  little.first.steps.push_back(IniStep("Only"));
  Write(little);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"velmor.1"});
  EXPECT_EQ(ReadBack().first.steps.size(), 1u);
}

TEST_F(PackageRoundTrip, RefusesWhatARecordCannotCarryAndWritesNothing) {
  PackageDefinition zero;
  zero.first.steps.push_back(GroupStep(std::string("Lan\0tern", 8)));
  EXPECT_THROW(Write(zero), PackageError);

  PackageDefinition payload;
  PackageStep registry = RegistryStep({.regEntry = "HKEY_CURRENT_USER\\A\\B"});
  registry.payload = {1, 2, 3};
  payload.first.steps.push_back(std::move(registry));
  EXPECT_THROW(Write(payload), PackageError);

  PackageDefinition longTitle;
  longTitle.first.title.assign(70000, 'x');
  EXPECT_THROW(Write(longTitle), PackageError);

  EXPECT_TRUE(FolderNames().empty());
}

}  // namespace
}  // namespace velmora::test
