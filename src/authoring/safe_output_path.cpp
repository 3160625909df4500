#include "authoring/safe_output_path.h"

#include "framework/file_name_rules.h"

namespace velmora {
namespace {

constexpr std::size_t kMaxComponentLength = 200;

// What Windows refuses in a name (framework/file_name_rules.h), and DEL,
// which a Unix terminal would act on.
bool IsForbidden(char c) { return IsRefusedInFileName(c) || c == '\x7F'; }

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
        if (IsForbidden(c)) {
          c = '_';
          changed = true;
        }
      }
      if (component.size() > kMaxComponentLength) {
        component.resize(kMaxComponentLength);
        changed = true;
      }
      // Windows drops trailing dots and blanks, which would make two names one.
      while (!component.empty() && (component.back() == '.' || component.back() == ' ')) {
        component.pop_back();
        changed = true;
      }
      if (component.empty()) component = "_";
      if (!DeviceNameOf(component).empty()) {
        component = "_" + component;
        warn("device name \"" + component.substr(1) + "\" renamed");
      }
      // Placeholders such as <Windows> are expected; say nothing about them.
      const bool placeholder =
          p == 0 && pieces[p].size() > 2 && pieces[p].front() == '<' && pieces[p].back() == '>';
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
