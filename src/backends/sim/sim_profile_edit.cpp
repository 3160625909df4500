// Finding, changing and copying profile entries.
#include <algorithm>

#include "backends/sim/sim_profile_text.h"

namespace velmora::sim {
namespace {

template <typename Text>
auto FindSection(Text& text, std::string_view name) {
  return std::find_if(text.sections.begin(), text.sections.end(),
                      [&](const ProfileSection& s) { return ProfileNamesEqual(s.name, name); });
}

template <typename Section>
auto FindLine(Section& section, std::string_view name) {
  return std::find_if(section.lines.begin(), section.lines.end(),
                      [&](const ProfileLine& l) { return ProfileNamesEqual(l.name, name); });
}

}  // namespace

const ProfileLine* FindProfileLine(const ProfileText& text, std::string_view section,
                                   std::string_view key) {
  const auto found = FindSection(text, TrimProfileBlanks(UpToNul(section)));
  if (found == text.sections.end()) return nullptr;
  const auto line = FindLine(*found, TrimProfileBlanks(UpToNul(key)));
  return line == found->lines.end() ? nullptr : &*line;
}

bool SetProfileLine(ProfileText& text, std::string_view section, std::string_view key,
                    std::string_view value) {
  section = UpToNul(section);
  key = UpToNul(key);
  const std::string newValue(TrimLeadingProfileBlanks(UpToNul(value)));
  const auto found = FindSection(text, TrimProfileBlanks(section));
  if (found == text.sections.end()) {
    text.sections.push_back({std::string(TrimLeadingProfileBlanks(section)), {}});
    text.sections.back().lines.push_back({std::string(TrimLeadingProfileBlanks(key)), newValue});
    return true;
  }
  const auto line = FindLine(*found, TrimProfileBlanks(key));
  if (line == found->lines.end()) {
    found->lines.push_back({std::string(TrimLeadingProfileBlanks(key)), newValue});
    return true;
  }
  if (line->value == newValue) return false;
  line->value = newValue;
  return true;
}

bool DeleteProfileLine(ProfileText& text, std::string_view section, std::string_view key) {
  section = UpToNul(section);
  key = UpToNul(key);
  for (ProfileSection& candidate : text.sections) {
    if (!ProfileNamesEqual(candidate.name, section)) continue;
    const auto line = FindLine(candidate, key);
    if (line != candidate.lines.end()) {
      candidate.lines.erase(line);
      return true;
    }
  }
  return false;
}

bool DeleteProfileSection(ProfileText& text, std::string_view section) {
  const auto found = FindSection(text, UpToNul(section));
  if (found == text.sections.end()) return false;
  text.sections.erase(found);
  return true;
}

std::string CopyProfileValue(std::string_view value, std::uint32_t size) {
  if (size == 0) return {};
  value = UpToNul(value);
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);  // the closing quote goes below
  }
  std::string copy(value.substr(0, size - 1));
  // The closing quote is cut off when the buffer holds all of value; when
  // it holds exactly one character less, the last character of the text
  // goes instead.
  if (quoted && size >= value.size() && !copy.empty()) copy.pop_back();
  return copy;
}

std::string_view TrimProfileDefault(std::string_view value) {
  value = UpToNul(value);
  while (value.size() > 1 && value.back() == ' ') value.remove_suffix(1);
  return value;
}

}  // namespace velmora::sim
