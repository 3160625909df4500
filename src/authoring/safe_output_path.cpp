#include "authoring/safe_output_path.h"

#include <array>

#include "framework/ascii.h"

namespace velmora {
namespace {

constexpr std::size_t kMaxComponentLength = 200;

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name a device on Windows, with any
// extension and with trailing blanks.
bool IsDeviceName(const std::string& component) {
  std::string base = AsciiUppered(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static constexpr std::array<const char*, 4> kNames = {"CON", "PRN", "AUX", "NUL"};
  for (const char* name : kNames) {
    if (base == name) return true;
  }
  if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")))
    return base[3] >= '1' && base[3] <= '9';
  if (base == "CONIN$" || base == "CONOUT$") return true;
  return false;
}

bool IsForbidden(unsigned char c) {
  return c < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
         c == '*' || c == 127;
}

}  // namespace

std::string SafeOutputPath::Joined() const {
  std::string joined;
  for (const std::string& component : components) {
    if (!joined.empty()) joined += '/';
    joined += component;
  }
  return joined;
}

SafeOutputPath MakeSafeOutputPath(const std::vector<std::string>& pieces) {
  SafeOutputPath out;
  std::string original;
  for (const std::string& piece : pieces) {
    if (!original.empty()) original += "\\";
    original += piece;
  }
  auto warn = [&](const std::string& what) {
    out.warnings.push_back("\"" + original + "\": " + what);
  };

  for (std::size_t p = 0; p < pieces.size(); ++p) {
    std::string text = pieces[p];
    // A drive ("C:") or a root ("\", "\\server") at the start of a piece
    // would leave the output folder.
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
      warn("drive " + text.substr(0, 2) + " dropped");
      text.erase(0, 2);
    }
    if (!text.empty() && (text[0] == '\\' || text[0] == '/')) warn("made relative");
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find_first_of("\\/", start);
      if (end == std::string::npos) end = text.size();
      std::string component = text.substr(start, end - start);
      start = end + 1;
      if (component.empty() || component == ".") continue;
      if (component.find_first_not_of('.') == std::string::npos) {
        warn("\"" + component + "\" refused");
        continue;
      }
      bool changed = false;
      for (char& c : component) {
        if (IsForbidden(static_cast<unsigned char>(c))) {
          c = '_';
          changed = true;
        }
      }
      // Windows drops trailing dots and blanks, which would make two names one.
      while (!component.empty() && (component.back() == '.' || component.back() == ' ')) {
        component.pop_back();
        changed = true;
      }
      if (component.empty()) component = "_";
      if (IsDeviceName(component)) {
        component = "_" + component;
        warn("device name \"" + component.substr(1) + "\" renamed");
      }
      if (component.size() > kMaxComponentLength) {
        component.resize(kMaxComponentLength);
        changed = true;
      }
      // Placeholders such as <Windows> are expected; say nothing about them.
      const bool placeholder = p == 0 && pieces[p].size() > 2 && pieces[p].front() == '<' &&
                               pieces[p].back() == '>';
      if (changed && !placeholder) warn("characters replaced in \"" + component + "\"");
      out.components.push_back(std::move(component));
    }
  }
  if (out.components.empty()) {
    out.components.push_back("_unnamed");
    warn("no usable name");
  }
  return out;
}

}  // namespace velmora
