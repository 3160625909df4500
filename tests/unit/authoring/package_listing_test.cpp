// The listing of a package (text and JSON) and the text conversions it
// relies on.
#include "authoring/package_listing.h"

#include <cctype>
#include <cstring>
#include <sstream>

#include "authoring/ansi_text.h"
#include "authoring/json_text.h"
#include "unit/authoring/package_test_support.h"
#include "unit/support/json_value.h"

namespace velmora::test {
namespace {

TEST(AnsiText, EveryByteSurvivesTheTripThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::optional<std::string> back = Utf8ToAnsi(AnsiToUtf8(all));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
  EXPECT_EQ(AnsiToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");  // euro sign, e acute
}

TEST(AnsiText, RefusesWhatTheCodePageCannotHold) {
  std::string bad;
  EXPECT_FALSE(Utf8ToAnsi("\xE4\xB8\xAD", &bad).has_value());  // a CJK character
  EXPECT_EQ(bad, "U+4E2D");
  EXPECT_FALSE(Utf8ToAnsi("ab\xC3", &bad).has_value());  // cut short
  EXPECT_EQ(bad, "invalid UTF-8 at byte 2");
  EXPECT_FALSE(Utf8ToAnsi("\xC0\xAF").has_value());  // overlong
}

TEST(JsonText, EscapesWhatJsonForbids) {
  EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
  EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
  EXPECT_EQ(JsonString("bad \xE9 byte"), "\"bad \xEF\xBF\xBD byte\"");
  EXPECT_TRUE(ParseJson(JsonString(std::string("\0\x1f\x7f\xff", 4))).has_value());
  EXPECT_FALSE(ParseJson("\"a\tb\"").has_value());  // the checker itself refuses raw controls
  EXPECT_FALSE(ParseJson("{\"a\": 1,}").has_value());
}

TEST(UtcTime, CoversTheWholeRangeOfStoredTimes) {
  EXPECT_EQ(FormatUtcTime(0), "1970-01-01 00:00:00 UTC");
  EXPECT_EQ(FormatUtcTime(-1), "1969-12-31 23:59:59 UTC");
  EXPECT_EQ(FormatUtcTime(951782400), "2000-02-29 00:00:00 UTC");
  EXPECT_EQ(FormatUtcTime(2147483647), "2038-01-19 03:14:07 UTC");
  EXPECT_EQ(FormatUtcTime(-2147483647 - 1), "1901-12-13 20:45:52 UTC");
}

class PackageListing : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    PackageDefinition package;
    package.first.title = "Lantern \"Notes\" \xA9";
    package.first.checkDates = true;
    package.first.steps.push_back(RegistryStep(
        {.value = "C:\\LANTERN\r\n", .regEntry = "HKEY_CURRENT_USER\\Software\\L\\Dir"}));
    package.first.steps.push_back(
        FileStep({.name = "README.TXT", .payload = NoisyBytes(300), .modified = 838893600}));
    package.second.emplace();
    package.second->title = "Extras";
    Write(package);
    PackageReader reader(kPackageFolder);
    ASSERT_TRUE(reader.ReadPackage(contents_));
    parts_.push_back({&contents_.first, reader.MediaFiles(kFirstPart)});
    parts_.push_back({&*contents_.second, reader.MediaFiles(kSecondPart)});
  }
  PackageContents contents_;
  std::vector<ListedPart> parts_;
};

TEST_F(PackageListing, TextShowsHeaderStepsPropertiesAndPayload) {
  std::ostringstream out;
  WriteListingText(out, parts_);
  const std::string text = out.str();
  for (const char* expected : {
           "Title:          \"Lantern \"Notes\" \xC2\xA9\"",
           "Check dates:    yes",
           "Second part:    yes",
           "Step 1: CStepRegistry\n",
           "REGE  Reg entry                 \"HKEY_CURRENT_USER\\Software\\L\\Dir\"",
           "DFLT  Reg Value                 \"C:\\LANTERN\\r\\n\"",
           "Step 2: CStepFileCopy (File for installation)",
           "ICON  Icon                      no",
           "Payload: 300 bytes in media file 1 at offset ",
           "Modified: 1996-08-01 10:00:00 UTC",
           "Second part\n",
           "Title:          \"Extras\"",
       })
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n---\n" << text;
  EXPECT_EQ(text.find("QUES"), std::string::npos) << "a property no kind here keeps";
}

TEST_F(PackageListing, JsonIsOneValidDocumentWithTagKeyedProperties) {
  std::ostringstream out;
  WriteListingJson(out, parts_);
  const std::string json = out.str();
  EXPECT_TRUE(ParseJson(json).has_value()) << json;
  for (const char* expected : {
           "\"title\": \"Lantern \\\"Notes\\\" \xC2\xA9\"",
           "\"check_dates\": true",
           "\"two_parts\": true",
           "\"class\": \"CStepRegistry\"",
           "\"kind\": null",
           "\"REGE\": \"HKEY_CURRENT_USER\\\\Software\\\\L\\\\Dir\"",
           "\"DFLT\": \"C:\\\\LANTERN\\r\\n\"",
           "\"kind\": \"File for installation\"",
           "\"size\": 300",
           "\"modified\": 838893600",
           "\"USRE\": false",
           "\"second_part\": {",
           "\"title\": \"Extras\"",
           "\"steps\": []",
       })
    EXPECT_NE(json.find(expected), std::string::npos) << expected << "\n---\n" << json;

  std::ostringstream single;
  parts_.pop_back();
  WriteListingJson(single, parts_);
  EXPECT_TRUE(ParseJson(single.str()).has_value()) << single.str();
  EXPECT_NE(single.str().find("\"second_part\": null"), std::string::npos);
}

}  // namespace
}  // namespace velmora::test
