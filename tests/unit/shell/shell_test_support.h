// Shared setup of the run tests: a simulated machine whose current
// directory is the installation media (C:\MEDIA, with a Setup.exe), a
// scripted Ui that also keeps every progress value, and builders for media
// files written byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "authoring/package_writer.h"
#include "backends/scripted/scripted_ui.h"
#include "backends/sim/sim_machine.h"
#include "datafile/compressed_file.h"
#include "services/registry.h"
#include "shell/run_setup.h"
#include "shell/uninstall_files.h"
#include "steps/installed_products.h"
#include "steps/step_factory.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/media_folder.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/step_builders.h"
#include "unit/support/temp_root.h"

namespace velmora::test {

// An installation as SETUP.EXE starts it, from `program` (the media's
// Setup.exe unless said otherwise).
inline RunOutcome RunInstallation(const std::string& program = kMediaSetup) {
  RunRequest request;
  request.mode = RunMode::install;
  request.programPath = program;
  return RunSetup(request);
}

// The uninstaller `program` started with `arguments` (its log path), its
// program file held open as a running program's image is.
inline RunOutcome RunUninstaller(SimMachine& machine, const std::string& program,
                                 const std::string& arguments) {
  FileHandle image = kNoFile;
  machine.OpenRunningImage(program, image);
  RunRequest request;
  request.mode = RunMode::uninstall;
  request.programPath = program;
  request.logPath = UninstallLogPathFromArguments(arguments);
  const RunOutcome outcome = RunSetup(request);
  if (image != kNoFile) machine.CloseFile(image);
  return outcome;
}

// The uninstaller as the shell starts it, from the uninstall entry of `title`.
inline RunOutcome RunUninstallEntry(SimMachine& machine, const std::string& title) {
  const CommandLine parts = SplitCommandLine(
      ReadRegistryString(hkey::localMachine, UninstallKeyFor(title), "UninstallString", 260));
  return RunUninstaller(machine, parts.program, parts.arguments);
}

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
  rule.kind = TranscriptKind::message;
  rule.pattern = pattern;
  rule.answer = answer;
  rule.uses = uses;
  return rule;
}

inline AnswerRule DirectoryRule(const std::string& pattern, std::vector<DirectoryAction> actions,
                                int uses = 0, const std::string& target = "text") {
  AnswerRule rule;
  rule.kind = TranscriptKind::directory;
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
  explicit IsolatedMachine(const MediaFiles& mediaFiles) : media_(mediaFiles) {}

  SimMachine& Machine() { return media_.Machine(); }
  const ScriptedUi& Ui() const { return ui_; }
  ScriptedUi& Ui() { return ui_; }
  const std::filesystem::path& Root() const { return media_.Root(); }

  bool Shown(const std::string& message) const {
    for (const TranscriptEntry& entry : ui_.Transcript())
      if (entry.kind == TranscriptKind::message && entry.text == message) return true;
    return false;
  }

 private:
  MediaFolder media_;
  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
};

class ShellTest : public ::testing::Test {
 protected:
  static constexpr const char* kMedia = kMediaFolder;
  static constexpr const char* kPrefix = "Velmora test media\r\n\x1a";

  ShellTest() { MakeMediaFolder(machine_); }

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
      if (entry.kind == TranscriptKind::message) texts.push_back(entry.text);
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
  // The run that steps driven by hand join to find each other.
  RunContext run_;
};

}  // namespace velmora::test
