// The replacement decision: its table of dates, versions and header flags,
// and inside whole installations the replace question when both flags are
// off, with the version and date texts it shows.
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "authoring/package_writer.h"
#include "shell/run_setup.h"
#include "steps/replace_decision.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

constexpr const char* kTarget = "C:\\WINDOWS\\APP.DLL";
constexpr const char* kNewFile = "C:\\WINDOWS\\inst1.tmp";
constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kBase = 800000000;  // 1995

std::string Image(std::optional<std::uint32_t> versionMs, const std::string& marker) {
  PeBuilder builder;
  if (versionMs) builder.Version(*versionMs, 0);
  auto bytes = builder.Build();
  bytes.insert(bytes.end(), marker.begin(), marker.end());  // tells the two files apart
  return std::string(bytes.begin(), bytes.end());
}

// Both flags off asks the question, which no rule answers here: the run
// takes the unattended default.
struct Case {
  const char* what;
  bool checkDates, checkVersions;
  std::optional<std::uint32_t> existingVersion, newVersion;
  std::int64_t existingCreated, existingWritten, newCreated, newModified;
  bool replaced;
};

class Replacement : public ShellTest {
 protected:
  void PutExisting(const Case& c) {
    EXPECT_EQ(testing::PutFile(machine_, kTarget, Image(c.existingVersion, "old")),
              FileCause::none);
    FileTimes times;
    times.creation = c.existingCreated;
    times.lastWrite = c.existingWritten;
    EXPECT_EQ(machine_.SetFileTimes(kTarget, times), FileCause::none);
  }

  bool Decide(const Case& c) {
    PutExisting(c);
    EXPECT_EQ(testing::PutFile(machine_, kNewFile, Image(c.newVersion, "new")), FileCause::none);
    ReplaceInputs inputs;
    inputs.targetPath = kTarget;
    inputs.newFilePath = kNewFile;
    inputs.newCreation = c.newCreated;
    inputs.newModification = c.newModified;
    EXPECT_EQ(machine_.GetFileTimes(kTarget, inputs.existing), FileCause::none);
    inputs.checkDates = c.checkDates;
    inputs.checkVersions = c.checkVersions;
    return DecideReplace(inputs);
  }

  bool Install(const Case& c) {
    PutExisting(c);
    PackageDefinition package;
    package.first.title = "Demo";
    package.first.checkDates = c.checkDates;
    package.first.checkVersions = c.checkVersions;
    const std::string content = Image(c.newVersion, "new");
    package.first.steps.push_back(FileStep({.name = "APP.DLL",
                                            .payload = {content.begin(), content.end()},
                                            .created = static_cast<std::int32_t>(c.newCreated),
                                            .modified = static_cast<std::int32_t>(c.newModified)}));
    WritePackage(package, kMedia);
    EXPECT_EQ(RunInstallation(), RunOutcome::installed) << c.what;
    const std::string now = testing::GetFile(machine_, kTarget);
    return now.substr(now.size() - 3) == "new";
  }
};

TEST_F(Replacement, DecisionTable) {
  const std::int64_t d = kBase;
  const Case cases[] = {
      {"dates: newer replaces", true, false, {}, {}, d, d, d, d + 1, true},
      {"dates: equal to the second keeps", true, false, {}, {}, d, d, d, d, false},
      {"dates: older keeps", true, false, {}, {}, d, d, d - kDay, d - kDay, false},
      {"dates: the new file's later creation time does not date it",
       true,
       false,
       {},
       {},
       d,
       d,
       d + 60,
       d - kDay,
       false},
      {"dates: an older file copied in lately does not block a newer one",
       true,
       false,
       {},
       {},
       d + kDay,
       d - kDay,
       d,
       d,
       true},
      {"dates: without a stored last-write time the creation time dates the new file",
       true,
       false,
       {},
       {},
       d,
       d,
       d + 1,
       0,
       true},
      {"versions: higher replaces", false, true, 0x10002, 0x10003, d, d, d, d, true},
      {"versions: equal keeps", false, true, 0x10002, 0x10002, d, d, d + kDay, d + kDay, false},
      {"versions: lower keeps", false, true, 0x10003, 0x10002, d, d, d, d, false},
      {"versions: neither has one, a newer date replaces",
       false,
       true,
       {},
       {},
       d,
       d,
       d + kDay,
       d + kDay,
       true},
      {"versions: neither has one, the same date keeps", false, true, {}, {}, d, d, d, d, false},
      {"versions: neither has one, an older date keeps",
       false,
       true,
       {},
       {},
       d,
       d,
       d - 1,
       d - 1,
       false},
      {"versions: neither has one, the existing file's copy time does not count",
       false,
       true,
       {},
       {},
       d + kDay,
       d - kDay,
       d,
       d,
       true},
      {"versions: only the new one has one", false, true, {}, 0x10000, d, d, d, d, true},
      {"versions: only the existing one has one",
       false,
       true,
       0x10000,
       {},
       d,
       d,
       d + kDay,
       d + kDay,
       false},
      {"both: later date, lower version keeps", true, true, 0x20000, 0x10000, d, d, d + kDay,
       d + kDay, false},
      {"both: same date, higher version replaces", true, true, 0x10000, 0x20000, d, d, d, d, true},
      {"both: same in both keeps", true, true, 0x10000, 0x10000, d, d, d, d, false},
      {"both: neither has a version, later date replaces",
       true,
       true,
       {},
       {},
       d,
       d,
       d,
       d + 1,
       true},
      {"both: later date, same version replaces", true, true, 0x10000, 0x10000, d, d, d, d + 1,
       true},
      {"both: older date, higher version keeps", true, true, 0x10000, 0x20000, d, d, d - 1, d - 1,
       false},
      {"asked: an existing file of a higher version stays, though older", false, false, 0x20000,
       0x10000, d, d, d + kDay, d + kDay, false},
      {"asked: a higher version replaces, though older", false, false, 0x10000, 0x20000, d, d,
       d - kDay, d - kDay, true},
      {"asked: only the existing one has a version: it stays",
       false,
       false,
       0x10000,
       {},
       d,
       d,
       d + kDay,
       d + kDay,
       false},
      {"asked: the same version is replaced", false, false, 0x10000, 0x10000, d, d, d - kDay,
       d - kDay, true},
      {"asked: neither has a version, a later existing file stays",
       false,
       false,
       {},
       {},
       d,
       d + 1,
       d,
       d,
       false},
      {"asked: neither has a version, the same date is replaced",
       false,
       false,
       {},
       {},
       d,
       d,
       d,
       d,
       true},
  };
  for (const Case& c : cases) EXPECT_EQ(Decide(c), c.replaced) << c.what;
}

