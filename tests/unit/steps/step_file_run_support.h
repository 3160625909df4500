// Drives one file step by hand on a simulated machine: its payload is
// written as chunks into data files, the step reads them with InstallData
// and places the file with Install, as the installation run would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "backends/scripted/scripted_ui.h"
#include "backends/sim/sim_machine.h"
#include "datafile/compressed_file.h"
#include "steps/step_factory.h"
#include "steps/step_file_copy.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora::test {

struct Chunk {
  std::uint32_t sequence;
  std::string data;
};

// Opens DATA.2, DATA.3, ... on the stream when the current one is exhausted.
class NextDataFile : public MediaSource {
 public:
  NextDataFile(CCompressedFile& stream, std::string stem) : stream_(stream), stem_(std::move(stem)) {}
  bool OpenNextMediaFile() override {
    ++opened;
    stream_.Close();
    if (!stream_.Open(stem_ + std::to_string(++number_), CFile::modeRead | CFile::shareDenyWrite))
      return false;
    stream_.SetCompressed(true);
    return true;
  }
  int opened = 0;

 private:
  CCompressedFile& stream_;
  std::string stem_;
  int number_ = 1;
};

class FileStepRun : public ::testing::Test {
 protected:
  static constexpr const char* kStem = "C:\\DATA.";

  // Writes chunks, compressed, into data file `number`.
  void WriteChunks(int number, const std::vector<Chunk>& chunks) {
    CCompressedFile out;
    ASSERT_TRUE(out.Open(kStem + std::to_string(number), CFile::modeCreate | CFile::modeWrite));
    out.SetCompressed(true);
    for (const Chunk& chunk : chunks) {
      std::uint8_t head[8];
      const auto length = static_cast<std::uint32_t>(chunk.data.size());
      for (int i = 0; i < 4; ++i) {
        head[i] = static_cast<std::uint8_t>(chunk.sequence >> (8 * i));
        head[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
      }
      out.Write(head, 8);
      out.Write(chunk.data.data(), length);
    }
    out.Close();
  }

  std::unique_ptr<CStepFileCopy> MakeStep(const std::string& name, std::uint32_t size,
                                          const std::string& directory = "<Windows>") {
    auto step = std::make_unique<CStepFileCopy>();
    step->SetName(name);
    step->SetDirectory(directory);
    step->SetDataSize(size);
    return step;
  }

  // InstallData from data file 1 (going on in 2, 3, ... when needed).
  bool InstallData(CStep& step) {
    CCompressedFile stream;
    EXPECT_TRUE(stream.Open(std::string(kStem) + "1", CFile::modeRead | CFile::shareDenyWrite));
    stream.SetCompressed(true);
    NextDataFile next(stream, kStem);
    ScopedMediaSource media(next);
    const bool ok = step.InstallData(&stream);
    nextOpened_ = next.opened;
    return ok;
  }

  // One chunk holding `content`, then InstallData and Install.
  int InstallContent(CStepFileCopy& step, const std::string& content) {
    step.SetDataSize(static_cast<std::uint32_t>(content.size()));
    WriteChunks(1, {{1, content}});
    if (!InstallData(step)) return -1;
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
      if (entry.kind == "message") texts.push_back(entry.text);
    return texts;
  }

  testing::TempRoot root_{"filestep"};
  SimMachine machine_{root_.path()};
  ScopedMachine machineScope_{machine_};
  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
  int nextOpened_ = 0;
};

}  // namespace velmora::test
