// Texts that go inside Program Manager commands: group names, item titles
// and command lines.  A command puts each argument between double quotes
// and has no way to escape anything inside them, so a double quote ends
// the argument early and lets the rest of the text run as commands of its
// own ("x")][DeleteGroup("Accessories" deletes a group); a control
// character (a line break above all) has no place in a name either.  Such
// a text is refused wherever it enters: the package checks, the group
// dialog and the client itself.
#pragma once

#include <string_view>

namespace velmora {

// A double quote, a byte below 0x20 or DEL (0x7F).
constexpr bool BreaksProgmanCommand(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return c == '"' || byte < 0x20 || byte == 0x7F;
}

// Whether the text can stand inside a Program Manager command: it holds no
// character that BreaksProgmanCommand.
constexpr bool FitsProgmanCommand(std::string_view text) {
  for (const char c : text)
    if (BreaksProgmanCommand(c)) return false;
  return true;
}

}  // namespace velmora
