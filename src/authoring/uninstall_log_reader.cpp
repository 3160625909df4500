#include "authoring/uninstall_log_reader.h"

#include "authoring/ansi_text.h"

namespace velmora {
namespace {

// Longest class name shown in a message; a damaged one can be any length.
constexpr std::size_t kShownNameLength = 64;

// The header or the entry concerned; nothing for trailing bytes, which the
// offset alone places.
std::string Place(const UninstallLogError& error) {
  if (error.kind == LogErrorKind::trailingBytes) return {};
  if (error.inAdditions) return "additions";
  if (error.entry == 0) return "header";
  std::string place = "entry " + std::to_string(error.entry) + " of " + std::to_string(error.count);
  if (!error.className.empty() && error.kind != LogErrorKind::unknownClass)
    place += " (" + error.className + ")";
  return place;
}

std::string What(const UninstallLogError& error) {
  switch (error.kind) {
    case LogErrorKind::truncated:
      return std::string("the log ends before the ") +
             (error.inAdditions  ? "additions are"
              : error.entry == 0 ? "header is"
                                 : "entry is") +
             " complete";
    case LogErrorKind::badStringLength: return "invalid string length prefix FF FE FF";
    case LogErrorKind::newerVersion:
      if (error.inAdditions)
        return "additions version " + error.detail + " is newer than " +
               std::to_string(kLogAdditionsVersion) + ", the newest this program reads";
      return "stored version " + error.detail + " is newer than " +
             std::to_string(kStepArchiveVersion) + ", the newest this program reads";
    case LogErrorKind::unknownClass: {
      std::string name = error.className.substr(0, kShownNameLength);
      if (error.className.size() > kShownNameLength) name += "...";
      return "unknown step class " + TextQuoted(name);
    }
    case LogErrorKind::trailingBytes:
      return error.detail + " bytes follow the " + std::to_string(error.count) +
             " entries the header announces";
    case LogErrorKind::readError: return "read error: " + error.detail;
    case LogErrorKind::refusedValue: return error.detail;
  }
  return {};
}

}  // namespace

std::string DescribeLogError(const UninstallLogError& error) {
  const std::string place = Place(error);
  const std::string offset = "offset " + std::to_string(error.offset);
  return (place.empty() ? offset : place + ", " + offset) + ": " + What(error);
}

std::string NotALogReason(const UninstallLogError& error) {
  if (error.inAdditions) return {};
  if (error.entry == 0 && error.kind == LogErrorKind::truncated)
    return error.offset == 0 ? "it is empty"
                             : "it does not start with a product title and an entry count";
  if (error.entry == 1 && error.kind == LogErrorKind::unknownClass)
    return "it does not start with a product title, an entry count and a step class name";
  if (error.count == 0 && error.kind == LogErrorKind::trailingBytes)
    return "its header announces no entries, and what follows is no additions";
  return {};
}

ReadError AsReadError(const UninstallLogError& error, const std::string& file) {
  const ReadErrorKind kind = error.kind == LogErrorKind::newerVersion ? ReadErrorKind::unsupported
                             : error.kind == LogErrorKind::readError  ? ReadErrorKind::io
                                                                      : ReadErrorKind::corrupt;
  const std::string place = Place(error);
  return ReadError(kind, file, error.offset, (place.empty() ? "" : place + ": ") + What(error));
}

}  // namespace velmora
