#include "framework/file_exception.h"

#include <array>

namespace velmora {

std::string FileCauseName(int cause) {
  static constexpr std::array<const char*, 15> kNames = {
      "none",         "generic",          "fileNotFound",     "badPath",       "tooManyOpenFiles",
      "accessDenied", "invalidFile",      "removeCurrentDir", "directoryFull", "badSeek",
      "hardIO",       "sharingViolation", "lockViolation",    "diskFull",      "endOfFile"};
  if (cause >= 0 && cause < static_cast<int>(kNames.size())) return kNames[cause];
  return "cause " + std::to_string(cause);
}

CFileException::CFileException(FileCause cause, long osError, std::string fileName)
    : CFileException(static_cast<int>(cause), osError, std::move(fileName)) {}

CFileException::CFileException(int cause, long osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {
  m_what = "file error (" + FileCauseName(cause) + ")";
  if (!m_strFileName.empty()) m_what += " on " + m_strFileName;
}

void ThrowIfFailed(FileCause cause, const std::string& fileName) {
  if (cause != FileCause::none) throw CFileException(cause, -1, fileName);
}

CArchiveException::CArchiveException(int cause, std::string fileName, std::string reason)
    : m_cause(cause), m_strFileName(std::move(fileName)), m_reason(std::move(reason)) {
  static constexpr const char* kNames[] = {"none",      "generic",  "readOnly", "endOfFile",
                                           "writeOnly", "badIndex", "badClass", "badSchema"};
  m_what = "archive error (";
  m_what += (cause >= 0 && cause < 8) ? kNames[cause] : ("cause " + std::to_string(cause));
  m_what += ")";
  if (!m_strFileName.empty()) m_what += " on " + m_strFileName;
  if (!m_reason.empty()) m_what += ": " + m_reason;
}

}  // namespace velmora
