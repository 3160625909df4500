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

  // Creates the file, or empties a plain file that is there; a relative
  // name is taken from the current directory.  A program run with more
  // rights than the user who named the file must not write anywhere else,
  // so a link (a symbolic link or other reparse point, not followed), a
  // directory, a device and a file with more than one name (a hard link)
  // are refused as they are, nothing changed.  False when the file cannot
  // be written, with why in reason ("it is a link", or the system's error).
  bool Open(const std::string& path, std::string& reason);
  bool IsOpen() const { return file_ != nullptr; }
  // The line and a line end, flushed to the file; nothing when not open.
  void WriteLine(const std::string& line);

 private:
  std::FILE* file_ = nullptr;
};

// The whole of a text file; false when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text);

}  // namespace velmora