TEST_F(Replacement, NeitherFlagAsksWithBothFilesDescribed) {
  const Case c{"ask", false, false, 0x00010002, 0x00010002, kBase, kBase, kBase, kBase, true};
  ui_.ClearTranscript();
  EXPECT_TRUE(Install(c));  // no rule: "Use new file"
  const TranscriptEntry* asked = nullptr;
  for (const TranscriptEntry& entry : ui_.Transcript())
    if (entry.kind == TranscriptKind::replace) asked = &entry;
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->caption, kTarget);
  const std::string date = FormatFileDate(kBase);
  EXPECT_EQ(asked->text, "existing " + date + " 0.1.0.2.0.0.0.0, new " + kTarget + " " + date +
                             " 0.1.0.2.0.0.0.0");

  AnswerRule keep;
  keep.kind = TranscriptKind::replace;
  keep.pattern = "*\\APP.DLL";
  keep.answer = "existing";
  ui_.AddRule(keep);
  EXPECT_FALSE(Install(c));
}

// The outcome of the whole run decides what becomes of a replaced file:
// success deletes the copy kept aside, failure puts it back.
TEST_F(Replacement, RunOutcomeDecidesAboutTheReplacedFile) {
  const Case c{"newer", true, false, {}, {}, kBase, kBase, kBase, kBase + kDay, true};
  EXPECT_TRUE(Install(c));
  std::vector<DirEntry> entries;
  ASSERT_EQ(machine_.ListDirectory("C:\\WINDOWS", entries), FileCause::none);
  for (const DirEntry& entry : entries)
    EXPECT_TRUE(entry.name == "APP.DLL" || entry.name == "SYSTEM" || entry.name == "XDemo.exe" ||
                entry.name == "XDemo.VMU")
        << entry.name;

  EXPECT_EQ(testing::PutFile(machine_, kTarget, "before"), FileCause::none);
  PackageDefinition package;
  package.first.title = "Demo";
  package.first.checkDates = true;
  package.first.steps.push_back(
      FileStep({.name = "APP.DLL", .payload = {'n', 'e', 'w'}, .modified = 2000000000}));
  package.first.steps.push_back(
      FileStep({.name = "LATER.TXT", .directory = "NoSuchDirectoryStep", .payload = {'x'}}));
  WritePackage(package, kMedia);
  EXPECT_EQ(RunInstallation(), RunOutcome::installFailed);
  EXPECT_EQ(testing::GetFile(machine_, kTarget), "before");
}

TEST_F(Replacement, AnswerFileRules) {
  std::istringstream answers(
      "replace \"C:\\WINDOWS\\APP.DLL\" = existing x1\n"
      "replace \"*\" = NEW\n");
  ui_.LoadAnswers(answers, "answers.txt");
  const Case c{"ask", false, false, {}, {}, kBase, kBase, kBase, kBase, true};
  EXPECT_FALSE(Install(c));
  EXPECT_TRUE(Install(c));
  EXPECT_TRUE(ui_.UnusedRules().empty());

  for (const char* bad :
       {"replace \"*\" = yes", "replace \"*\" = new existing", "replace * = new"}) {
    std::istringstream in(bad);
    EXPECT_THROW(ui_.LoadAnswers(in, "bad.txt"), std::runtime_error) << bad;
  }
}

TEST(VersionText, EightFieldsOfOneByte) {
  EXPECT_EQ(FormatVersionText(0x0001000200030004ull), "0.1.0.2.0.3.0.4");
  EXPECT_EQ(FormatVersionText(0), "0.0.0.0.0.0.0.0");
  EXPECT_EQ(FormatVersionText(~0ull), "255.255.255.255.255.255.255.255");
  EXPECT_LE(FormatVersionText(~0ull).size(), 31u);
}

TEST(DateText, DayMonthYearHoursMinutes) {
  const std::string text = FormatFileDate(kBase);
  ASSERT_EQ(text.size(), 17u) << text;  // "dd-Mon-yyyy hh:mm"
  EXPECT_EQ(text[2], '-');
  EXPECT_EQ(text[6], '-');
  EXPECT_EQ(text.substr(7, 4), "1995");
  EXPECT_EQ(text[14], ':');
}

}  // namespace
}  // namespace velmora::test
