// The package description beside a package: every media file is checked
// against it when it is opened, so a damaged one is refused before any of
// its bytes is read, wherever the damage is.
#include <random>

#include "authoring/package_description_writer.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

class PackageDigest : public PackageTest {
 protected:
  // Two parts over several media files each, and their description.
  void SetUp() override {
    PackageTest::SetUp();
    PackageDefinition package;
    package.first.title = "Lantern";
    package.first.steps.push_back(FileStep({.name = "A.DAT", .payload = NoisyBytes(20000, 3)}));
    package.first.steps.push_back(FileStep({.name = "B.DAT", .payload = NoisyBytes(7000, 4)}));
    package.second.emplace();
    package.second->title = "Lantern samples";
    package.second->steps.push_back(FileStep({.name = "C.DAT", .payload = NoisyBytes(9000, 5)}));
    WriterOptions options;
    options.diskSize = 6000;
    options.chunkSize = 2048;
    written_ = Write(package, options);
    WritePackageDescription(kPackageFolder, written_, {"2.1", "Lantern Software", ""});
    for (const WrittenPart* part : {&written_.first, &*written_.second})
      for (const std::string& name : part->files) files_.push_back(name);
    ASSERT_GE(files_.size(), 6u);
  }

  // Reads the headers, records and every payload, as list --verify does.
  bool ReadAll(PackageReader& reader) {
    PackageContents contents;
    if (!reader.ReadPackage(contents)) return false;
    std::vector<std::uint8_t> data;
    for (const PartContents* part : {&contents.first, &*contents.second})
      for (const auto& step : part->steps)
        if (!reader.ReadPayload(part->part, *step, data)) return false;
    return true;
  }

  // Expects reading to stop at `name` because it is damaged.
  void ExpectRefused(const std::string& name, const std::string& why) {
    PackageReader reader(kPackageFolder);
    EXPECT_FALSE(ReadAll(reader)) << why;
    EXPECT_EQ(reader.Failure().kind, ReadErrorKind::corrupt) << why;
    EXPECT_EQ(reader.Failure().file, name) << why;
    EXPECT_NE(reader.Failure().message.find("The file " + name + " is damaged"), std::string::npos)
        << why << ": " << reader.Failure().message;
  }

  WriteResult written_;
  std::vector<std::string> files_;
};

TEST_F(PackageDigest, EachDamagedMediaFileIsRefused) {
  PackageReader intact(kPackageFolder);
  ASSERT_TRUE(ReadAll(intact)) << intact.Failure().message;
  for (const std::string& name : files_) {
    const Bytes original = MediaBytes(name);
    Bytes damaged = original;
    for (std::size_t i = 0; i < 4; ++i) damaged[damaged.size() / 2 + i] ^= 0x5A;
    SetMediaBytes(name, damaged);
    ExpectRefused(name, "four bytes changed");
    damaged = original;
    damaged.push_back(0);
    SetMediaBytes(name, damaged);
    ExpectRefused(name, "one byte added");
    SetMediaBytes(name, original);
  }
}

// Every burst of 1..32 bits (its first and last bit changed, those between
// at random) anywhere in any media file: a CRC of degree 32 sees them all.
TEST_F(PackageDigest, EveryBurstOfUpTo32BitsIsCaught) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 300; ++round) {
    const std::string& name = files_[random() % files_.size()];
    const Bytes original = MediaBytes(name);
    Bytes damaged = original;
    const std::size_t length = 1 + random() % 32;
    const std::size_t start = random() % (original.size() * 8 - length + 1);
    for (std::size_t bit = 0; bit < length; ++bit) {
      const bool flip = bit == 0 || bit == length - 1 || (random() & 1) != 0;
      if (flip) damaged[(start + bit) / 8] ^= static_cast<std::uint8_t>(1u << ((start + bit) % 8));
    }
    SetMediaBytes(name, damaged);
    ExpectRefused(name, "burst of " + std::to_string(length) + " bits at bit " +
                            std::to_string(start) + " of " + name);
    SetMediaBytes(name, original);
  }
}

TEST_F(PackageDigest, DescriptionMissingDamagedOrIncomplete) {
  const std::string path = MediaPath(kDescriptionFileName);
  const Bytes description = FileBytes(path);

  Bytes damaged = description;
  damaged[damaged.size() / 2] ^= 0x20;
  SetFile(path, damaged);
  PackageReader refused(kPackageFolder);
  EXPECT_FALSE(ReadAll(refused));
  EXPECT_EQ(refused.Failure().file, kDescriptionFileName);
  EXPECT_NE(refused.Failure().message.find("The package description velmor.sum is damaged: line "),
            std::string::npos)
      << refused.Failure().message;

  // A description of the first part alone does not vouch for the second.
  WritePackageDescription(kPackageFolder, {written_.first, std::nullopt});
  PackageReader partial(kPackageFolder);
  EXPECT_FALSE(ReadAll(partial));
  EXPECT_EQ(partial.Failure().file, "velmore.1");
  EXPECT_NE(partial.Failure().message.find("does not list it"), std::string::npos);

  ASSERT_EQ(machine_.DeleteFile(path), FileCause::none);
  PackageReader unchecked(kPackageFolder);
  EXPECT_TRUE(ReadAll(unchecked)) << unchecked.Failure().message;
}

}  // namespace
}  // namespace velmora::test
