// Parsing and writing profile files.
#include "backends/sim/sim_profile_text.h"

#include <algorithm>

#include "backends/sim/sim_profile_encoding.h"
#include "framework/ascii.h"

namespace velmora::sim {
namespace {

bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

// The text between the byte-order mark and the end, as the bytes the
// parser reads (UTF-16 is turned into UTF-8).
std::string Body(std::string_view bytes, ProfileEncoding& encoding) {
  std::size_t mark = 0;
  encoding = DetectProfileEncoding(bytes, mark);
  bytes.remove_prefix(mark);
  if (encoding == ProfileEncoding::utf16le) return Utf16ToUtf8(bytes, false);
  if (encoding == ProfileEncoding::utf16be) return Utf16ToUtf8(bytes, true);
  return std::string(bytes);
}

}  // namespace

std::string_view TrimLeadingProfileBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimTrailingProfileBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimProfileBlanks(std::string_view text) {
  return TrimTrailingProfileBlanks(TrimLeadingProfileBlanks(text));
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  return AsciiEqualIgnoringCase(a, b);
}

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

ProfileText ParseProfile(std::string_view bytes) {
  ProfileText text;
  const std::string body = Body(bytes, text.encoding);
  text.sections.push_back({});
  // Whether the section's last line so far has an empty key name.
  bool lastNameEmpty = false;
  bool anyLine = false;

  const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
  for (std::size_t pos = 0; pos < body.size();) {
    const std::size_t start = pos;
    while (pos < body.size() && !isBreak(body[pos])) ++pos;
    const std::string_view line =
        TrimProfileBlanks(std::string_view(body).substr(start, pos - start));
    while (pos < body.size() && isBreak(body[pos])) ++pos;
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        const std::string_view name = TrimProfileBlanks(line.substr(1, close - 1));
        text.sections.push_back({std::string(UpToNul(name)), {}});
        anyLine = false;
        continue;
      }
    }

    std::string_view name = line;
    std::optional<std::string_view> value;
    if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      name = TrimTrailingProfileBlanks(line.substr(0, equals));
      value = TrimLeadingProfileBlanks(line.substr(equals + 1));
    }
    if (name.empty() && anyLine && lastNameEmpty) continue;
    ProfileLine entry{std::string(UpToNul(name)), std::nullopt};
    if (value) entry.value = std::string(UpToNul(*value));
    lastNameEmpty = entry.name.empty();
    anyLine = true;
    text.sections.back().lines.push_back(std::move(entry));
  }
  return text;
}

std::string FormatProfile(const ProfileText& text) {
  std::string body;
  for (const ProfileSection& section : text.sections) {
    if (!section.name.empty()) {
      body += '[';
      body += section.name;
      body += "]\r\n";
    }
    for (const ProfileLine& line : section.lines) {
      body += line.name;
      if (line.value) {
        body += '=';
        body += *line.value;
      }
      body += "\r\n";
    }
  }
  std::string bytes(ProfileEncodingMark(text.encoding));
  if (text.encoding == ProfileEncoding::utf16le) bytes += Utf8ToUtf16(body, false);
  else if (text.encoding == ProfileEncoding::utf16be) bytes += Utf8ToUtf16(body, true);
  else {
    // An ANSI text whose first line starts with the bytes of a byte-order
    // mark would be read back in that encoding; a leading line break (a
    // blank line, which reading drops) keeps it ANSI.
    std::size_t markLength = 0;
    if (DetectProfileEncoding(body, markLength) != ProfileEncoding::ansi) bytes += "\r\n";
    bytes += body;
  }
  return bytes;
}

}  // namespace velmora::sim
