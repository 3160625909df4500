// Reading the simulated registry's file (format in sim_registry_store.h).
#include <stdexcept>

#include "backends/sim/sim_registry_names.h"
#include "backends/sim/sim_registry_store.h"

namespace velmora::sim {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One line being read; every complaint names the file and the line.
class LineReader {
 public:
  LineReader(const std::string& line, const std::string& origin, std::size_t number)
      : line_(line), origin_(origin), number_(number) {}

  [[noreturn]] void Fail(const std::string& reason) const {
    throw std::runtime_error("registry store " + origin_ + ":" + std::to_string(number_) + ": " +
                             reason);
  }

  bool AtEnd() const { return at_ >= line_.size(); }
  char Peek() const { return AtEnd() ? '\0' : line_[at_]; }
  bool Take(const std::string& text) {
    if (line_.compare(at_, text.size(), text) != 0) return false;
    at_ += text.size();
    return true;
  }
  void Expect(const std::string& text, const char* what) {
    if (!Take(text)) Fail(std::string("expected ") + what);
  }

  unsigned char HexByte() {
    const int high = at_ < line_.size() ? HexValue(line_[at_]) : -1;
    const int low = at_ + 1 < line_.size() ? HexValue(line_[at_ + 1]) : -1;
    if (high < 0 || low < 0) Fail("expected two hex digits");
    at_ += 2;
    return static_cast<unsigned char>(high * 16 + low);
  }

  std::uint32_t HexNumber(std::size_t maxDigits) {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; digits < maxDigits && !AtEnd() && HexValue(Peek()) >= 0; ++digits, ++at_)
      value = value * 16 + static_cast<std::uint32_t>(HexValue(Peek()));
    if (digits == 0) Fail("expected a hex number");
    return value;
  }

  // "text" with \\, \" and \xHH escapes.
  std::string Quoted() {
    Expect("\"", "'\"'");
    std::string text;
    while (true) {
      if (AtEnd()) Fail("unterminated quoted text");
      const char c = line_[at_++];
      if (c == '"') return text;
      if (c != '\\') {
        text += c;
      } else if (Take("x")) {
        text += static_cast<char>(HexByte());
      } else if (Peek() == '\\' || Peek() == '"') {
        text += line_[at_++];
      } else {
        Fail("unknown escape in quoted text");
      }
    }
  }

 private:
  const std::string& line_;
  const std::string& origin_;
  std::size_t number_;
  std::size_t at_ = 0;
};

std::vector<std::uint8_t> TextBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

std::vector<std::string> ParseKeyLine(const std::string& line, LineReader& reader) {
  if (line.size() < 2 || line.back() != ']') reader.Fail("a key line must end with ']'");
  std::vector<std::string> parts(1);
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] == '\\') {
      parts.emplace_back();
    } else if (line[i] == '%') {
      const int high = i + 2 < line.size() ? HexValue(line[i + 1]) : -1;
      const int low = i + 2 < line.size() ? HexValue(line[i + 2]) : -1;
      if (high < 0 || low < 0) reader.Fail("'%' in a key name must be followed by two hex digits");
      // A backslash separates key names; inside one it would make the key
      // a different one when the store is read again.
      if (high * 16 + low == '\\') reader.Fail("a key name cannot hold a backslash (%5C)");
      parts.back() += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      parts.back() += line[i];
    }
  }
  if (parts[0] != kMachineTree && parts[0] != kUsersTree)
    reader.Fail("a key must be below " + std::string(kMachineTree) + " or " + kUsersTree);
  for (const std::string& part : parts) {
    if (part.empty()) reader.Fail("empty key name");
    if (part.size() > kMaxKeyName) reader.Fail("key name longer than 256 characters");
  }
  return parts;
}

RegValue ParseValueLine(LineReader& reader) {
  RegValue value;
  if (!reader.Take("@")) value.name = reader.Quoted();
  if (value.name.size() > kMaxValueName) reader.Fail("value name longer than 16383 characters");
  reader.Expect("=", "'=' after the value name");
  if (reader.Peek() == '"') {
    value.type = regtype::sz;
    value.bytes = TextBytes(reader.Quoted());
  } else if (reader.Take("expand:")) {
    value.type = regtype::expandSz;
    value.bytes = TextBytes(reader.Quoted());
  } else if (reader.Take("dword:")) {
    value.type = regtype::dword;
    const std::uint32_t number = reader.HexNumber(8);
    for (int i = 0; i < 4; ++i) value.bytes.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
  } else if (reader.Take("hex(")) {
    value.type = reader.HexNumber(8);
    reader.Expect("):", "'):' after the type");
    while (!reader.AtEnd()) {
      if (!value.bytes.empty()) reader.Expect(",", "',' between bytes");
      value.bytes.push_back(reader.HexByte());
    }
  } else {
    reader.Fail("unknown data form (expected \"text\", expand:, dword: or hex(type):)");
  }
  if (!reader.AtEnd()) reader.Fail("unexpected text after the value");
  return value;
}

}  // namespace

void ParseStore(const std::string& text, const std::string& origin, KeyTable& keys) {
  if (text.empty()) return;
  StoredKey* current = nullptr;
  std::size_t number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    LineReader reader(line, origin, number);
    if (number == 1) {
      if (line != kStoreSignature)
        reader.Fail(std::string("not a registry store (first line is not '") + kStoreSignature +
                    "')");
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = &EnsureKey(keys, ParseKeyLine(line, reader));
    } else if (line[0] == '@' || line[0] == '"') {
      if (current == nullptr) reader.Fail("value before the first key");
      RegValue value = ParseValueLine(reader);
      current->values[FoldName(value.name)] = std::move(value);
    } else {
      reader.Fail("expected [key] or a value");
    }
  }
}

}  // namespace velmora::sim
