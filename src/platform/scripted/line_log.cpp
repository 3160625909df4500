#include "platform/scripted/line_log.h"

namespace velmora {

LineLog::~LineLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LineLog::Open(const std::string& path) {
  if (file_ != nullptr) std::fclose(file_);
  // Text mode: on Windows the line ends become CR LF, as a log there has.
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void LineLog::WriteLine(const std::string& line) {
  if (file_ == nullptr) return;
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

bool ReadTextFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  text.clear();
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

}  // namespace velmora
