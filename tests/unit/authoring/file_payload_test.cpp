// Payloads read from files of the host while a package is written: the same
// media files as from bytes in memory, and a file that changes while it is
// read is reported by its name instead of being packed.
#include "authoring/file_payload.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "authoring/payload_source.h"
#include "unit/authoring/package_test_support.h"
#include "unit/support/temp_root.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Writes `bytes` to `path`, replacing what was there.
void WriteHostFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Reads the file a chunk at a time; `change` runs before the first read of
// a chunk after the first, as if someone changed the file while the package
// was written.
class ChangedWhileRead : public PayloadSource {
 public:
  ChangedWhileRead(const fs::path& path, std::function<void()> change)
      : file_(path, fs::file_size(path)), change_(std::move(change)) {}

  std::uint64_t Size() const override { return file_.Size(); }
  std::string Name() const override { return file_.Name(); }
  void Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const override {
    if (offset != 0 && !changed_) {
      changed_ = true;
      change_();
    }
    file_.Read(offset, length, buffer);
  }

 private:
  FilePayload file_;
  std::function<void()> change_;
  mutable bool changed_ = false;
};

class FilePayloadTest : public PackageTest {
 protected:
  // A host file with `bytes`, and a file payload reading it.
  std::shared_ptr<const PayloadSource> HostFile(const std::string& name,
                                                const std::vector<std::uint8_t>& bytes) {
    const fs::path path = folder_ / name;
    WriteHostFile(path, bytes);
    return std::make_shared<FilePayload>(path, fs::file_size(path));
  }

  // Every media file of the part, by name.
  std::vector<std::pair<std::string, Bytes>> MediaFiles(const WrittenPart& part) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (const std::string& name : part.files) files.emplace_back(name, MediaBytes(name));
    return files;
  }

  // A step of each kind that carries file contents, and one without.
  static PackageDefinition Package(const std::vector<std::vector<std::uint8_t>>& contents) {
    PackageDefinition package;
    package.first.title = "From files";
    package.first.steps.push_back(
        ShownFileStep({.kind = "CStepFileBackground", .name = "LOGO.BMP", .payload = contents[0]}));
    package.first.steps.push_back(
        ShownFileStep({.kind = "CStepFileDisplay", .name = "LICENSE.TXT", .payload = contents[1]}));
    package.first.steps.push_back(IniStep("Folder"));
    package.first.steps.push_back(FileStep({.name = "BIG.DAT", .payload = contents[2]}));
    package.first.steps.push_back(FileStep({.name = "EMPTY.DAT", .payload = contents[3]}));
    package.second.emplace();
    package.second->title = "Extras";
    package.second->steps.push_back(FileStep({.name = "EXTRA.DAT", .payload = contents[4]}));
    return package;
  }

  velmora::testing::TempRoot root_{"payload"};
  const fs::path& folder_ = root_.path();
};

std::vector<std::vector<std::uint8_t>> SampleContents() {
  std::vector<std::uint8_t> text;
  for (int line = 0; line < 400; ++line) {
    const std::string words = "Line " + std::to_string(line) + " of the licence text.\r\n";
    text.insert(text.end(), words.begin(), words.end());
  }
  // Noise, then a compressible stretch.
  std::vector<std::uint8_t> big(80000, 0x5A);
  const std::vector<std::uint8_t> noise = NoisyBytes(50000, 7);
  std::copy(noise.begin(), noise.end(), big.begin());
  return {NoisyBytes(3000, 2), text, big, {}, NoisyBytes(9000, 9)};
}

TEST_F(FilePayloadTest, FilesGiveTheSameMediaFilesAsBytesInMemory) {
  const std::vector<std::vector<std::uint8_t>> contents = SampleContents();
  WriterOptions options;
  options.diskSize = 12000;  // chunks are cut to fit, and payloads span media files
  options.chunkSize = 4096;

  const WriteResult fromMemory = Write(Package(contents), options);
  const auto firstFromMemory = MediaFiles(fromMemory.first);
  const auto secondFromMemory = MediaFiles(*fromMemory.second);
  ASSERT_GE(firstFromMemory.size(), 5u);

  PackageDefinition fromFiles = Package(std::vector<std::vector<std::uint8_t>>(contents.size()));
  const char* names[] = {"LOGO.BMP", "LICENSE.TXT", nullptr, "BIG.DAT", "EMPTY.DAT"};
  for (std::size_t i = 0, c = 0; i < fromFiles.first.steps.size(); ++i)
    if (names[i] != nullptr) fromFiles.first.steps[i].source = HostFile(names[i], contents[c++]);
  fromFiles.second->steps[0].source = HostFile("EXTRA.DAT", contents[4]);
  for (const auto& [name, bytes] : firstFromMemory) machine_.DeleteFile(MediaPath(name));
  for (const auto& [name, bytes] : secondFromMemory) machine_.DeleteFile(MediaPath(name));

  const WriteResult written = Write(fromFiles, options);
  EXPECT_EQ(MediaFiles(written.first), firstFromMemory);
  EXPECT_EQ(MediaFiles(*written.second), secondFromMemory);
  ASSERT_EQ(written.first.payloads.size(), fromMemory.first.payloads.size());
  for (std::size_t i = 0; i < written.first.payloads.size(); ++i) {
    EXPECT_EQ(written.first.payloads[i].size, fromMemory.first.payloads[i].size) << i;
    EXPECT_EQ(written.first.payloads[i].chunks, fromMemory.first.payloads[i].chunks) << i;
  }

  // And the runtime reads the file's bytes back.
  PackageContents back = ReadBack();
  PackageReader reader(kPackageFolder);
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(
      reader.ReadPayload(kFirstPart, dynamic_cast<const CStepFile&>(*back.first.steps[3]), data));
  EXPECT_EQ(data, contents[2]);
}

