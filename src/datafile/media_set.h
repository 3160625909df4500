// The numbered media files of a package ("velmor.1", "velmor.2", ... for the
// first part, "velmore.N" for the second) and the data stream that reads
// them one after another.  The installation run, the package reader and the
// tests share it; what happens when a file cannot be had (ask for the disk,
// record a failure) is the owner's, through MediaEvents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "datafile/compressed_file.h"
#include "datafile/media_location.h"
#include "datafile/package_description.h"
#include "platform/file_cause.h"

namespace velmora {

class MediaSet;

// Why OpenNext answered false.
enum class MediaFault {
  none,
  unavailable,     // the file could not be opened, and no retry was asked for
  noBanner,        // the file ended before the zero byte that closes its banner
  readFailed,      // reading the banner (or the file, to check it) failed
  damaged,         // the file's size or CRC-32 is not the one the package description gives
  badDescription,  // the package description beside the files is damaged or unreadable
};

struct MediaEvents {
  // The file cannot be opened (`cause` says why): true tries again.
  std::function<bool(const MediaSet& media, FileCause cause)> unavailable;
  // The open file is about to be closed for the next one.
  std::function<void(const MediaSet& media)> leaving;
  // A file was opened.
  std::function<void(const MediaSet& media)> opened;
  // The opened file cannot be used: its banner could not be read
  // (`error`: the file exception of a failed read, null when the file
  // ended early), or it or the package description is damaged (FaultText()
  // says how, naming the file).
  std::function<void(const MediaSet& media, MediaFault fault, const CFileException* error)> failed;
};

class MediaSet {
 public:
  // folder: where the files are ("" for the current directory, where they
  // are opened by their names alone).
  explicit MediaSet(std::string folder = {}, MediaEvents events = {});
  // The files where `location` says: a folder, or the appended media of a
  // program file (each file read as a window of it).
  MediaSet(MediaLocation location, MediaEvents events);
  MediaSet(const MediaSet&) = delete;
  MediaSet& operator=(const MediaSet&) = delete;

  // Reading starts at the first file of a part on the next open.
  void StartPart(bool secondPart);
  // Closes the open file and opens the next of the part, positioned after
  // its banner with decompression on.  False when it cannot be had; Fault()
  // says why.  When the folder holds a package description, the file's
  // size and CRC-32 are checked against it first, before any byte of it is
  // used; the description is read at the first open.  A banner that reads as the end of the data (a
  // file exception whose cause is "none") leaves the file open with decompression off.
  bool OpenNext();
  // Opens file `number` of the part (from 1).
  bool OpenNumber(std::uint32_t number);
  // Releases the open file.
  void Close();

  CCompressedFile& Stream() { return stream_; }
  const CCompressedFile& Stream() const { return stream_; }
  bool SecondPart() const { return secondPart_; }
  // The number of the file opened last; 0 before the first.
  std::uint32_t Number() const { return number_; }
  // Its name ("velmor.2"), and its path as opened ("SETUP.EXE:velmor.2"
  // for appended media); "" before the first.
  std::string FileName() const;
  std::string FilePath() const;
  const std::string& Folder() const { return location_.folder; }
  const MediaLocation& Location() const { return location_; }
  MediaFault Fault() const { return fault_; }
  // For a damaged file or description: one sentence for people that names
  // the file and says what is wrong with it.
  const std::string& FaultText() const { return faultText_; }
  // The package description, once the first open has read it.
  DescriptionState DescriptionRead() const { return description_.state; }
  const PackageDescription& Description() const { return description_.description; }

 private:
  MediaLocation location_;
  MediaEvents events_;
  CCompressedFile stream_;
  bool open_ = false;
  bool secondPart_ = false;
  std::uint32_t number_ = 0;
  MediaFault fault_ = MediaFault::none;
  std::string faultText_;
  bool descriptionLooked_ = false;
  DescriptionLoad description_;

  bool LookForDescription();
  bool MatchesDescription();
};

// Reads the package description where `location` says, on the current
// machine: absent when there is no such file.
DescriptionLoad LoadDescription(const MediaLocation& location);

// The path of file `name` in `folder` ("" for the current directory: the
// name alone).
std::string PathInFolder(const std::string& folder, const std::string& name);

// The path of media file `number` of a part in `folder` ("" for the
// current directory: the name alone).
std::string MediaFilePathIn(const std::string& folder, bool secondPart, std::uint32_t number);

}  // namespace velmora
