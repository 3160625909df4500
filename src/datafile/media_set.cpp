#include "datafile/media_set.h"

#include <utility>

#include "datafile/data_file_layout.h"
#include "platform/machine.h"

namespace velmora {

namespace {

std::string Hex(std::uint32_t value) {
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789abcdef"[(value >> shift) & 15];
  return text;
}

// Opens file `name` where `location` says: a member of the appended media
// is read as a window of the program file.
bool OpenIn(const MediaLocation& location, const std::string& name, CCompressedFile& file,
            CFileException& error) {
  if (!location.Embedded())
    return file.Open(PathInFolder(location.folder, name), CFile::modeRead | CFile::shareDenyWrite,
                     &error);
  const AppendedMember* member = location.appended.Find(name);
  if (member == nullptr) {
    error = CFileException(FileCause::fileNotFound, -1, location.program + ":" + name);
    return false;
  }
  return file.OpenWindow(location.program, member->offset, member->length, &error);
}

}  // namespace

DescriptionLoad LoadDescription(const MediaLocation& location) {
  if (!location.Embedded()) {
    std::uint32_t attributes = 0;
    const FileCause cause = CurrentMachine().GetFileAttributes(
        PathInFolder(location.folder, kDescriptionFileName), attributes);
    if (cause == FileCause::fileNotFound || cause == FileCause::badPath) return {};
  } else if (location.appended.Find(kDescriptionFileName) == nullptr) {
    return {};
  }
  DescriptionLoad load;
  load.state = DescriptionState::refused;
  CCompressedFile file;
  CFileException error;
  if (!OpenIn(location, kDescriptionFileName, file, error)) {
    load.reason = std::string("it cannot be opened: ") + error.what();
    return load;
  }
  try {
    load = ReadDescription(file);
    file.Close();
  } catch (const CFileException& failed) {
    file.Abort();
    load.state = DescriptionState::refused;
    load.reason = std::string("reading it failed: ") + failed.what();
  }
  return load;
}

MediaSet::MediaSet(std::string folder, MediaEvents events) : events_(std::move(events)) {
  location_.folder = std::move(folder);
}

MediaSet::MediaSet(MediaLocation location, MediaEvents events)
    : location_(std::move(location)), events_(std::move(events)) {}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

std::string MediaFilePathIn(const std::string& folder, bool secondPart, std::uint32_t number) {
  return PathInFolder(folder, MediaFileNameFor(secondPart, number));
}

void MediaSet::StartPart(bool secondPart) {
  Close();
  secondPart_ = secondPart;
  number_ = 0;
}

std::string MediaSet::FileName() const {
  return number_ == 0 ? std::string() : MediaFileNameFor(secondPart_, number_);
}

std::string MediaSet::FilePath() const {
  if (number_ == 0) return {};
  if (location_.Embedded()) return location_.program + ":" + FileName();
  return MediaFilePathIn(location_.folder, secondPart_, number_);
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
  faultText_.clear();
  if (!LookForDescription()) return false;
  for (;;) {
    CFileException error;
    if (OpenIn(location_, FileName(), stream_, error)) break;
    if (!events_.unavailable || !events_.unavailable(*this, error.Cause())) {
      fault_ = MediaFault::unavailable;
      return false;
    }
  }
  open_ = true;
  if (events_.opened) events_.opened(*this);
  try {
    if (!MatchesDescription()) {
      if (events_.failed) events_.failed(*this, fault_, nullptr);
      return false;
    }
  } catch (const CFileException& error) {
    fault_ = MediaFault::readFailed;
    if (events_.failed) events_.failed(*this, fault_, &error);
    return false;
  }
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

// The description is looked for once, at the first open; a damaged one
// refuses every open, since no file could be trusted without it.
bool MediaSet::LookForDescription() {
  if (!descriptionLooked_) {
    description_ = LoadDescription(location_);
    descriptionLooked_ = true;
  }
  if (!location_.damage.empty()) {
    fault_ = MediaFault::damaged;
    faultText_ = "The program file " + location_.program +
                 " is damaged: the package appended to it cannot be read (" + location_.damage +
                 ").";
    if (events_.failed) events_.failed(*this, fault_, nullptr);
    return false;
  }
  if (description_.state != DescriptionState::refused) return true;
  fault_ = MediaFault::badDescription;
  faultText_ = "The package description " + std::string(kDescriptionFileName) +
               " is damaged: " + description_.reason + ".";
  if (events_.failed) events_.failed(*this, fault_, nullptr);
  return false;
}

// Reads the whole open file and compares its size and CRC-32 with the
// description's, then goes back to its start.
bool MediaSet::MatchesDescription() {
  if (description_.state != DescriptionState::read) return true;
  const std::string name = FileName();
  const MediaDigest* expected = description_.description.Find(name);
  if (expected == nullptr) {
    fault_ = MediaFault::damaged;
    faultText_ = "The file " + name + " does not belong to this package: the package description " +
                 std::string(kDescriptionFileName) + " does not list it.";
    return false;
  }
  const MediaDigest actual = DigestOf(stream_);
  stream_.SeekToBegin();
  if (actual.size == expected->size && actual.crc == expected->crc) return true;
  fault_ = MediaFault::damaged;
  faultText_ = "The file " + name + " is damaged: ";
  if (actual.size != expected->size)
    faultText_ += "it holds " + std::to_string(actual.size) + " bytes, the package was made with " +
                  std::to_string(expected->size) + ".";
  else
    faultText_ += "its contents differ from those the package was made with (CRC-32 " +
                  Hex(actual.crc) + ", expected " + Hex(expected->crc) + ").";
  return false;
}

}  // namespace velmora
