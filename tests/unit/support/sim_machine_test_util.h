// Small helpers for driving a Machine in unit tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "framework/ascii.h"
#include "framework/file_exception.h"
#include "platform/machine.h"

namespace velmora::testing {

// Whether the host renames a file the simulated machine holds open, as it
// moves a running program's image aside.  A Windows host does not: its
// files are opened there without delete sharing.
#ifdef _WIN32
inline constexpr bool kHostRenamesOpenFiles = false;
#else
inline constexpr bool kHostRenamesOpenFiles = true;
#endif
inline constexpr const char* kNoRenameOfOpenFiles =
    "the host cannot rename a file the simulated machine holds open";

// Creates (or replaces) a file holding bytes; answers the first failure.
inline FileCause PutFile(Machine& machine, const std::string& path, const std::string& bytes) {
  FileHandle handle = kNoFile;
  FileCause cause = machine.OpenFile(path, FileAccess::write, FileShare::exclusive,
                                     FileDisposition::createAlways, handle);
  if (cause != FileCause::none) return cause;
  cause = machine.WriteFile(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  const FileCause closed = machine.CloseFile(handle);
  return cause != FileCause::none ? cause : closed;
}

// "<fileNotFound>": how GetFile shows a failure.  Built by appending, as
// GCC 12 at -O3 warns falsely about "<" + string.
inline std::string Bracketed(FileCause cause) {
  std::string text(1, '<');
  text += FileCauseName(static_cast<int>(cause));
  text += '>';
  return text;
}

// The whole content of a file, or "<cause>" when it cannot be read.
inline std::string GetFile(Machine& machine, const std::string& path) {
  FileHandle handle = kNoFile;
  FileCause cause = machine.OpenFile(path, FileAccess::read, FileShare::denyWrite,
                                     FileDisposition::openExisting, handle);
  if (cause != FileCause::none) return Bracketed(cause);
  std::string content;
  char buffer[512];
  std::uint32_t got = 0;
  while ((cause = machine.ReadFile(handle, buffer, sizeof buffer, got)) == FileCause::none &&
         got > 0)
    content.append(buffer, got);
  machine.CloseFile(handle);
  if (cause != FileCause::none) return Bracketed(cause);
  return content;
}

// Windows paths compare without regard to ASCII case.
inline bool PathsEqual(const std::string& a, const std::string& b) {
  return AsciiEqualIgnoringCase(a, b);
}

}  // namespace velmora::testing
