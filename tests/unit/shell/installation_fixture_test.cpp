// The installation run on packages made by an independent implementation
// (tests/data/media): the media files it opens in order, the files it
// installs, and the damaged packages it refuses.
#include <gtest/gtest.h>

#include "shell/installation_run.h"
#include "shell/run_setup.h"
#include "shell/run_window.h"
#include "steps/step_file.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/media_fixtures.h"
#include "unit/support/sha256.h"

namespace velmora::test {
namespace {

// The names of the media files the run noted as opened, in order.
std::vector<std::string> OpenedMediaFiles(const ScriptedUi& ui) {
  std::vector<std::string> names;
  for (const TranscriptEntry& entry : ui.Transcript())
    if (entry.kind == TranscriptKind::note && entry.caption == "media")
      names.push_back(entry.text.substr(entry.text.find_last_of('\\') + 1));
  return names;
}

std::vector<std::pair<std::string, std::string>> MediaFilesOf(const MediaFixture& fixture) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& [name, bytes] : fixture.files)
    files.emplace_back(name, std::string(bytes.begin(), bytes.end()));
  return files;
}

std::vector<std::string> Texts(const JsonValue& array) {
  std::vector<std::string> texts;
  for (const JsonValue& item : array.items) texts.push_back(item.text);
  return texts;
}

// The installed contents of the done file step named `name`.
std::string InstalledFile(Machine& machine, const InstallationRun& run, const std::string& name) {
  for (const CStep* step : run.DoneSteps()) {
    const auto* file = dynamic_cast<const CStepFile*>(step);
    if (file != nullptr && file->GetName() == name)
      return testing::GetFile(machine, file->GetTargetDirectory() + name);
  }
  return "<not installed>";
}

class InstallationFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = LoadMediaFixtures();
    if (fixtures_.empty()) GTEST_SKIP() << "no fixtures at " << TestDataPath("media");
  }

  std::vector<MediaFixture> fixtures_;
};

// Every prompt takes its default, which accepts; every file copy lands with
// the payload the fixture gives.
TEST_F(InstallationFixture, ValidPackagesOpenTheirMediaFilesInOrderAndInstallTheirFiles) {
  for (const MediaFixture& fixture : fixtures_) {
    if (!fixture.Valid()) continue;
    SCOPED_TRACE(fixture.name);
    IsolatedMachine isolated(MediaFilesOf(fixture));
    RunWindow window(RunMode::install);
    InstallationRun run(window, kMediaSetup);
    EXPECT_EQ(run.Run(), RunOutcome::installed);
    EXPECT_EQ(OpenedMediaFiles(isolated.Ui()), Texts(fixture.expected["files_opened"]));
    for (const JsonValue& part : fixture.expected["parts"].items) {
      for (const JsonValue& step : part["steps"].items) {
        if (step["class"].text != "CStepFileCopy") continue;
        const std::string installed =
            InstalledFile(isolated.Machine(), run, step["props"]["m_name"].text);
        EXPECT_EQ(Sha256Hex({installed.begin(), installed.end()}), step["payload"]["sha256"].text)
            << step["props"]["m_name"].text;
      }
    }
  }
}

// Another version is told; a media file that is not there is asked for
// until the prompt is cancelled; a bad record or payload fails the run.
TEST_F(InstallationFixture, DamagedPackagesFailTheRunWithTheirMessage) {
  for (const MediaFixture& fixture : fixtures_) {
    if (fixture.Valid()) continue;
    SCOPED_TRACE(fixture.name);
    IsolatedMachine isolated(MediaFilesOf(fixture));
    RunRequest request;
    request.programPath = kMediaSetup;
    EXPECT_EQ(RunSetup(request), RunOutcome::installFailed);
    EXPECT_EQ(OpenedMediaFiles(isolated.Ui()), Texts(fixture.expected["files_opened"]));
    const std::string kind = fixture.expected["error"]["kind"].text;
    EXPECT_EQ(isolated.Shown("Data file and setup program versions do not match."),
              kind == "version");
    EXPECT_EQ(isolated.Shown("Please insert media disk 2"), kind == "media_missing");
    EXPECT_TRUE(isolated.Shown("Install Failed.  Press OK to abort."));
  }
}

}  // namespace
}  // namespace velmora::test
