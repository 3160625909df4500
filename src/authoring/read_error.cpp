#include "authoring/read_error.h"

namespace velmora {
namespace {

std::string Line(ReadErrorKind kind, const std::string& file, std::optional<std::uint64_t> offset,
                 const std::string& what) {
  std::string line = std::string(ReadErrorKindName(kind)) + ": ";
  if (!file.empty()) {
    line += file;
    if (offset) line += " at " + std::to_string(*offset);
    line += ": ";
  }
  return line + what;
}

}  // namespace

ReadError::ReadError(ReadErrorKind kind, const std::string& file,
                     std::optional<std::uint64_t> offset, const std::string& what)
    : std::runtime_error(Line(kind, file, offset, what)), kind_(kind) {}

const char* ReadErrorKindName(ReadErrorKind kind) {
  switch (kind) {
    case ReadErrorKind::corrupt: return "corrupt";
    case ReadErrorKind::unsupported: return "unsupported";
    case ReadErrorKind::missingMedia: return "missing media";
    case ReadErrorKind::io: return "I/O error";
  }
  return "error";
}

}  // namespace velmora
