#include "backends/sim/sim_paths.h"

#include <cstring>

#include "framework/ascii.h"
#include "framework/file_name_rules.h"

namespace velmora::sim {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsInvalidChar(unsigned char c) { return c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr; }

// Windows drops trailing dots and spaces from the last component, and a
// single trailing dot from the others.
std::string StripComponent(std::string part, bool last) {
  if (last) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  } else if (!part.empty() && part.back() == '.') {
    part.pop_back();
  }
  return part;
}

}  // namespace

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsReservedDeviceName(const std::string& name) { return !DeviceNameOf(name).empty(); }

bool IsValidName(const std::string& name) { return FileNameProblem(name).empty(); }

FileCause ParseWindowsPath(const std::string& text, const WinPath& current, WinPath& out) {
  if (text.empty()) return FileCause::badPath;
  // \\server\share, \\?\ and \\.\ all start with two separators.
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) return FileCause::badPath;

  const bool hasDrive = text.size() >= 2 && text[1] == ':' && IsDriveLetter(text[0]);
  for (std::size_t i = hasDrive ? 2 : 0; i < text.size(); ++i)
    if (IsInvalidChar(static_cast<unsigned char>(text[i]))) return FileCause::badPath;

  WinPath result;
  std::string_view rest(text);
  if (hasDrive) {
    result.drive = AsciiUpper(text[0]);
    rest.remove_prefix(2);
    // "C:x" continues from the current directory only when it is on C:.
    if ((rest.empty() || !IsSeparator(rest.front())) && current.drive == result.drive)
      result.parts = current.parts;
  } else {
    result.drive = current.drive;
    if (!IsSeparator(rest.front())) result.parts = current.parts;
  }

  // Split into components; a run of separators counts as one.
  std::vector<std::string_view> segments;
  for (std::size_t pos = 0; pos < rest.size();) {
    if (IsSeparator(rest[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    segments.push_back(rest.substr(pos, end - pos));
    pos = end;
  }
  bool endsInSeparator = !rest.empty() && IsSeparator(rest.back());

  for (std::size_t i = 0; i < segments.size(); ++i) {
    const std::string_view segment = segments[i];
    if (segment == ".") continue;
    if (segment == "..") {
      // Windows clamps ".." at the drive's root.
      if (!result.parts.empty()) result.parts.pop_back();
      continue;
    }
    const bool last = i + 1 == segments.size() && !endsInSeparator;
    std::string part = StripComponent(std::string(segment), last);
    if (part.empty()) {
      // "a\..." is "a\": the name vanishes and leaves its separator.
      if (last) endsInSeparator = true;
      continue;
    }
    if (!IsValidName(part)) return FileCause::badPath;
    result.parts.push_back(std::move(part));
  }
  result.trailingSeparator = endsInSeparator && !result.parts.empty();

  if (FormatWindowsPath(result).size() >= kMaxPathBytes) return FileCause::badPath;
  out = std::move(result);
  return FileCause::none;
}

std::string FormatWindowsPath(const WinPath& path, bool trailing) {
  std::string text{path.drive, ':', '\\'};
  for (std::size_t i = 0; i < path.parts.size(); ++i) {
    if (i > 0) text += '\\';
    text += path.parts[i];
  }
  if (trailing && path.trailingSeparator && !path.parts.empty()) text += '\\';
  return text;
}

}  // namespace velmora::sim
