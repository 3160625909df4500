#include "authoring/windows_file_name.h"

#include <optional>

#include "authoring/ansi_text.h"
#include "framework/ascii.h"

namespace velmora {
namespace {

// The device name the name stands for, with or without an extension ("" for
// none): Windows opens the device instead of a file of that name.
std::string DeviceName(const std::string& ansi) {
  std::string stem = AsciiUppered(ansi.substr(0, ansi.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return stem;
  const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                        stem[3] >= '1' && stem[3] <= '9';
  return numbered ? stem : std::string();
}

}  // namespace

std::string WindowsFileNameProblem(const std::string& utf8Name) {
  if (utf8Name.empty()) return "is empty";
  std::string bad;
  const std::optional<std::string> ansi = Utf8ToAnsi(utf8Name, &bad);
  if (!ansi) return "holds " + bad + ", which the Windows code page 1252 lacks";
  if (ansi->size() > 255) return "is longer than 255 characters";
  for (const char c : *ansi) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return "holds a control character";
    if (std::string("<>:\"/\\|?*").find(c) != std::string::npos)
      return std::string("holds '") + c + "'";
  }
  if (ansi->back() == ' ') return "ends with a blank";
  if (ansi->back() == '.') return "ends with a dot";
  if (const std::string device = DeviceName(*ansi); !device.empty())
    return "is the device name " + device;
  return {};
}

}  // namespace velmora
