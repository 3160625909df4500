// Text in packages is 8-bit Windows ANSI (code page 1252); manifests and
// listings are UTF-8.  These convert between the two.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The code page 1252 bytes of a UTF-8 text.  nullopt when the text is not
// valid UTF-8 or holds a character the code page does not have; `bad` then
// names it ("U+4E2D", "invalid UTF-8 at byte 3").
std::optional<std::string> Utf8ToAnsi(std::string_view utf8, std::string* bad = nullptr);

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate).
bool IsValidUtf8(std::string_view text);

// The UTF-8 form of code page 1252 bytes.  The five bytes the code page
// leaves undefined become the control characters of the same number, as
// Windows converts them.
std::string AnsiToUtf8(std::string_view ansi);

// For people: the UTF-8 form of code page 1252 bytes in double quotes, as
// it is except for control characters, which are shown as escapes (\r, \n,
// \t, \x1B).
std::string TextQuoted(std::string_view ansi);

}  // namespace velmora
