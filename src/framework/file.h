// CFile: a binary file opened through the current Machine.  Failures throw
// CFileException with the cause the machine reported.  Positions and lengths
// are 32-bit, as the data files and the uninstall log are.
#pragma once

#include <cstdint>
#include <string>

#include "framework/file_exception.h"
#include "platform/machine.h"

namespace velmora {

class CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,  // treated as exclusive, as the framework does
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,      // create, truncating an existing file...
    modeNoTruncate = 0x2000,  // ...unless this is given too
  };
  enum SeekPosition : unsigned { begin = 0, current = 1, end = 2 };

  CFile() = default;
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens on the current machine.  On failure answers false and, when error
  // is given, fills it in; never throws for an open failure.
  virtual bool Open(const std::string& fileName, unsigned openFlags,
                    CFileException* error = nullptr);
  virtual std::uint32_t Read(void* buffer, std::uint32_t count);
  virtual void Write(const void* buffer, std::uint32_t count);
  virtual std::int32_t Seek(std::int32_t offset, unsigned from);
  virtual std::uint32_t GetPosition() const;
  virtual std::uint32_t GetLength() const;
  virtual void Flush();
  virtual void Close();
  // Closes without reporting errors; safe on a closed file.
  virtual void Abort();

  void SeekToBegin() { Seek(0, begin); }
  std::uint32_t SeekToEnd() { return static_cast<std::uint32_t>(Seek(0, end)); }

  bool IsOpen() const { return handle_ != kNoFile; }
  const std::string& GetFilePath() const { return path_; }

 protected:
  void ThrowIf(FileCause cause) const { ThrowIfFailed(cause, path_); }
  void RequireOpen() const;

 private:
  Machine* machine_ = nullptr;  // the machine the file was opened on
  FileHandle handle_ = kNoFile;
  std::string path_;
};

}  // namespace velmora
