#include "backends/sim/sim_registry_store.h"

#include <cstdio>

#include "backends/sim/sim_registry_names.h"

namespace velmora::sim {
namespace {

constexpr const char* kHexDigits = "0123456789abcdef";

bool IsPlain(unsigned char c) { return c >= 0x20 && c < 0x7F; }

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 15];
}

std::string EscapeKeyPath(const std::string& path) {
  std::string out;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsPlain(c) && c != '%') {
      out += ch;
    } else {
      out += '%';
      AppendHexByte(out, c);
    }
  }
  return out;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '\\' || ch == '"') {
      out += '\\';
      out += ch;
    } else if (IsPlain(c)) {
      out += ch;
    } else {
      out += "\\x";
      AppendHexByte(out, c);
    }
  }
  return out + '"';
}

// Bytes that are exactly one text and its terminating zero.
bool IsPlainText(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0) return false;
  return true;
}

std::string FormatData(const RegValue& value) {
  const auto& bytes = value.bytes;
  if ((value.type == regtype::sz || value.type == regtype::expandSz) && IsPlainText(bytes)) {
    const std::string text(bytes.begin(), bytes.end() - 1);
    return (value.type == regtype::expandSz ? "expand:" : "") + Quote(text);
  }
  if (value.type == regtype::dword && bytes.size() == 4) {
    std::string out = "dword:";
    for (int i = 3; i >= 0; --i) AppendHexByte(out, bytes[static_cast<std::size_t>(i)]);
    return out;
  }
  std::string out = "hex(";
  char number[16];
  std::snprintf(number, sizeof number, "%x", static_cast<unsigned>(value.type));
  out += number;
  out += "):";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ',';
    AppendHexByte(out, bytes[i]);
  }
  return out;
}

}  // namespace

std::string FormatStore(const KeyTable& keys) {
  std::string out = kStoreSignature;
  out += "\n; Velmora simulated registry.  [key], then \"value\"=data; @ is the default value.\n";
  for (const auto& [folded, key] : keys) {
    if (IsVolatile(folded)) continue;
    out += "\n[" + EscapeKeyPath(key.path) + "]\n";
    for (const auto& [name, value] : key.values)
      out += (value.name.empty() ? std::string("@") : Quote(value.name)) + '=' + FormatData(value) +
             '\n';
  }
  return out;
}

}  // namespace velmora::sim
