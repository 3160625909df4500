// A strict JSON reader (RFC 8259) for tests, by recursive descent: checks
// the documents the listings write and gives the values of expectation
// files.  Escapes other than \" \\ \/ are kept as written.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

struct JsonValue {
  enum class Type { null, boolean, number, string, array, object };
  Type type = Type::null;
  double number = 0;               // also a boolean's 0 or 1
  std::string text;                // a string
  std::vector<std::string> names;  // an object's member names
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
    if (!Value(value) || (Space(), at_ != text_.size())) return std::nullopt;
    return value;
  }

 private:
  using Type = JsonValue::Type;

  bool Value(JsonValue& out) {
    Space();
    if (Take('{')) return out.type = Type::object, Items(out, '}', true);
    if (Take('[')) return out.type = Type::array, Items(out, ']', false);
    if (Peek('"')) return out.type = Type::string, String(out.text);
    if (Word("true")) return out.type = Type::boolean, out.number = 1, true;
    if (Word("false")) return out.type = Type::boolean, true;
    if (Word("null")) return true;
    const std::size_t start = at_;  // integers only: the documents hold no others
    Take('-');
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    if (at_ == start || text_[at_ - 1] == '-') return false;
    out.number = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    return out.type = Type::number, true;
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
    for (; at_ < text_.size(); ++at_) {
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') return ++at_, true;
      if (c < 0x20) return false;
      if (c == '\\') {
        const std::string_view escapes = "\"\\/bfnrtu";
        if (++at_ >= text_.size() || escapes.find(text_[at_]) == std::string_view::npos)
          return false;
        if (escapes.find(text_[at_]) > 2) out += '\\';
      }
      out += text_[at_];
    }
    return false;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    return at_ += word.size(), true;
  }
  bool Peek(char c) const { return at_ < text_.size() && text_[at_] == c; }
  bool Take(char c) { return Peek(c) ? (++at_, true) : false; }
  void Space() {
    while (Peek(' ') || Peek('\t') || Peek('\r') || Peek('\n')) ++at_;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

inline std::optional<JsonValue> ParseJson(std::string_view text) {
  return JsonReader(text).Parse();
}

}  // namespace velmora::test
