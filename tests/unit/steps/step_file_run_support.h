// Drives one file step by hand on a simulated machine: its payload is
// written as chunks into media files, the step reads them with InstallData
// and places the file with Install, as the installation run would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "backends/scripted/scripted_ui.h"
#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "datafile/media_set.h"
#include "steps/run_context.h"
#include "steps/step_file_copy.h"
#include "unit/support/sim_machine_fixture.h"
#include "unit/support/step_builders.h"

namespace velmora::test {

struct Chunk {
  std::uint32_t sequence;
  std::string data;
};

class FileStepRun : public testing::SimMachineTest {
 protected:
  static constexpr const char* kMediaFolder = "C:\\";

  // Media file `number` of the first part: an empty banner, then `bytes`
  // compressed.
  void WriteMediaFile(std::uint32_t number, const LayoutBytes& bytes) {
    CCompressedFile out;
    ASSERT_TRUE(out.Open(MediaFilePathIn(kMediaFolder, false, number),
                         CFile::modeCreate | CFile::modeWrite));
    LayoutBytes banner;
    AppendPrefix(banner, "");
    out.Write(banner.data(), static_cast<std::uint32_t>(banner.size()));
    out.SetCompressed(true);
    out.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    out.Close();
  }
  // Media file `number` holding the chunks.
  void WriteChunks(std::uint32_t number, const std::vector<Chunk>& chunks) {
    LayoutBytes bytes;
    for (const Chunk& chunk : chunks) {
      AppendChunkHead(bytes, chunk.sequence, static_cast<std::uint32_t>(chunk.data.size()));
      bytes.insert(bytes.end(), chunk.data.begin(), chunk.data.end());
    }
    WriteMediaFile(number, bytes);
  }

  std::unique_ptr<CStepFileCopy> MakeStep(const std::string& name, std::uint32_t size,
                                          const std::string& directory = "<Windows>") {
    auto step = TakeStep<CStepFileCopy>(FileStep({.name = name, .directory = directory}));
    step->SetDataSize(size);
    step->JoinRun(&run_);
    return step;
  }

  // InstallData from media file 1 (going on in 2, 3, ... when needed);
  // nextOpened_ counts the files it asked for after the first.
  bool InstallData(CStep& step) {
    MediaSet media(kMediaFolder);
    media.Stream().SetMedia(&media);
    EXPECT_TRUE(media.OpenNext());
    const bool ok = step.InstallData(&media.Stream());
    nextOpened_ = static_cast<int>(media.Number()) - 1;
    return ok;
  }

  // One chunk holding `content`, then InstallData and Install.
  // A payload that cannot be read answers failed, as the run would fail.
  InstallResult InstallContent(CStepFileCopy& step, const std::string& content) {
    step.SetDataSize(static_cast<std::uint32_t>(content.size()));
    WriteChunks(1, {{1, content}});
    if (!InstallData(step)) return InstallResult::failed;
    return step.Install();
  }

  std::string Read(const std::string& path) { return testing::GetFile(machine_, path); }
  void Put(const std::string& path, const std::string& content) {
    ASSERT_EQ(testing::PutFile(machine_, path, content), FileCause::none);
  }
  std::uint32_t Attributes(const std::string& path) {
    std::uint32_t attributes = 0;
    EXPECT_EQ(machine_.GetFileAttributes(path, attributes), FileCause::none) << path;
    return attributes;
  }
  // Names in a directory, to see that no temporary or kept-aside file stays.
  std::vector<std::string> Names(const std::string& directory) {
    std::vector<DirEntry> entries;
    EXPECT_EQ(machine_.ListDirectory(directory, entries), FileCause::none);
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TranscriptEntry& entry : ui_.Transcript())
      if (entry.kind == TranscriptKind::message) texts.push_back(entry.text);
    return texts;
  }

  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
  int nextOpened_ = 0;
  // The run the steps made here join, as the steps of one installation do.
  RunContext run_;
};

}  // namespace velmora::test
