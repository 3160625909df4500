// A strict JSON reader (RFC 8259) for tests, by recursive descent: checks
// the syntax of the documents the listings write and gives the values of
// the expectation files beside the fixtures.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace velmora::test {

struct JsonValue {
  enum class Type { null, boolean, number, string, array, object };
  Type type = Type::null;
  bool boolean = false;
  double number = 0;
  std::string text;                // a string, as UTF-8
  std::vector<std::string> names;  // an object's member names, in order
  std::vector<JsonValue> items;    // an array's items, or an object's member values

  // An object's member; a null value when there is none.
  const JsonValue& operator[](std::string_view name) const {
    static const JsonValue kNone;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return items[i];
    return kNone;
  }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Parse() {
    JsonValue value;
    if (!Value(value)) return std::nullopt;
    Space();
    if (at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  using Type = JsonValue::Type;

  bool Value(JsonValue& out) {
    Space();
    if (Take('{')) return out.type = Type::object, Items(out, '}', true);
    if (Take('[')) return out.type = Type::array, Items(out, ']', false);
    if (Peek('"')) return out.type = Type::string, String(out.text);
    for (const auto& [word, type, flag] : {std::tuple{"true", Type::boolean, true},
                                           std::tuple{"false", Type::boolean, false},
                                           std::tuple{"null", Type::null, false}}) {
      if (text_.substr(at_, std::string_view(word).size()) != word) continue;
      at_ += std::string_view(word).size();
      return out.type = type, out.boolean = flag, true;
    }
    return Number(out);
  }
  bool Items(JsonValue& out, char close, bool object) {
    Space();
    if (Take(close)) return true;
    do {
      Space();
      if (object && !(String(out.names.emplace_back()) && (Space(), Take(':')))) return false;
      if (!Value(out.items.emplace_back())) return false;
      Space();
    } while (Take(','));
    return Take(close);
  }
  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      const std::string_view plain("\"\\/bfnrt"), meant("\"\\/\b\f\n\r\t");
      if (plain.find(e) != std::string_view::npos) out += meant[plain.find(e)];
      else if (e != 'u' || !Unicode(out)) return false;
    }
    return false;
  }
  // The four hex digits after "\u", as UTF-8 (no surrogate pairs).
  bool Unicode(std::string& out) {
    if (at_ + 4 > text_.size()) return false;
    const std::string digits(text_.substr(at_, 4));
    char* end = nullptr;
    const unsigned long cp = std::strtoul(digits.c_str(), &end, 16);
    if (end != digits.c_str() + 4) return false;
    at_ += 4;
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
    return true;
  }
  bool Number(JsonValue& out) {
    const std::size_t start = at_;
    Take('-');
    if (!Digits()) return false;
    if (Take('.') && !Digits()) return false;
    if ((Take('e') || Take('E')) && (Take('+') || Take('-'), !Digits())) return false;
    out.type = Type::number;
    out.number = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    return true;
  }
  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }
  bool Peek(char c) const { return at_ < text_.size() && text_[at_] == c; }
  bool Take(char c) { return Peek(c) ? (++at_, true) : false; }
  void Space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' ||
                                  text_[at_] == '\n'))
      ++at_;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

inline std::optional<JsonValue> ParseJson(std::string_view text) {
  return JsonReader(text).Parse();
}

}  // namespace velmora::test
