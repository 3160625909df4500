// The package reader on packages made by an independent implementation
// (tests/data/media): the listing (velmora list --json) and the payloads as
// extract --test reads them must match what the fixtures expect, and the
// damaged ones must be refused with the right kind of error.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "authoring/package_listing.h"
#include "authoring/package_reader.h"
#include "unit/support/media_fixtures.h"
#include "unit/support/media_folder.h"
#include "unit/support/sha256.h"

namespace velmora::test {
namespace {

// The fixtures name a step's fields as the class members are; the listing
// keys properties by record tag, the payload fields by their own names.
const std::map<std::string, std::string> kListingKey = {{"m_name", "NAME"},
                                                        {"m_prefix", "GROU"},
                                                        {"m_directoryRef", "GROU"},
                                                        {"m_question", "QUES"},
                                                        {"m_default", "DFLT"},
                                                        {"m_iconName", "ICNM"},
                                                        {"m_iniFile", "IFNM"},
                                                        {"m_iniSection", "IFSN"},
                                                        {"m_iniEntry", "IFEN"},
                                                        {"m_regEntry", "REGE"},
                                                        {"m_icon", "ICON"},
                                                        {"m_readOnly", "RDON"},
                                                        {"m_hidden", "HIDD"},
                                                        {"m_register", "REGI"},
                                                        {"m_shared", "SHRD"},
                                                        {"m_useRecommended", "USRE"},
                                                        {"m_dataSize", "size"},
                                                        {"m_creationTime", "created"},
                                                        {"m_modificationTime", "modified"}};

// A value as text, so that a flag given as 1 compares equal to true.
std::string Text(const JsonValue& value) {
  switch (value.type) {
    case JsonValue::Type::string: return '"' + value.text + '"';
    case JsonValue::Type::boolean: return value.number != 0 ? "true" : "false";
    case JsonValue::Type::number: return std::to_string(static_cast<long long>(value.number));
    default: return "<missing>";
  }
}

std::string Flag(const JsonValue& value) { return value.number != 0 ? "true" : "false"; }

ReadErrorKind ExpectedKind(const std::string& kind) {
  if (kind == "version") return ReadErrorKind::unsupported;
  if (kind == "media_missing") return ReadErrorKind::missingMedia;
  return ReadErrorKind::corrupt;
}

// Each fixture is read from the media folder of a machine of its own.
class MediaFixtureReader : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = LoadMediaFixtures();
    if (fixtures_.empty()) GTEST_SKIP() << "no fixtures at " << TestDataPath("media");
  }

