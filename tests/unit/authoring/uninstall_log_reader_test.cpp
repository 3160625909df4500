// Reading whole uninstall logs: the independently made fixtures, every kind
// of damage with where it is reported, and the listing of each class's
// stored fields.
#include "authoring/uninstall_log_reader.h"

#include <map>

#include "authoring/step_properties.h"
#include "authoring/uninstall_log_listing.h"
#include "steps/step_classes.h"
#include "steps/step_directory.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/json_value.h"

namespace velmora::test {
namespace {

using namespace std::string_literals;

struct LogFixture {
  const char* name;
  std::string bytes;
  const char* expected;  // JSON
};

const LogFixture kLogFixtures[] = {
#include "log_fixtures.inc"
};

// The fixtures name fields after the class members.
const std::map<std::string, std::string> kFieldOfMember = {
    {"m_name", "NAME"},
    {"m_directoryRef", "GROU"},
    {"m_iconName", "ICNM"},
    {"m_icon", "ICON"},
    {"m_readOnly", "RDON"},
    {"m_hidden", "HIDD"},
    {"m_register", "REGI"},
    {"m_shared", "SHRD"},
    {"m_useRecommended", "USRE"},
    {"m_createdByInstall", "created_by_install"},
    {"m_targetDirectory", "target_directory"},
};

using FieldValues = std::map<std::string, std::string>;  // flags as "0" or "1"

FieldValues Listed(const CStep& step) {
  FieldValues values;
  for (const LogField& field : LogEntryFields(step))
    values[field.name] = field.type == PropertyType::text ? field.text : (field.flag ? "1" : "0");
  return values;
}

FieldValues Expected(const JsonValue& fields) {
  FieldValues values;
  for (std::size_t i = 0; i < fields.names.size(); ++i) {
    if (fields.names[i] == "_discarded") continue;  // read over, kept nowhere
    const auto known = kFieldOfMember.find(fields.names[i]);
    const std::string name = known != kFieldOfMember.end() ? known->second : fields.names[i];
    const JsonValue& value = fields.items[i];
    const bool text = value.type == JsonValue::Type::string;
    values[name] = text ? value.text : (value.number != 0 ? "1" : "0");
  }
  return values;
}

// The fixtures' names for the two kinds they hold.
std::string FixtureKind(LogErrorKind kind) {
  if (kind == LogErrorKind::newerVersion) return "generic";
  return kind == LogErrorKind::badStringLength ? "bad_string" : "other";
}

Bytes Cat(Bytes a, const std::string& raw) {
  a.insert(a.end(), raw.begin(), raw.end());
  return a;
}
Bytes Cat(Bytes a, const Bytes& b, const Bytes& c) {
  a.insert(a.end(), b.begin(), b.end());
  a.insert(a.end(), c.begin(), c.end());
  return a;
}

class UninstallLogRead : public StepTest {
 protected:
  bool Read(const Bytes& bytes) {
    SetFile(kLog, bytes);
    CFile file;
    EXPECT_TRUE(file.Open(kLog, CFile::modeRead));
    return ReadUninstallLog(file, listing_, error_);
  }
  bool Read(const std::string& bytes) { return Read(Bytes(bytes.begin(), bytes.end())); }

