// The replacement decision inside whole installations: the header's date
// and version flags, the replace question when both are off, and the
// version and date texts it shows.
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "authoring/package_writer.h"
#include "shell/setup_window.h"
#include "steps/replace_decision.h"
#include "steps/step_file_copy.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

constexpr const char* kTarget = "C:\\WINDOWS\\APP.DLL";
constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kBase = 800000000;  // 1995

std::string Image(std::optional<std::uint32_t> versionMs, const std::string& marker) {
  PeBuilder builder;
  if (versionMs) builder.Version(*versionMs, 0);
  auto bytes = builder.Build();
  bytes.insert(bytes.end(), marker.begin(), marker.end());  // tells the two files apart
  return std::string(bytes.begin(), bytes.end());
}

struct Case {
  const char* what;
  bool checkDates, checkVersions;
  std::optional<std::uint32_t> existingVersion, newVersion;
  std::int64_t existingDate, newCreated, newModified;
  bool replaced;
};

class Replacement : public ShellTest {
 protected:
  bool Install(const Case& c) {
    EXPECT_EQ(testing::PutFile(machine_, kTarget, Image(c.existingVersion, "old")),
              FileCause::none);
    FileTimes times;
    times.creation = times.lastWrite = c.existingDate;
    EXPECT_EQ(machine_.SetFileTimes(kTarget, times), FileCause::none);

    PackageDefinition package;
    package.first.title = "Demo";
    package.first.checkDates = c.checkDates;
    package.first.checkVersions = c.checkVersions;
    auto step = std::make_unique<CStepFileCopy>();
    step->SetName("APP.DLL");
    step->SetDirectory("<Windows>");
    step->SetCreationTime(static_cast<std::int32_t>(c.newCreated));
    step->SetModificationTime(static_cast<std::int32_t>(c.newModified));
    const std::string content = Image(c.newVersion, "new");
    package.first.steps.push_back({std::move(step), {content.begin(), content.end()}});
    WritePackage(package, kMedia);
    SetupWindow window("SETUP", "");
    window.OnTimer();
    EXPECT_EQ(window.Outcome(), RunOutcome::installed) << c.what;
    const std::string now = testing::GetFile(machine_, kTarget);
    return now.substr(now.size() - 3) == "new";
  }
};

TEST_F(Replacement, DecisionTable) {
  const std::int64_t d = kBase;
  const Case cases[] = {
      {"dates: newer replaces", true, false, {}, {}, d, d, d + 1, true},
      {"dates: equal to the second keeps", true, false, {}, {}, d, d, d, false},
      {"dates: older keeps", true, false, {}, {}, d, d - kDay, d - kDay, false},
      {"dates: later creation time dates the new file", true, false, {}, {}, d, d + 60, d - kDay,
       true},
      {"versions: higher replaces", false, true, 0x10002, 0x10003, d, d, d, true},
      {"versions: equal keeps", false, true, 0x10002, 0x10002, d, d + kDay, d + kDay, false},
      {"versions: lower keeps", false, true, 0x10003, 0x10002, d, d, d, false},
      {"versions: neither has one keeps", false, true, {}, {}, d, d + kDay, d + kDay, false},
      {"versions: only the new one has one", false, true, {}, 0x10000, d, d, d, true},
      {"versions: only the existing one has one", false, true, 0x10000, {}, d, d, d, false},
      {"both: later date, lower version keeps", true, true, 0x20000, 0x10000, d, d + kDay,
       d + kDay, false},
      {"both: same date, higher version replaces", true, true, 0x10000, 0x20000, d, d, d, true},
      {"both: same in both keeps", true, true, 0x10000, 0x10000, d, d, d, false},
      {"both: later date, same version replaces", true, true, 0x10000, 0x10000, d, d, d + 1,
       true},
      {"both: older date, higher version keeps", true, true, 0x10000, 0x20000, d, d - 1, d - 1,
       false},
  };
  for (const Case& c : cases) EXPECT_EQ(Install(c), c.replaced) << c.what;
}

TEST_F(Replacement, NeitherFlagAsksWithBothFilesDescribed) {
  const Case c{"ask", false, false, 0x00010002, 0x00010002, kBase, kBase, kBase, true};
  ui_.ClearTranscript();
  EXPECT_TRUE(Install(c));  // no rule: "Use new file"
  const TranscriptEntry* asked = nullptr;
  for (const TranscriptEntry& entry : ui_.Transcript())
    if (entry.kind == "replace") asked = &entry;
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->caption, kTarget);
  const std::string date = FormatFileDate(kBase);
  EXPECT_EQ(asked->text, "existing " + date + " 0.1.0.2.0.0.0.0, new " + kTarget + " " + date +
                             " 0.1.0.2.0.0.0.0");

  AnswerRule keep;
  keep.kind = "replace";
  keep.pattern = "*\\APP.DLL";
  keep.answer = "existing";
  ui_.AddRule(keep);
  EXPECT_FALSE(Install(c));
}

// The outcome of the whole run decides what becomes of a replaced file:
// success deletes the copy kept aside, failure puts it back.
TEST_F(Replacement, RunOutcomeDecidesAboutTheReplacedFile) {
  const Case c{"newer", true, false, {}, {}, kBase, kBase, kBase + kDay, true};
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
  auto step = std::make_unique<CStepFileCopy>();
  step->SetName("APP.DLL");
  step->SetDirectory("<Windows>");
  step->SetModificationTime(std::int32_t{2000000000});
  package.first.steps.push_back({std::move(step), {'n', 'e', 'w'}});
  auto broken = std::make_unique<CStepFileCopy>();
  broken->SetName("LATER.TXT");
  broken->SetDirectory("NoSuchDirectoryStep");
  package.first.steps.push_back({std::move(broken), {'x'}});
  WritePackage(package, kMedia);
  SetupWindow window("SETUP", "");
  window.OnTimer();
  EXPECT_EQ(window.Outcome(), RunOutcome::installFailed);
  EXPECT_EQ(testing::GetFile(machine_, kTarget), "before");
}

TEST_F(Replacement, AnswerFileRules) {
  std::istringstream answers(
      "replace \"C:\\WINDOWS\\APP.DLL\" = existing x1\n"
      "replace \"*\" = NEW\n");
  ui_.LoadAnswers(answers, "answers.txt");
  const Case c{"ask", false, false, {}, {}, kBase, kBase, kBase, true};
  EXPECT_FALSE(Install(c));
  EXPECT_TRUE(Install(c));
  EXPECT_TRUE(ui_.UnusedRules().empty());

  for (const char* bad : {"replace \"*\" = yes", "replace \"*\" = new existing", "replace * = new"}) {
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
