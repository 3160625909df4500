#include "authoring/compressed_size_probe.h"

#include "datafile/compressed_file.h"
#include "platform/machine.h"

namespace velmora {

// A machine with one write-only file that keeps nothing but the number of
// bytes written to it since the last seek to its beginning.
class CountingMachine final : public Machine {
 public:
  std::uint32_t Count() const { return count_; }

  std::string Name() const override { return "counting"; }
  FileCause OpenFile(const std::string&, FileAccess, FileShare, FileDisposition,
                     FileHandle& handle) override {
    handle = 1;
    count_ = 0;
    return FileCause::none;
  }
  FileCause ReadFile(FileHandle, void*, std::uint32_t, std::uint32_t& got) override {
    got = 0;
    return FileCause::accessDenied;
  }
  FileCause WriteFile(FileHandle, const void*, std::uint32_t count) override {
    count_ += count;
    return FileCause::none;
  }
  FileCause SeekFile(FileHandle, std::int64_t offset, SeekOrigin origin,
                     std::uint64_t& position) override {
    if (origin == SeekOrigin::begin && offset == 0) count_ = 0;
    position = count_;
    return FileCause::none;
  }
  FileCause GetFileSize(FileHandle, std::uint64_t& size) override {
    size = count_;
    return FileCause::none;
  }
  FileCause FlushFile(FileHandle) override { return FileCause::none; }
  FileCause CloseFile(FileHandle) override { return FileCause::none; }

  FileCause DeleteFile(const std::string&) override { return FileCause::accessDenied; }
  FileCause MoveFile(const std::string&, const std::string&) override {
    return FileCause::accessDenied;
  }
  FileCause CopyFile(const std::string&, const std::string&, bool) override {
    return FileCause::accessDenied;
  }
  FileCause CreateDirectory(const std::string&) override { return FileCause::accessDenied; }
  FileCause RemoveDirectory(const std::string&) override { return FileCause::accessDenied; }
  FileCause GetFileAttributes(const std::string&, std::uint32_t&) override {
    return FileCause::fileNotFound;
  }
  FileCause SetFileAttributes(const std::string&, std::uint32_t) override {
    return FileCause::accessDenied;
  }
  FileCause ListDirectory(const std::string&, std::vector<DirEntry>&) override {
    return FileCause::badPath;
  }
  FileCause CreateTempFile(const std::string&, const std::string&, std::string&) override {
    return FileCause::accessDenied;
  }
  std::string GetCurrentDirectory() override { return "C:\\"; }
  FileCause SetCurrentDirectory(const std::string&) override { return FileCause::badPath; }
  std::string GetWindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string GetSystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string GetFullPathName(const std::string& path) override { return path; }
  DriveType GetDriveType(const std::string&) override { return DriveType::noRootDir; }
  std::uint32_t GetLogicalDrives() override { return 0; }

 private:
  std::uint32_t count_ = 0;
};

CompressedSizeProbe::CompressedSizeProbe()
    : machine_(std::make_unique<CountingMachine>()), file_(std::make_unique<CCompressedFile>()) {
  // The file keeps the machine it was opened on; the current machine is
  // borrowed only for the open.
  ScopedMachine borrow(*machine_);
  file_->Open("probe", CFile::modeWrite | CFile::modeCreate);
  file_->SetOutputBuffer(64 * 1024);
}

CompressedSizeProbe::~CompressedSizeProbe() = default;

std::uint32_t CompressedSizeProbe::Measure(const std::uint8_t* bytes, std::uint32_t count) {
  file_->Seek(0, CFile::begin);
  file_->SetCompressed(true);
  file_->Write(bytes, count);
  file_->SetCompressed(false);
  file_->Flush();
  return machine_->Count();
}

}  // namespace velmora
