// ASCII case folding: only the letters A-Z and a-z change, whatever the
// locale, as Windows folds the names of files, registry keys, profile
// sections and keys.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiLowered(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

inline std::string AsciiUppered(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

// Equal but for the case of ASCII letters.
constexpr bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace velmora