  UninstallLogListing listing_;
  UninstallLogError error_;
};

TEST_F(UninstallLogRead, IndependentFixturesReadAsTheirExpectationsSay) {
  for (const LogFixture& fixture : kLogFixtures) {
    SCOPED_TRACE(fixture.name);
    const std::optional<JsonValue> expected = ParseJson(fixture.expected);
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(fixture.bytes.size(), (*expected)["size"].number);
    if (const JsonValue& error = (*expected)["error"]; error.type != JsonValue::Type::null) {
      EXPECT_FALSE(Read(fixture.bytes));
      EXPECT_EQ(FixtureKind(error_.kind), error["kind"].text) << DescribeLogError(error_);
      continue;
    }
    ASSERT_TRUE(Read(fixture.bytes)) << DescribeLogError(error_);
    EXPECT_EQ(listing_.title, (*expected)["title"].text);
    EXPECT_EQ(listing_.count, (*expected)["count"].number);
    const JsonValue& entries = (*expected)["entries"];
    ASSERT_EQ(listing_.entries.size(), entries.items.size());
    for (std::size_t i = 0; i < entries.items.size(); ++i) {
      const CStep& step = *listing_.entries[i];
      EXPECT_EQ(step.GetRuntimeClass()->m_lpszClassName, entries.items[i]["class"].text) << i;
      EXPECT_EQ(step.GetVersion(), entries.items[i]["version"].number) << i;
      EXPECT_EQ(Listed(step), Expected(entries.items[i]["fields"])) << "entry " << i + 1;
    }
  }
}

struct DamageCase {
  const char* what;
  Bytes bytes;
  LogErrorKind kind;
  std::uint32_t entry;
  std::uint64_t offset;
};

TEST_F(UninstallLogRead, DamageIsTypedWithEntryAndOffset) {
  const Bytes head = LogBuilder().Str("T").I32(1).Get();  // 6 bytes
  const std::string group =
      "\x08"
      "CStepPMG\x07\x00\x04"
      "Apps"s;
  const Bytes valid = Cat(head, group);
  const std::string huge = "\xFF\xFF\xFF\xF0\xFF\xFF\xFF"s;  // a 32-bit length of 0xFFFFFFF0
  const DamageCase cases[] = {
      {"huge title length", Cat({}, huge + "short"), LogErrorKind::truncated, 0, 12},
      {"huge field length",
       Cat(head,
           "\x08"
           "CStepPMG\x07\x00"s +
               huge + "ab"),
       LogErrorKind::truncated, 1, 26},
      {"count beyond the data", Cat(LogBuilder().Str("T").I32(-1).Get(), group),
       LogErrorKind::truncated, 2, valid.size()},
      {"unknown class",
       Cat(head,
           "\x0A"
           "CStepBogus\x07\x00"s),
       LogErrorKind::unknownClass, 1, 6},
      {"base class",
       Cat(head,
           "\x09"
           "CStepFile\x07\x00"s),
       LogErrorKind::unknownClass, 1, 6},
      {"version 8",
       Cat(head,
           "\x08"
           "CStepPMG\x08\x00\x01x"s),
       LogErrorKind::newerVersion, 1, 15},
      {"reserved length in a field",
       Cat(head,
           "\x08"
           "CStepPMG\x07\x00\xFF\xFE\xFF"s),
       LogErrorKind::badStringLength, 1, 17},
      {"reserved title length", Cat({}, "\xFF\xFE\xFF"), LogErrorKind::badStringLength, 0, 0},
      {"trailing bytes", Cat(valid, "xyz"), LogErrorKind::trailingBytes, 1, valid.size()},
  };
  for (const DamageCase& c : cases) {
    EXPECT_FALSE(Read(c.bytes)) << c.what;
    EXPECT_EQ(error_.kind, c.kind) << c.what << ": " << DescribeLogError(error_);
    EXPECT_EQ(error_.entry, c.entry) << c.what;
    EXPECT_EQ(error_.offset, c.offset) << c.what;
  }
  EXPECT_TRUE(Read(valid)) << DescribeLogError(error_);
  Read(cases[2].bytes);
  EXPECT_EQ(listing_.entries.size(), 1u);  // the entry before the damage is kept
}

TEST_F(UninstallLogRead, EveryCutAndEveryBitFlipEndsCleanly) {
  for (const LogFixture& fixture : kLogFixtures) {
    const std::string& log = fixture.bytes;
    if (!Read(log)) continue;
    const std::size_t header = 1 + listing_.title.size() + 4;
    for (std::size_t cut = 0; cut < log.size(); ++cut) {
      ASSERT_FALSE(Read(log.substr(0, cut))) << fixture.name << " cut at " << cut;
      EXPECT_EQ(error_.kind, LogErrorKind::truncated) << cut;
      EXPECT_EQ(error_.offset, cut);
      EXPECT_EQ(error_.entry == 0, cut < header) << cut;
    }
    for (std::size_t at = 0; at < log.size(); ++at) {
      for (int bit = 0; bit < 8; ++bit) {
        std::string flipped = log;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
        if (Read(flipped)) EXPECT_EQ(listing_.entries.size(), listing_.count);
        else EXPECT_LE(error_.offset, log.size()) << DescribeLogError(error_);
      }
    }
  }
}

TEST_F(UninstallLogRead, EveryListedFieldIsPartOfTheArchiveForm) {
  // Each class with every property it keeps set: what the listing shows
  // after the round trip through a log is what was stored.
  std::vector<std::unique_ptr<CStep>> steps;
  const auto count = static_cast<std::int32_t>(StepClasses().size());
  Bytes bytes = LogBuilder().Str("Round trip").I32(count).Get();
  for (const StepClass& name : StepClasses()) {
    std::unique_ptr<CStep> step(FindStepClass(name.ClassName()));
    for (const StepProperty& property : StepProperties()) {
      SetText(*step, property, std::string(property.tag) + " of " + name.shortName);
      SetFlag(*step, property, true);
    }
    if (auto* directory = dynamic_cast<CStepDirectory*>(step.get()))
      directory->SetChosenPath("C:\\X");
    bytes = Cat(bytes, LogBuilder().Str(name.ClassName()).Get(), Store(*step));
    steps.push_back(std::move(step));
  }
  ASSERT_TRUE(Read(bytes)) << DescribeLogError(error_);
  ASSERT_EQ(listing_.entries.size(), steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i)
    EXPECT_EQ(Listed(*listing_.entries[i]), Listed(*steps[i])) << StepClasses()[i].ClassName();
}

}  // namespace
}  // namespace velmora::test
