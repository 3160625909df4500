// File and archive errors as the application framework reports them: an
// exception object carrying a cause number.  The numbering is fixed (0..14);
// the reports shown to the user are indexed by it.
#pragma once

#include <exception>
#include <string>

#include "platform/file_cause.h"

namespace velmora {

// Name of a cause for diagnostics ("badSeek"), or "cause N" outside 0..14.
std::string FileCauseName(int cause);

class CFileException : public std::exception {
 public:
  explicit CFileException(FileCause cause = FileCause::generic, long osError = -1,
                          std::string fileName = {});
  CFileException(int cause, long osError, std::string fileName);

  const char* what() const noexcept override { return m_what.c_str(); }
  FileCause Cause() const { return static_cast<FileCause>(m_cause); }

  int m_cause;      // kept as a number: reports must cope with any value
  long m_lOsError;  // the operating system's own error code, -1 if none
  std::string m_strFileName;

 private:
  std::string m_what;
};

// Throws CFileException for any cause other than none.
void ThrowIfFailed(FileCause cause, const std::string& fileName);

class CArchiveException : public std::exception {
 public:
  enum Cause : int {
    none = 0,
    generic = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  // `reason` says why a value that was read in full is refused (e.g. "the
  // file name has the component '..'"); "" for the archive's own causes.
  explicit CArchiveException(int cause = generic, std::string fileName = {},
                             std::string reason = {});
  const char* what() const noexcept override { return m_what.c_str(); }

  int m_cause;
  std::string m_strFileName;
  std::string m_reason;

 private:
  std::string m_what;
};

}  // namespace velmora
