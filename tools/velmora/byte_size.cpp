#include "byte_size.h"

#include <cstdio>
#include <string>

namespace velmora::cli {
namespace {

// Bounds that keep the arithmetic below within 64 bits: a whole number of
// at most 12 digits (far above any size an option takes) and at most 6
// decimals, each multiplied by a unit of at most 2^20.
constexpr std::size_t kMostDigits = 12;
constexpr std::size_t kMostDecimals = 6;

bool AllDigits(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::uint64_t Number(std::string_view digits) {
  std::uint64_t value = 0;
  for (const char digit : digits) value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  return value;
}

std::uint64_t UnitOf(char suffix) {
  switch (suffix) {
    case 'K':
    case 'k': return 1024;
    case 'M':
    case 'm': return std::uint64_t{1024} * 1024;
    default: return 0;
  }
}

}  // namespace

std::optional<std::uint64_t> ParseByteSize(std::string_view text) {
  if (text == "floppy") return kFloppyBytes;
  if (text.empty()) return std::nullopt;
  std::uint64_t unit = UnitOf(text.back());
  if (unit != 0) {
    text.remove_suffix(1);
  } else {
    unit = 1;
  }
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view decimals =
      point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (whole.empty() || whole.size() > kMostDigits || !AllDigits(whole)) return std::nullopt;
  if (point == std::string_view::npos) return Number(whole) * unit;
  if (unit == 1 || decimals.empty() || decimals.size() > kMostDecimals || !AllDigits(decimals)) {
    return std::nullopt;
  }
  std::uint64_t scale = 1;
  for (std::size_t i = 0; i < decimals.size(); ++i) scale *= 10;
  return Number(whole) * unit + Number(decimals) * unit / scale;
}

CLI::Validator ByteSizeOption() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        const std::optional<std::uint64_t> bytes = ParseByteSize(value);
        if (!bytes) {
          return "'" + value + "' is not a size (bytes, or a number with K or M, or floppy)";
        }
        value = std::to_string(*bytes);
        return {};
      },
      "SIZE");
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  const char* units[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  for (; value >= 1024 && unit + 1 < std::size(units); ++unit) value /= 1024;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

}  // namespace velmora::cli
