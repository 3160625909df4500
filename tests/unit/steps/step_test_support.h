// Helpers for the step tests: a builder for step records as the installation
// script stores them (stretches of plain and compressed bytes), a builder for
// uninstall log bytes, and a fixture with a simulated machine and a
// scripted Ui.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "backends/scripted/scripted_ui.h"
#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "framework/archive.h"
#include "framework/little_endian.h"
#include "steps/run_context.h"
#include "steps/step.h"
#include "steps/step_factory.h"
#include "unit/support/sim_machine_fixture.h"

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU32(Bytes& out, std::uint32_t v) { AppendU32(out, v); }

// A step record as stretches of bytes, each written with compression on or
// off, in the order the reader expects them.
class RecordBuilder {
 public:
  struct Stretch {
    bool compressed;
    Bytes bytes;
  };

  // Class name with its length field, framed by the data file writer.
  RecordBuilder& ClassName(const std::string& name) {
    Bytes framing;
    AppendClassName(framing, name);
    return Raw(framing);
  }
  // The plain leading fields: size, and disk and offset when size != 0.
  RecordBuilder& Head(std::uint32_t size, std::uint32_t disk = 0, std::uint32_t offset = 0) {
    Bytes plain;
    PutU32(plain, size);
    if (size != 0) {
      PutU32(plain, disk);
      PutU32(plain, offset);
    }
    stretches_.push_back({false, plain});
    return *this;
  }
  RecordBuilder& String(const std::string& tag, const std::string& value) {
    Raw(tag + std::string(1, '\0'));
    U32(static_cast<std::uint32_t>(value.size() + 1));
    return Raw(value + std::string(1, '\0'));
  }
  RecordBuilder& Flag(const std::string& tag, std::uint32_t value) {
    Raw(tag + std::string(1, '\0'));
    return U32(value);
  }
  RecordBuilder& Ends() { return Raw(std::string("ENDS", 5)); }
  // The file step's fields after "ENDS".
  RecordBuilder& Trailing(std::uint32_t size, std::int32_t created, std::int32_t modified) {
    U32(size);
    U32(static_cast<std::uint32_t>(created));
    return U32(static_cast<std::uint32_t>(modified));
  }
  // Compressed bytes as given.
  RecordBuilder& Raw(const std::string& bytes) { return Raw(Bytes(bytes.begin(), bytes.end())); }
  RecordBuilder& Raw(const Bytes& bytes) {
    if (stretches_.empty() || !stretches_.back().compressed) stretches_.push_back({true, {}});
    Bytes& out = stretches_.back().bytes;
    out.insert(out.end(), bytes.begin(), bytes.end());
    return *this;
  }
  RecordBuilder& U32(std::uint32_t value) {
    Bytes b;
    PutU32(b, value);
    return Raw(b);
  }
  RecordBuilder& Append(const RecordBuilder& other) {
    stretches_.insert(stretches_.end(), other.stretches_.begin(), other.stretches_.end());
    return *this;
  }

  const std::vector<Stretch>& Stretches() const { return stretches_; }

 private:
  std::vector<Stretch> stretches_;
};

// Archive bytes of an uninstall log entry, written by hand.
class LogBuilder {
 public:
  LogBuilder& U16(std::uint16_t v) {
    bytes_.resize(bytes_.size() + 2);
    StoreU16(bytes_.data() + bytes_.size() - 2, v);
    return *this;
  }
  LogBuilder& I32(std::int32_t v) {
    PutU32(bytes_, static_cast<std::uint32_t>(v));
    return *this;
  }
  LogBuilder& Str(const std::string& s) {  // short strings: one length byte
    bytes_.push_back(static_cast<std::uint8_t>(s.size()));
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    return *this;
  }
  const Bytes& Get() const { return bytes_; }

 private:
  Bytes bytes_;
};

class StepTest : public testing::SimMachineTest {
 protected:
  static constexpr const char* kRecords = "C:\\VELMOR.1";
  static constexpr const char* kLog = "C:\\WINDOWS\\XDEMO.VMU";

  // Writes the stretches to `path` through the compressed stream.
  void WriteStream(const std::string& path, const std::vector<RecordBuilder::Stretch>& stretches) {
    CCompressedFile out;
    ASSERT_TRUE(out.Open(path, CFile::modeCreate | CFile::modeWrite));
    for (const auto& s : stretches) {
      out.SetCompressed(s.compressed);
      out.Write(s.bytes.data(), static_cast<std::uint32_t>(s.bytes.size()));
    }
    out.Close();
  }

  // Writes the record(s) and opens them for reading, decompression on.
  void OpenRecords(const RecordBuilder& records) {
    WriteStream(kRecords, records.Stretches());
    ASSERT_TRUE(stream_.Open(kRecords, CFile::modeRead | CFile::shareDenyWrite));
    stream_.SetCompressed(true);
  }

  std::unique_ptr<CStep> ReadStep() { return std::unique_ptr<CStep>(CreateStep(&stream_)); }
  // Writes one record (or several) and reads the first.
  std::unique_ptr<CStep> Read(const RecordBuilder& record) {
    OpenRecords(record);
    return ReadStep();
  }

  Bytes Store(CStep& step) {
    CFile file;
    EXPECT_TRUE(file.Open(kLog, CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    step.Serialize(ar);
    ar.Close();
    file.Close();
    return FileBytes(kLog);
  }
  // Loads `step` from the bytes; answers the bytes the archive left unread.
  std::size_t Load(CStep& step, const Bytes& bytes) {
    SetFile(kLog, bytes);
    CFile file;
    EXPECT_TRUE(file.Open(kLog, CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    step.Serialize(ar);
    std::size_t rest = 0;
    std::uint8_t byte;
    while (ar.Read(&byte, 1) == 1) ++rest;
    return rest;
  }

  ScriptedUi ui_;
  ScopedUi uiScope_{ui_};
  CCompressedFile stream_;
  // The run that steps driven by hand join to find each other.
  RunContext run_;
};

}  // namespace velmora::test