  void CheckPart(PackageReader& reader, const PartContents& part, const JsonValue& expected) {
    std::ostringstream text;
    WriteListingJson(text, {{&part, reader.MediaFiles(part.part)}});
    const std::optional<JsonValue> listing = ParseJson(text.str());
    ASSERT_TRUE(listing) << text.str();
    const JsonValue& header = expected["header"];
    EXPECT_EQ(Text((*listing)["title"]), Text(header["title"]));
    EXPECT_EQ(Text((*listing)["version"]), Text(header["version"]));
    EXPECT_EQ(part.header.reserved, static_cast<std::uint32_t>(header["reserved"].number));
    EXPECT_EQ(Text((*listing)["check_dates"]), Flag(header["check_dates"]));
    EXPECT_EQ(Text((*listing)["check_versions"]), Flag(header["check_versions"]));
    EXPECT_EQ(Text((*listing)["two_parts"]), Flag(header["two_parts"]));
    const std::vector<JsonValue>& steps = expected["steps"].items;
    ASSERT_EQ((*listing)["steps"].items.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i));
      const JsonValue& listed = (*listing)["steps"].items[i];
      EXPECT_EQ(Text(listed["class"]), Text(steps[i]["class"]));
      EXPECT_EQ(Text(listed["disk"]), Text(steps[i]["disk"]));
      EXPECT_EQ(Text(listed["offset"]), Text(steps[i]["offset"]));
      const JsonValue& props = steps[i]["props"];
      for (std::size_t p = 0; p < props.names.size(); ++p) {
        const std::string& key = kListingKey.at(props.names[p]);
        const JsonValue& got = listed["properties"][key].type == JsonValue::Type::null
                                   ? listed[key]
                                   : listed["properties"][key];
        EXPECT_EQ(Text(got), Text(props.items[p])) << props.names[p];
      }
      CheckPayload(reader, part, i, steps[i]["payload"]);
    }
  }

  void CheckPayload(PackageReader& reader, const PartContents& part, std::size_t index,
                    const JsonValue& payload) {
    if (payload.type == JsonValue::Type::null) return;
    std::vector<std::uint8_t> data;
    std::vector<ChunkInfo> chunks;
    ASSERT_TRUE(reader.ReadPayload(part.part, *part.steps[index], data, &chunks))
        << reader.Failure().message;
    EXPECT_EQ(data.size(), static_cast<std::size_t>(payload["size"].number));
    EXPECT_EQ(Sha256Hex(data), payload["sha256"].text);
    const std::vector<JsonValue>& expected = payload["chunks"].items;
    ASSERT_EQ(chunks.size(), expected.size());
    for (std::size_t c = 0; c < chunks.size(); ++c) {
      EXPECT_EQ(chunks[c].sequence, expected[c]["seq"].number);
      EXPECT_EQ(chunks[c].length, expected[c]["length"].number);
      EXPECT_EQ(MediaFileName(part.part, chunks[c].disk), expected[c]["file"].text);
    }
  }

  std::vector<MediaFixture> fixtures_;
};

TEST_F(MediaFixtureReader, ValidPackagesListAndReadAsExpected) {
  for (const MediaFixture& fixture : fixtures_) {
    if (!fixture.Valid()) continue;
    SCOPED_TRACE(fixture.name);
    const MediaFolder media(fixture.files);
    PackageReader reader(kMediaFolder);
    PackageContents contents;
    ASSERT_TRUE(reader.ReadPackage(contents)) << reader.Failure().message;
    const std::vector<JsonValue>& parts = fixture.expected["parts"].items;
    ASSERT_EQ(parts.size(), contents.second ? 2u : 1u);
    CheckPart(reader, contents.first, parts[0]);
    if (contents.second) CheckPart(reader, *contents.second, parts[1]);
  }
}

// Every damaged package fails with its kind of error; a record or payload
// failure names the step the fixture names, a missing media file its name.
TEST_F(MediaFixtureReader, DamagedPackagesAreRefusedWithTheirKindOfError) {
  for (const MediaFixture& fixture : fixtures_) {
    if (fixture.Valid()) continue;
    SCOPED_TRACE(fixture.name);
    const JsonValue& error = fixture.expected["error"];
    const MediaFolder media(fixture.files);
    PackageReader reader(kMediaFolder);
    PackageContents contents;
    bool read = reader.ReadPackage(contents);
    std::size_t failedStep = contents.first.steps.size();
    for (std::size_t i = 0; read && i < contents.first.steps.size(); ++i) {
      std::vector<std::uint8_t> data;
      read = reader.ReadPayload(kFirstPart, *contents.first.steps[i], data);
      failedStep = i;
    }
    ASSERT_FALSE(read);
    const ReadFailure& failure = reader.Failure();
    EXPECT_EQ(failure.kind, ExpectedKind(error["kind"].text)) << failure.message;
    const std::string kind = error["kind"].text;
    const std::string step = "step " + std::to_string(static_cast<int>(error["step"].number) + 1);
    if (kind == "media_missing") {
      EXPECT_EQ(failure.file, error["detail"].text);
    } else if (kind == "payload") {
      EXPECT_EQ(failedStep, error["step"].number);
    } else if (kind == "record") {
      EXPECT_NE(failure.message.find(step), std::string::npos) << failure.message;
    }
  }
}

}  // namespace
}  // namespace velmora::test
