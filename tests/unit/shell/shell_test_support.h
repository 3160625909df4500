// Shared setup of the run tests: a simulated machine whose current
// directory is the installation media (C:\MEDIA, with a Setup.exe), a
// scripted Ui that also keeps every progress value, and builders for media
// files written byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "authoring/package_writer.h"
#include "backends/scripted/scripted_ui.h"
#include "backends/sim/sim_machine.h"
#include "datafile/compressed_file.h"
#include "steps/step_factory.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora::test {

// The running setup program of the run tests: the media's Setup.exe.
inline constexpr const char* kMediaSetup = "C:\\MEDIA\\Setup.exe";

// Keeps every value the progress bar is given, besides the transcript.
class RecordingUi : public ScriptedUi {
 public:
  void UpdateProgress(const std::string& fileText, int percent) override {
    percents.push_back(percent);
    ScriptedUi::UpdateProgress(fileText, percent);
  }
  void ShowProgress() override {
    ++shown;
    ScriptedUi::ShowProgress();
  }
  void HideProgress() override {
    ++hidden;
    ScriptedUi::HideProgress();
  }
  std::vector<int> percents;
  int shown = 0;
  int hidden = 0;
};

// The steps of a package part, and an empty step of a class.
template <typename... S>
std::vector<PackageStep> Steps(S&&... steps) {
  std::vector<PackageStep> list;
  (list.push_back(std::forward<S>(steps)), ...);
  return list;
}

inline PackageStep Step(const std::string& className) {
  return PackageStep{std::unique_ptr<CStep>(FindStepClass(className)), {}};
}

// An ini value step that writes entry=value into [Run] of RUN.INI.
inline PackageStep IniValue(const std::string& entry, const std::string& value) {
  PackageStep step = Step("CStepIniValue");
  step.step->SetIniFile("RUN.INI");
  step.step->SetIniSection("Run");
  step.step->SetIniEntry(entry);
  step.step->SetDefault(value);
  return step;
}

inline AnswerRule MessageRule(const std::string& pattern, const std::string& answer, int uses = 0) {
  AnswerRule rule;
  rule.kind = "message";
  rule.pattern = pattern;
  rule.answer = answer;
  rule.uses = uses;
  return rule;
}

inline AnswerRule DirectoryRule(const std::string& pattern, std::vector<DirectoryAction> actions,
                                int uses = 0, const std::string& target = "text") {
  AnswerRule rule;
  rule.kind = "directory";
  rule.pattern = pattern;
  rule.actions = std::move(actions);
  rule.uses = uses;
  rule.target = target;
  return rule;
}

// A simulated machine of its own, made current with a scripted Ui, for runs
// that each need a fresh machine: its current directory C:\MEDIA holds a
// Setup.exe and the given media files (name, bytes).
class IsolatedMachine {
 public:
  explicit IsolatedMachine(const std::vector<std::pair<std::string, std::string>>& mediaFiles) {
    EXPECT_EQ(machine_.CreateDirectory("C:\\MEDIA"), FileCause::none);
    EXPECT_EQ(machine_.SetCurrentDirectory("C:\\MEDIA"), FileCause::none);
    EXPECT_EQ(testing::PutFile(machine_, "C:\\MEDIA\\Setup.exe", "MZ setup"), FileCause::none);
    for (const auto& [name, bytes] : mediaFiles)
      EXPECT_EQ(testing::PutFile(machine_, "C:\\MEDIA\\" + name, bytes), FileCause::none);
  }

  SimMachine& Machine() { return machine_; }
  const ScriptedUi& Ui() const { return ui_; }
  ScriptedUi& Ui() { return ui_; }
  const std::filesystem::path& Root() const { return root_.path(); }

  bool Shown(const std::string& message) const {
    for (const TranscriptEntry& entry : ui_.Transcript())
      if (entry.kind == "message" && entry.text == message) return true;
    return false;
  }

 private:
  testing::TempRoot root_{"run"};
  SimMachine machine_{root_.path()};
  ScopedMachine machineScope_{machine_};
  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
};

class ShellTest : public ::testing::Test {
 protected:
  static constexpr const char* kMedia = "C:\\MEDIA";
  static constexpr const char* kPrefix = "Velmora test media\r\n\x1a";

  ShellTest() {
    EXPECT_EQ(machine_.CreateDirectory(kMedia), FileCause::none);
    EXPECT_EQ(machine_.SetCurrentDirectory(kMedia), FileCause::none);
    EXPECT_EQ(testing::PutFile(machine_, "C:\\MEDIA\\Setup.exe", "MZ setup program"),
              FileCause::none);
  }

  // A media file in C:\MEDIA: the plain prefix and its zero byte, then the
  // stretches, each written with compression on or off as it says.
  void WriteMedia(const std::string& name, const std::vector<RecordBuilder::Stretch>& stretches,
                  const std::string& prefix = kPrefix) {
    CCompressedFile out;
    ASSERT_TRUE(out.Open(std::string(kMedia) + "\\" + name, CFile::modeCreate | CFile::modeWrite));
    out.Write(prefix.data(), static_cast<std::uint32_t>(prefix.size()));
    const std::uint8_t zero = 0;
    out.Write(&zero, 1);
    for (const auto& stretch : stretches) {
      out.SetCompressed(stretch.compressed);
      out.Write(stretch.bytes.data(), static_cast<std::uint32_t>(stretch.bytes.size()));
    }
    out.Close();
  }

  // The header of a part, as the run reads it.
  static RecordBuilder Header(const std::string& title, std::uint32_t steps, bool twoParts = false,
                              std::uint32_t version = 4) {
    RecordBuilder header;
    header.U32(version).U32(static_cast<std::uint32_t>(title.size()));
    header.Raw(title + std::string(1, '\0'));
    header.U32(0);
    header.Raw(Bytes{1, 1, static_cast<std::uint8_t>(twoParts ? 1 : 0)});
    return header.U32(steps);
  }

  // An ini value step record whose leading fields name a media file and an
  // offset, as a file step's do; it writes entry=value into [Run] of
  // RUN.INI when entry is given.
  static RecordBuilder IniRecord(std::uint32_t disk = 0, std::uint32_t offset = 0,
                                 const std::string& entry = "", const std::string& value = "") {
    RecordBuilder record;
    record.ClassName("CStepIniValue").Head(disk == 0 ? 0 : 1, disk, offset);
    if (!entry.empty()) {
      record.String("IFNM", "RUN.INI").String("IFSN", "Run").String("IFEN", entry);
      record.String("DFLT", value);
    }
    return record.Ends();
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TranscriptEntry& entry : ui_.Transcript()) {
      if (entry.kind == "message") texts.push_back(entry.text);
    }
    return texts;
  }

  std::string Ini(const std::string& entry) {
    return machine_.QueryProfileString("RUN.INI", "Run", entry, "<none>", 260);
  }

  testing::TempRoot root_{"shell"};
  SimMachine machine_{root_.path()};
  ScopedMachine machineScope_{machine_};
  RecordingUi ui_;
  ScopedUi uiScope_{ui_};
};

}  // namespace velmora::test
