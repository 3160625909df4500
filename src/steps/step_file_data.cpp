// CStepFile::InstallData: where the file goes, and its data out of the
// data stream, chunk by chunk, into a temporary file in the target
// directory (or into memory for a picture or a text).
//
// Chunks (datafile/data_file_layout.h): a media file may end only before a
// sequence number; the next one is then opened through the run's media
// source.
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "datafile/media_set.h"
#include "platform/path_limit.h"
#include "platform/ui.h"
#include "steps/run_context.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

// Data bytes of a chunk are moved in pieces of this size, so a damaged
// length field cannot make the step reserve gigabytes.
constexpr std::uint32_t kPiece = 65536;

void AppendSeparator(std::string& directory) {
  if (directory.empty() || directory.back() != '\\') directory += '\\';
}

void Warn(const char* text) { AppMessageBox(text, mb::ok | mb::iconExclamation); }

// The Windows or system directory with its two failure messages.
bool PlatformDirectory(bool system, std::string& directory) {
  Machine& machine = CurrentMachine();
  directory = system ? machine.GetSystemDirectory() : machine.GetWindowsDirectory();
  if (directory.empty()) {
    Warn(system ? "Can't get System directory" : "Can't get Windows directory");
    return false;
  }
  // The platform answers more than its path buffer when the path and its
  // terminator do not fit.
  if (directory.size() >= kMaxPathBytes) {
    Warn(system ? "System directory too long (!)" : "Windows directory too long (!)");
    return false;
  }
  return true;
}

}  // namespace

bool CStepFile::ResolveTargetDirectory(std::string& directory) {
  directory.clear();
  const std::string reference = GetDirectory();
  if (!reference.empty()) {
    if (reference == "<Windows>" || reference == "<Windows system>") {
      if (!PlatformDirectory(reference != "<Windows>", directory)) return false;
    } else {
      CStepDirectory* step = Run() == nullptr ? nullptr : Run()->FindDirectory(reference);
      if (step == nullptr) {
        Warn(
            "Ensure that the directory is defined before the file to be copied, in the Velmora "
            "program");
        return false;
      }
      directory = step->GetPath();
      if (directory.empty()) return false;  // the user cancelled
    }
    AppendSeparator(directory);
  }
  if (!IsMemoryData() && reference.empty()) {
    Warn("Don't know what to do with step loaded");
    return false;
  }
  if (GetUseRecommended()) {
    std::string windows;
    if (!PlatformDirectory(false, windows)) return false;
    std::string current, destination;
    CurrentMachine().FindFileLocation(GetShared() ? verfind::sharedFile : 0, m_name, windows,
                                      directory, current, destination);
    // Where a copy already is wins over where the system would put it.
    if (!current.empty()) directory = current;
    else if (!destination.empty()) directory = destination;
    AppendSeparator(directory);
  }
  return true;
}

bool CStepFile::InstallData(CCompressedFile* data) {
  if (!CStep::InstallData(data)) return false;
  std::string directory;
  if (!ResolveTargetDirectory(directory)) return false;
  m_targetDirectory = directory;

  if (IsMemoryData()) {
    m_tempPath.clear();
    // Size + 1 must not wrap where size_t is 32 bits wide.
    const std::uint64_t room = std::uint64_t{m_dataSize} + 1;
    if (room > std::numeric_limits<std::size_t>::max()) return false;
    // Zeroed: a size the chunk loop skips (above 2 GB) shows no stale memory.
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(room)]());
    if (!buffer) return false;
    if (!CopyChunks(data, buffer.get(), kNoFile)) return false;
    buffer[m_dataSize] = 0;  // a text ends with a zero byte
    int result = 1;
    if (IsBackgroundImage()) ShowImage(buffer.get(), m_dataSize);
    if (IsDisplayText()) result = ShowText(reinterpret_cast<const char*>(buffer.get()));
    if (result != 1) SetFailureReason("the text was not accepted");
    return result == 1;  // else the user declined the text
  }

  Machine& machine = CurrentMachine();
  std::string temp;
  FileHandle file = kNoFile;
  const FileCause created = machine.CreateTempFileForWriting(directory, "inst", temp, file);
  // A file made but not opened is deleted with the step, as any other.
  if (!temp.empty()) m_tempPath = temp;
  if (created != FileCause::none) {
    SetFailureReason(created, directory);
    return false;
  }
  const bool copied = CopyChunks(data, nullptr, file);
  // The stored times go onto the file while it is open: the move into place
  // keeps them, and the file is not opened again by name to set them.  On a
  // machine that cannot, the placement sets them.
  m_timesOnTemp = copied && m_modificationTime != 0 &&
                  machine.SetOpenFileTimes(file, StoredTimes()) == FileCause::none;
  const FileCause closed = machine.CloseFile(file);
  if (copied && closed != FileCause::none) {
    SetFailureReason(closed, m_tempPath);
    const CFileException error(closed, -1, m_tempPath);
    data->ReportFileError(&error);
    return false;
  }
  return copied;
}

// Copies the chunks into `memory` (m_dataSize + 1 bytes) or, when it is
// null, into `file`.  A chunk that would run past the data size fails the
// step: the chunk lengths must add up to the size exactly, and the memory
// buffer has no room beyond it.
bool CStepFile::CopyChunks(CCompressedFile* data, std::uint8_t* memory, FileHandle file) {
  Machine& machine = CurrentMachine();
  std::vector<std::uint8_t> piece;
  std::uint32_t total = 0;
  std::uint32_t expected = 1;
  try {
    while (static_cast<std::int32_t>(total) < static_cast<std::int32_t>(m_dataSize)) {
      ChunkHead head;
      if (ReadChunkHead(*data, data->Media(), expected, m_dataSize - total, head) !=
          LayoutFault::none)
        return false;
      ++expected;
      std::uint32_t left = head.length;
      while (left > 0) {
        const std::uint32_t want = left < kPiece ? left : kPiece;
        std::uint8_t* target = memory != nullptr ? memory + total : nullptr;
        if (target == nullptr) {
          piece.resize(want);
          target = piece.data();
        }
        if (data->ReadBytes(target, want) != want) return false;
        if (memory == nullptr) {
          const FileCause cause = machine.WriteFile(file, target, want);
          if (cause != FileCause::none) {
            SetFailureReason(cause, m_tempPath);
            const CFileException error(cause, -1, m_tempPath);
            data->ReportFileError(&error);
            return false;
          }
        }
        total += want;
        left -= want;
      }
    }
  } catch (const CFileException& error) {
    if (error.Cause() != FileCause::none) data->ReportFileError(&error);
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace velmora
