#include "datafile/media_set.h"

#include <utility>

#include "datafile/data_file_layout.h"

namespace velmora {

std::string MediaFilePathIn(const std::string& folder, bool secondPart, std::uint32_t number) {
  std::string name = MediaFileNameFor(secondPart, number);
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

MediaSet::MediaSet(std::string folder, MediaEvents events)
    : folder_(std::move(folder)), events_(std::move(events)) {}

void MediaSet::StartPart(bool secondPart) {
  Close();
  secondPart_ = secondPart;
  number_ = 0;
}

std::string MediaSet::FileName() const {
  return number_ == 0 ? std::string() : MediaFileNameFor(secondPart_, number_);
}

std::string MediaSet::FilePath() const {
  return number_ == 0 ? std::string() : MediaFilePathIn(folder_, secondPart_, number_);
}

void MediaSet::Close() {
  if (open_) {
    // Reading never leaves output to flush, so closing cannot lose data; a
    // close the machine reports as failed still releases the file.
    try {
      stream_.Close();
    } catch (const CFileException&) {
      stream_.Abort();
    }
    open_ = false;
  }
  stream_.SetCompressed(false);
}

bool MediaSet::OpenNumber(std::uint32_t number) {
  number_ = number == 0 ? 0 : number - 1;
  return OpenNext();
}

bool MediaSet::OpenNext() {
  if (open_ && events_.leaving) events_.leaving(*this);
  Close();
  ++number_;
  fault_ = MediaFault::none;
  for (;;) {
    CFileException error;
    if (stream_.Open(FilePath(), CFile::modeRead | CFile::shareDenyWrite, &error)) break;
    if (!events_.unavailable || !events_.unavailable(*this, error.Cause())) {
      fault_ = MediaFault::unavailable;
      return false;
    }
  }
  open_ = true;
  if (events_.opened) events_.opened(*this);
  try {
    if (!SkipPrefix(stream_)) {
      fault_ = MediaFault::noBanner;
      if (events_.failed) events_.failed(*this, fault_, nullptr);
      return false;
    }
  } catch (const CFileException& error) {
    if (error.Cause() == FileCause::none) return true;
    fault_ = MediaFault::readFailed;
    if (events_.failed) events_.failed(*this, fault_, &error);
    return false;
  }
  stream_.SetCompressed(true);
  return true;
}

}  // namespace velmora
