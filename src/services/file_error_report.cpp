#include "services/file_error_report.h"

#include <array>

#include "platform/ui.h"

namespace velmora {
namespace {

constexpr std::array<const char*, 15> kGeneralTexts = {
    "No error occurred",
    "Unspecified error occurred",
    "The file could not be located",
    "Bad path specified in file name",
    "Too many files open already",
    "Access Denied",
    "There was an attempt to use an invalid file handle",
    "Cannot remove current directory",
    "Directory Full",
    "Bad seek",
    "Hardware error",
    "share.exe not loaded or shared region was locked",
    "Attempt to lock locked region",
    "Disk Full",
    "End of file reached",
};

// Message text buffers hold 256 (general) and 128 (bitmap) bytes with the
// terminator; every table text fits, so no text is ever cut.
}  // namespace

std::string GeneralFileErrorText(int cause) {
  if (cause < 0 || cause >= static_cast<int>(kGeneralTexts.size())) return {};
  return kGeneralTexts[cause];
}

std::string BitmapFileErrorText(int cause) {
  switch (static_cast<FileCause>(cause)) {
    case FileCause::badPath: return "Bad path specified in file name";
    case FileCause::tooManyOpenFiles: return "Too many files open already\nwould you believe!";
    case FileCause::accessDenied: return "Access Denied";
    case FileCause::directoryFull: return "Directory Full!?";
    case FileCause::hardIO:
      return "Hardware error -\nbuy yourself a new computer!\nthe above should not be\nconstrued "
             "as advice";
    case FileCause::diskFull: return "Disk Full";
    default: return {};
  }
}

void ReportBitmapFileError(const CFileException* error) {
  const int cause = error != nullptr ? error->m_cause : static_cast<int>(FileCause::generic);
  // Shown without an owner window under its own caption.
  CurrentUi().MessageBox(BitmapFileErrorText(cause), "File Error...", mb::ok | mb::iconExclamation);
}

}  // namespace velmora
