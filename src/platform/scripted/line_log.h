// A text log written a line at a time: each line goes to the file as soon
// as it is written, so a run that is killed leaves every line written
// before.  SETUP.EXE's /log is one (the scripted Ui's echo).
#pragma once

#include <cstdio>
#include <string>

namespace velmora {

class LineLog {
 public:
  LineLog() = default;
  ~LineLog();
  LineLog(const LineLog&) = delete;
  LineLog& operator=(const LineLog&) = delete;

  // Creates or empties the file; false when it cannot be written.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // The line and a line end, flushed to the file; nothing when not open.
  void WriteLine(const std::string& line);

 private:
  std::FILE* file_ = nullptr;
};

// The whole of a text file; false when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text);

}  // namespace velmora
