// The media files the writer makes for fixed inputs, byte for byte.  Each
// case's files are summed up (count, total size, SHA-256 over every file's
// name, size and bytes in order) and compared with the recorded summary, so
// any change of the layout (where a record, a chunk or a media file boundary
// goes, where and how a chunk is cut, what the records say about their
// payloads) fails here.  The summaries change only with a deliberate change
// of the package format's layout.  Every case is written with the chunks
// encoded on the writing thread and on three threads: both must give the
// recorded files.
#include <string>

#include "unit/authoring/package_test_support.h"
#include "unit/support/sha256.h"

namespace velmora::test {
namespace {

std::vector<std::uint8_t> TextBytes(std::size_t count) {
  std::vector<std::uint8_t> text;
  for (int line = 0; text.size() < count; ++line) {
    const std::string words = "Line " + std::to_string(line) + " of the sample text, " +
                              std::string(static_cast<std::size_t>(line % 7), '=') + "\r\n";
    text.insert(text.end(), words.begin(), words.end());
  }
  text.resize(count);
  return text;
}

// Noise, then a long run: chunks of very different encoded sizes.
std::vector<std::uint8_t> MixedBytes() {
  std::vector<std::uint8_t> bytes(80000, 0x5A);
  const std::vector<std::uint8_t> noise = NoisyBytes(50000, 7);
  std::copy(noise.begin(), noise.end(), bytes.begin());
  return bytes;
}

// A file step for the Windows directory; the recorded summaries hold its
// dates.
PackageStep DatedFile(const std::string& name, std::vector<std::uint8_t> payload) {
  return FileStep(
      {.name = name, .payload = std::move(payload), .created = 838893600, .modified = 839000000});
}

PackageDefinition Mixed(bool secondPart) {
  PackageDefinition package;
  package.first.title = "Layout sample";
  package.first.checkDates = true;
  package.first.steps.push_back(ShownFileStep(
      {.kind = "CStepFileBackground", .name = "LOGO.BMP", .payload = NoisyBytes(3000, 2)}));
  package.first.steps.push_back(ShownFileStep(
      {.kind = "CStepFileDisplay", .name = "LICENSE.TXT", .payload = TextBytes(12000)}));
  package.first.steps.push_back(IniStep("Folder"));
  package.first.steps.push_back(DatedFile("MIXED.DAT", MixedBytes()));
  package.first.steps.push_back(DatedFile("EMPTY.DAT", {}));
  package.first.steps.push_back(DatedFile("TEXT.DAT", TextBytes(20000)));
  package.first.steps.push_back(DatedFile("ONE.DAT", {0x41}));
  if (secondPart) {
    package.second.emplace();
    package.second->title = "Extras";
    package.second->steps.push_back(DatedFile("EXTRA.DAT", NoisyBytes(9000, 9)));
    package.second->steps.push_back(IniStep("Extra"));
  }
  return package;
}

// Many records, spread over media files, before a few payloads.
PackageDefinition ManyRecords() {
  PackageDefinition package;
  package.first.title = "Records";
  for (int i = 0; i < 40; ++i) package.first.steps.push_back(IniStep("Entry" + std::to_string(i)));
  package.first.steps.push_back(DatedFile("A.DAT", NoisyBytes(2500, 3)));
  package.first.steps.push_back(DatedFile("B.DAT", TextBytes(4000)));
  return package;
}

struct LayoutCase {
  const char* name;
  PackageDefinition (*make)();
  std::uint32_t diskSize;
  std::uint32_t chunkSize;
  const char* first;   // summary of the first part's media files
  const char* second;  // and of the second's, "" for none
};

const LayoutCase kCases[] = {
    {"one media file", [] { return Mixed(false); }, 0, kDefaultChunkSize,
     "1 files, 86414 bytes, 43540ffac1e878aeaa447357fb6e4a2d5d905b8cbdf8c12c440d2d47a92ce8f4", ""},
    {"1500-byte media files", [] { return Mixed(false); }, 1500, kDefaultChunkSize,
     "60 files, 88567 bytes, d9c9674d112f14a882c779c3cf69e151ad50ab075ddc50a70eca43fb09201e50", ""},
    {"700-byte media files, 300-byte chunks", [] { return Mixed(false); }, 700, 300,
     "136 files, 94538 bytes, 80dd4bff8abf43d15b0e60c087c6d876dac71b340517493436d74ba65db2d815",
     ""},
    {"97-byte chunks", [] { return Mixed(false); }, 0, 97,
     "1 files, 96380 bytes, 8bb7353a1b032f03e1d9bca89c77689125d4f1cd4a17c94c25f6650fc03feaac", ""},
    {"1-byte chunks", ManyRecords, 3000, 1,
     "24 files, 70950 bytes, 9a50e966f62301d0411835ec3ef43dc8a7ef5417f000ad27bf384e214c646d2b", ""},
    {"chunks larger than the media files", [] { return Mixed(false); }, 20000, 1 << 20,
     "5 files, 86553 bytes, ec5ce7f767335d1be317a2d53c754b2f5f1e5f0be6658079e140dff65f444ed4", ""},
    {"two parts", [] { return Mixed(true); }, 0, 4096,
     "1 files, 86607 bytes, 0036910c4c9dfeb8b77c0263ad4c40ab787ea295547c97f8edb0d6341ef0a0ea",
     "1 files, 9404 bytes, 203bd80adcf82fccf33e4f854e47b6b4a3f2306890ddd3d9f5c56dda4c6da5d3"},
    {"two parts, 2500-byte media files", [] { return Mixed(true); }, 2500, 1000,
     "36 files, 88540 bytes, ac3a908b305a8056c8ea5f5b5813eff1a9c4a9469f8dbe2b5b92bc2100ac13fb",
     "4 files, 9555 bytes, e28b5ba24053489fcdc45a9d93bdc3ac7d825c6ecf28fc086ac974ade15a0053"},
    {"records over several media files", ManyRecords, 400, 512,
     "38 files, 12965 bytes, b409563cbf1e502ed37ee224e90d775f2532ef3993e254206dd0c65da7366bf7", ""},
};

class PackageLayoutGuard : public PackageTest {
 protected:
  std::string Summary(const WrittenPart& part) {
    std::vector<std::uint8_t> all;
    std::uint64_t total = 0;
    for (const std::string& name : part.files) {
      const Bytes bytes = MediaBytes(name);
      const std::string head = name + " " + std::to_string(bytes.size()) + "\n";
      all.insert(all.end(), head.begin(), head.end());
      all.insert(all.end(), bytes.begin(), bytes.end());
      total += bytes.size();
    }
    return std::to_string(part.files.size()) + " files, " + std::to_string(total) + " bytes, " +
           Sha256Hex(all);
  }
};

TEST_F(PackageLayoutGuard, MediaFilesAreTheRecordedOnes) {
  for (const LayoutCase& layout : kCases) {
    for (const unsigned jobs : {1u, 3u}) {
      WriterOptions options;
      options.diskSize = layout.diskSize;
      options.chunkSize = layout.chunkSize;
      options.jobs = jobs;
      const WriteResult written = Write(layout.make(), options);
      EXPECT_EQ(Summary(written.first), layout.first) << layout.name << ", " << jobs << " jobs";
      EXPECT_EQ(written.second ? Summary(*written.second) : "", layout.second)
          << layout.name << ", " << jobs << " jobs";
    }
  }
}

}  // namespace
}  // namespace velmora::test
