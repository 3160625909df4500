#include "authoring/ansi_text.h"

#include <cstdint>
#include <cstdio>

namespace velmora {
namespace {

// Code points of the bytes 0x80..0x9F; the others are their own code point.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

std::optional<unsigned char> ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) return static_cast<unsigned char>(cp);
  for (unsigned i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code point at `at`, advancing past it; nullopt for a malformed,
// overlong or surrogate sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  int extra = 0;
  char32_t cp = 0;
  char32_t least = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
    least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
    least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
    least = 0x10000;
  } else return std::nullopt;
  if (text.size() - at <= static_cast<std::size_t>(extra)) return std::nullopt;
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  at += static_cast<std::size_t>(extra) + 1;
  return cp;
}

}  // namespace

std::optional<std::string> Utf8ToAnsi(std::string_view utf8, std::string* bad) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    const std::optional<char32_t> cp = DecodeUtf8(utf8, at);
    if (!cp) {
      if (bad != nullptr) *bad = "invalid UTF-8 at byte " + std::to_string(start);
      return std::nullopt;
    }
    const std::optional<unsigned char> byte = ByteOf(*cp);
    if (!byte) {
      if (bad != nullptr) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(*cp));
        *bad = name;
      }
      return std::nullopt;
    }
    out += static_cast<char>(*byte);
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();)
    if (!DecodeUtf8(text, at)) return false;
  return true;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::string TextQuoted(std::string_view ansi) {
  std::string out = "\"";
  for (const char c : AnsiToUtf8(ansi)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace velmora
