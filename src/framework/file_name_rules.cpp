#include "framework/file_name_rules.h"

#include <algorithm>

#include "framework/ascii.h"

namespace velmora {
namespace {

constexpr std::string_view kRefusedCharacters = "<>:\"/\\|?*";

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool IsRefusedInFileName(char c) {
  return static_cast<unsigned char>(c) < 0x20 ||
         kRefusedCharacters.find(c) != std::string_view::npos;
}

std::string DeviceNameOf(std::string_view name) {
  std::string stem = AsciiUppered(std::string(name.substr(0, name.find('.'))));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
      stem == "CONOUT$")
    return stem;
  const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                        stem[3] >= '1' && stem[3] <= '9';
  return numbered ? stem : std::string();
}

std::string FileNameProblem(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "is '" + std::string(name) + "'";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "holds a control character";
    if (kRefusedCharacters.find(c) != std::string_view::npos)
      return std::string("holds '") + c + "'";
  }
  if (name.back() == ' ') return "ends with a blank";
  if (name.back() == '.') return "ends with a dot";
  if (const std::string device = DeviceNameOf(name); !device.empty())
    return "is the device name " + device;
  if (name.size() > kMaxFileNameLength)
    return "is longer than " + std::to_string(kMaxFileNameLength) + " characters";
  return {};
}

std::string RelativeFileNameProblem(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name.size() >= 2 && name[1] == ':' && IsDriveLetter(name[0]))
    return "names the drive " + std::string(name.substr(0, 2));
  if (name.front() == '\\') return "starts with a backslash";
  const bool single = name.find('\\') == std::string_view::npos;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(name.find('\\', start), name.size());
    const std::string_view component = name.substr(start, end - start);
    if (component.empty()) return "has an empty component";
    if (component == "." || component == "..")
      return "has the component '" + std::string(component) + "'";
    if (std::string problem = FileNameProblem(component); !problem.empty())
      return single ? problem : "has a component that " + problem;
    if (end == name.size()) return {};
    start = end + 1;
  }
}

}  // namespace velmora
