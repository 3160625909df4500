#include "authoring/display_text.h"

#include <algorithm>

#include "authoring/ansi_text.h"

namespace velmora {
namespace {

// Lines reported before the rest are only counted.
constexpr std::size_t kMostProblems = 10;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The text with every line end as CR LF, noting which bare ones it met.
std::string WithCrLf(std::string_view text, DisplayText& result) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\r\n";
      ++i;
    } else if (c == '\r' || c == '\n') {
      (c == '\r' ? result.bareReturns : result.bareLineFeeds) = true;
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// Converts CR LF separated UTF-8 lines to code page 1252, noting the first
// character of each line the code page lacks.
std::string LinesToAnsi(std::string_view utf8, DisplayText& result) {
  std::string out;
  std::size_t unreported = 0;
  std::size_t line = 1;
  for (std::size_t start = 0; start <= utf8.size(); ++line) {
    const std::size_t end = std::min(utf8.find("\r\n", start), utf8.size());
    std::string bad;
    if (const std::optional<std::string> ansi = Utf8ToAnsi(utf8.substr(start, end - start), &bad)) {
      out += *ansi;
    } else if (result.problems.size() < kMostProblems) {
      result.problems.push_back(std::to_string(line) + ": " + bad + " is not in code page 1252");
    } else {
      ++unreported;
    }
    if (end == utf8.size()) break;
    out += "\r\n";
    start = end + 2;
  }
  if (unreported != 0)
    result.problems.push_back("and " + std::to_string(unreported) +
                              " more lines with characters code page 1252 lacks");
  return out;
}

}  // namespace

DisplayText ConvertDisplayText(std::string_view file) {
  DisplayText result;
  const bool high = std::any_of(file.begin(), file.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  result.fromUtf8 = high && IsValidUtf8(file);
  if (result.fromUtf8 && file.starts_with(kByteOrderMark))
    file.remove_prefix(kByteOrderMark.size());
  const std::string crlf = WithCrLf(file, result);
  result.bytes = result.fromUtf8 ? LinesToAnsi(crlf, result) : crlf;
  return result;
}

std::string DisplayTextChanges(const DisplayText& text) {
  std::string ends;
  if (text.bareLineFeeds || text.bareReturns)
    ends = std::string(text.bareLineFeeds ? "LF" : "") +
           (text.bareLineFeeds && text.bareReturns ? " and " : "") +
           (text.bareReturns ? "CR" : "") + " to CR LF line ends";
  if (!text.fromUtf8) return ends.empty() ? ends : "converted " + ends;
  return "converted from UTF-8 to code page 1252" + (ends.empty() ? "" : " and " + ends);
}

}  // namespace velmora
