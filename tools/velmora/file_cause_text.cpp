#include "file_cause_text.h"

namespace velmora::cli {

std::string FileCauseText(FileCause cause) {
  switch (cause) {
    case FileCause::fileNotFound: return "no such file";
    case FileCause::badPath: return "no such directory, or not a valid path";
    case FileCause::accessDenied: return "permission denied";
    case FileCause::sharingViolation:
    case FileCause::lockViolation: return "the file is in use";
    case FileCause::tooManyOpenFiles: return "too many open files";
    case FileCause::diskFull: return "no space left on the device";
    case FileCause::hardIO: return "input/output error";
    case FileCause::directoryFull: return "the directory is full";
    default: return "file error " + FileCauseName(static_cast<int>(cause));
  }
}

}  // namespace velmora::cli
