// The installation run on packages made by an independent implementation
// (tests/data/media): the media files it opens in order, the files it
// installs, and the damaged packages it refuses.
#include <gtest/gtest.h>

#include "shell/setup_window.h"
#include "steps/step_file.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/media_fixtures.h"
#include "unit/support/sha256.h"

namespace velmora::test {
namespace {

// A main window that notes every media file it opens.
class NotingWindow : public SetupWindow {
 public:
  NotingWindow() : SetupWindow("SETUP", "", kMediaSetup) {}
  bool OpenNextMediaFile() override {
    const bool opened = SetupWindow::OpenNextMediaFile();
    if (opened) this->opened.push_back(MediaFileNameFor(SecondPart(), CurrentDisk()));
    return opened;
  }
  std::vector<std::string> opened;
};

std::vector<std::pair<std::string, std::string>> MediaFilesOf(const MediaFixture& fixture) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& [name, bytes] : fixture.files) files.emplace_back(name, std::string(bytes.begin(), bytes.end()));
  return files;
}

std::vector<std::string> Texts(const JsonValue& array) {
  std::vector<std::string> texts;
  for (const JsonValue& item : array.items) texts.push_back(item.text);
  return texts;
}

// The installed contents of the done file step named `name`.
std::string InstalledFile(Machine& machine, const SetupWindow& window, const std::string& name) {
  for (const CStep* step : window.DoneSteps()) {
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
    NotingWindow window;
    window.OnTimer();
    EXPECT_EQ(window.Outcome(), RunOutcome::installed);
    EXPECT_EQ(window.opened, Texts(fixture.expected["files_opened"]));
    for (const JsonValue& part : fixture.expected["parts"].items) {
      for (const JsonValue& step : part["steps"].items) {
        if (step["class"].text != "CStepFileCopy") continue;
        const std::string installed = InstalledFile(isolated.Machine(), window, step["props"]["m_name"].text);
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
    NotingWindow window;
    window.OnTimer();
    EXPECT_EQ(window.Outcome(), RunOutcome::installFailed);
    EXPECT_EQ(window.opened, Texts(fixture.expected["files_opened"]));
    const std::string kind = fixture.expected["error"]["kind"].text;
    EXPECT_EQ(isolated.Shown("Data file and setup program versions do not match."), kind == "version");
    EXPECT_EQ(isolated.Shown("Please insert media disk 2"), kind == "media_missing");
    EXPECT_TRUE(isolated.Shown("Install Failed.  Press OK to abort."));
  }
}

}  // namespace
}  // namespace velmora::test