// Writes a package of one file step read through `source`, expecting a
// PayloadReadError that names the file.
void ExpectReadErrorNaming(std::shared_ptr<const PayloadSource> source, const std::string& why) {
  PackageDefinition package;
  package.first.steps.push_back(FileStep({.name = "DATA.BIN"}));
  package.first.steps[0].source = source;
  WriterOptions options;
  options.chunkSize = 1000;
  try {
    WritePackage(package, kPackageFolder, options);
    ADD_FAILURE() << "packed a file that " << why;
  } catch (const PayloadReadError& error) {
    EXPECT_NE(std::string(error.what()).find(source->Name()), std::string::npos) << error.what();
  }
}

TEST_F(FilePayloadTest, FileChangedWhileItIsReadIsAnError) {
  const fs::path path = folder_ / "DATA.BIN";
  WriteHostFile(path, NoisyBytes(5000, 4));
  ExpectReadErrorNaming(
      std::make_shared<ChangedWhileRead>(path, [&] { fs::resize_file(path, 2500); }), "shrank");

  WriteHostFile(path, NoisyBytes(5000, 4));
  ExpectReadErrorNaming(
      std::make_shared<ChangedWhileRead>(path, [&] { fs::resize_file(path, 7000); }), "grew");

  // Same size, other bytes: only its modification time tells.  It is moved
  // on explicitly, as the file system's clock may not have ticked yet.
  WriteHostFile(path, NoisyBytes(5000, 4));
  ExpectReadErrorNaming(std::make_shared<ChangedWhileRead>(
                            path,
                            [&] {
                              const auto before = fs::last_write_time(path);
                              WriteHostFile(path, std::vector<std::uint8_t>(5000, 0));
                              fs::last_write_time(path, before + std::chrono::seconds(2));
                            }),
                        "was rewritten");

  WriteHostFile(path, NoisyBytes(5000, 4));
  ExpectReadErrorNaming(std::make_shared<ChangedWhileRead>(path, [&] { fs::remove(path); }),
                        "was removed");
}

TEST_F(FilePayloadTest, FileChangedBeforePlanningIsAnError) {
  const std::shared_ptr<const PayloadSource> source = HostFile("DATA.BIN", NoisyBytes(3000, 5));
  fs::resize_file(folder_ / "DATA.BIN", 100);
  ExpectReadErrorNaming(source, "shrank after it was looked at");
  fs::remove(folder_ / "DATA.BIN");
  ExpectReadErrorNaming(source, "is missing");
}

TEST_F(FilePayloadTest, ReadsExactlyTheBytesAskedFor) {
  const std::vector<std::uint8_t> bytes = NoisyBytes(1000, 6);
  const std::shared_ptr<const PayloadSource> source = HostFile("PART.BIN", bytes);
  EXPECT_EQ(source->Size(), 1000u);
  std::vector<std::uint8_t> buffer(300, 0xEE);
  source->Read(700, 300, buffer.data());
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), bytes.begin() + 700));
  EXPECT_THROW(source->Read(900, 200, buffer.data()), PayloadReadError);

  const MemoryPayload memory(bytes.data(), bytes.size());
  memory.Read(1, 3, buffer.data());
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 3, bytes.begin() + 1));
  EXPECT_THROW(memory.Read(999, 2, buffer.data()), PayloadReadError);
}

TEST_F(FilePayloadTest, ContentsOnlyOnceAndOnlyForFileSteps) {
  const std::shared_ptr<const PayloadSource> source = HostFile("A.BIN", NoisyBytes(10, 1));
  PackageDefinition twice;
  twice.first.steps.push_back(FileStep({.name = "A.BIN", .payload = NoisyBytes(10, 1)}));
  twice.first.steps[0].source = source;
  EXPECT_THROW(Write(twice), PackageError);

  PackageDefinition notAFile;
  notAFile.first.steps.push_back(IniStep("Entry"));
  notAFile.first.steps[0].source = source;
  try {
    Write(notAFile);
    ADD_FAILURE() << "an ini value step carried file contents";
  } catch (const PackageError& error) {
    EXPECT_NE(std::string(error.what()).find("cannot carry file contents"), std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace velmora::test
