#include "backends/sim/sim_profile_encoding.h"

#include <cstdint>

namespace velmora::sim {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

unsigned Byte(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

bool IsContinuation(std::string_view text, std::size_t at) {
  return at < text.size() && (Byte(text, at) & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

// Decodes the shortest-form sequence at text[at], answering its length, or
// 0 when the bytes there start none.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& code) {
  const unsigned lead = Byte(text, at);
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(text, at + i)) return 0;
    code = (code << 6) | (Byte(text, at + i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

ProfileEncoding DetectProfileEncoding(std::string_view bytes, std::size_t& markLength) {
  if (bytes.starts_with(kUtf8Mark)) {
    markLength = kUtf8Mark.size();
    return ProfileEncoding::utf8;
  }
  if (bytes.starts_with(kUtf16LeMark)) {
    markLength = kUtf16LeMark.size();
    return ProfileEncoding::utf16le;
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    markLength = kUtf16BeMark.size();
    return ProfileEncoding::utf16be;
  }
  markLength = 0;
  return ProfileEncoding::ansi;
}

std::string_view ProfileEncodingMark(ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::utf8: return kUtf8Mark;
    case ProfileEncoding::utf16le: return kUtf16LeMark;
    case ProfileEncoding::utf16be: return kUtf16BeMark;
    case ProfileEncoding::ansi: break;
  }
  return {};
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  const auto unitAt = [&](std::size_t i) {
    const unsigned first = Byte(bytes, 2 * i), second = Byte(bytes, 2 * i + 1);
    return static_cast<std::uint32_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const std::uint32_t next = unitAt(i + 1);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, unit);  // unpaired surrogates too, as three bytes
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t at = 0; at < text.size();) {
    std::uint32_t code = 0;
    const std::size_t length = DecodeUtf8(text, at, code);
    if (length == 0) {
      AppendUnit(out, Byte(text, at), bigEndian);
      ++at;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      AppendUnit(out, 0xD800 + (code >> 10), bigEndian);
      AppendUnit(out, 0xDC00 + (code & 0x3FF), bigEndian);
    } else {
      AppendUnit(out, code, bigEndian);
    }
    at += length;
  }
  return out;
}

}  // namespace velmora::sim
