#include "datafile/package_description.h"

#include <charconv>
#include <vector>

#include "datafile/crc32.h"
#include "datafile/data_file_layout.h"
#include "framework/ascii.h"
#include "framework/file.h"

namespace velmora {
namespace {

constexpr std::string_view kFirstLine = "velmora package description ";
constexpr std::uint32_t kDigestBlock = 1u << 16;

std::string Hex8(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return text;
}

// A decimal number without sign or leading zero that fits 32 bits.
bool ParseNumber(std::string_view text, std::uint32_t& value) {
  if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Exactly eight lowercase hexadecimal digits.
bool ParseHex8(std::string_view text, std::uint32_t& value) {
  if (text.size() != 8) return false;
  value = 0;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (!digit && !(c >= 'a' && c <= 'f')) return false;
    value = value << 4 | static_cast<std::uint32_t>(digit ? c - '0' : c - 'a' + 10);
  }
  return true;
}

// "velmor.N" or "velmore.N", N from 1 without a leading zero.
bool IsMediaName(std::string_view name) {
  for (const std::string_view stem : {kFirstPartStem, kSecondPartStem}) {
    std::uint32_t number = 0;
    if (name.starts_with(stem) && ParseNumber(name.substr(stem.size()), number) && number > 0)
      return true;
  }
  return false;
}

// The description's lines, checked one at a time in order.
class Parser {
 public:
  Parser(std::string_view text, PackageDescription& out) : text_(text), out_(out) {}

  std::string Parse() {
    if (text_.size() > kLargestDescription)
      return "it is " + std::to_string(text_.size()) + " bytes, more than " +
             std::to_string(kLargestDescription);
    std::string_view line;
    if (!Next(line)) return Problem();
    if (!line.starts_with(kFirstLine))
      return At("it does not start with '" + std::string(kFirstLine) + "'");
    std::uint32_t version = 0;
    if (!ParseNumber(line.substr(kFirstLine.size()), version))
      return At("the version is not a number");
    if (version != kDescriptionVersion)
      return At("format version " + std::to_string(version) + "; this program reads version " +
                std::to_string(kDescriptionVersion));
    if (!Next(line)) return Problem();
    while (line.starts_with("media ")) {
      if (std::string problem = Media(line.substr(6)); !problem.empty()) return At(problem);
      if (!Next(line)) return Problem();
    }
    if (out_.files.empty()) return At("no media file is listed");
    for (const auto& [key, value] :
         {std::pair{"version ", &out_.product.version},
          std::pair{"publisher ", &out_.product.publisher}, std::pair{"url ", &out_.product.url}}) {
      if (!line.starts_with(key)) continue;
      *value = std::string(line.substr(std::string_view(key).size()));
      if (value->empty()) return At(std::string(key) + "is empty");
      if (std::string problem = ProductDetailProblem(*value); !problem.empty())
        return At(std::string(key) + problem);
      if (!Next(line)) return Problem();
    }
    const std::size_t covered = lineStart_;
    std::uint32_t stored = 0;
    if (!line.starts_with("crc ") || !ParseHex8(line.substr(4), stored))
      return At("expected 'crc' and eight lowercase hexadecimal digits");
    if (at_ != text_.size()) return At("more text follows the 'crc' line");
    const std::uint32_t actual = Crc32(text_.data(), covered);
    if (stored != actual)
      return At("the file's CRC-32 is " + Hex8(actual) + ", the 'crc' line gives " + Hex8(stored));
    return {};
  }

 private:
  // The next line without its LF; false at the end of the text or when the
  // last line has no LF.
  bool Next(std::string_view& line) {
    ++lineNumber_;
    lineStart_ = at_;
    const std::size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos) {
      cutShort_ = true;
      return false;
    }
    line = text_.substr(at_, end - at_);
    at_ = end + 1;
    return true;
  }
  std::string Problem() const {
    return "line " + std::to_string(lineNumber_) + ": the file is cut short" +
           (cutShort_ && lineStart_ < text_.size() ? " (the line has no line end)" : "");
  }
  std::string At(const std::string& problem) const {
    return "line " + std::to_string(lineNumber_) + ": " + problem;
  }

  std::string Media(std::string_view fields) {
    const std::size_t first = fields.find(' ');
    const std::size_t second =
        first == std::string_view::npos ? first : fields.find(' ', first + 1);
    if (second == std::string_view::npos) return "expected 'media NAME SIZE CRC'";
    MediaDigest digest;
    digest.name = std::string(fields.substr(0, first));
    if (!IsMediaName(digest.name)) return "'" + digest.name + "' is not a media file name";
    if (out_.Find(digest.name) != nullptr) return digest.name + " is listed twice";
    if (!ParseNumber(fields.substr(first + 1, second - first - 1), digest.size))
      return "the size of " + digest.name + " is not a number";
    if (!ParseHex8(fields.substr(second + 1), digest.crc))
      return "the CRC-32 of " + digest.name + " is not eight lowercase hexadecimal digits";
    out_.files.push_back(std::move(digest));
    return {};
  }

  std::string_view text_;
  PackageDescription& out_;
  std::size_t at_ = 0;
  std::size_t lineStart_ = 0;
  int lineNumber_ = 0;
  bool cutShort_ = false;
};

}  // namespace

const MediaDigest* PackageDescription::Find(std::string_view name) const {
  for (const MediaDigest& file : files)
    if (AsciiEqualIgnoringCase(file.name, name)) return &file;
  return nullptr;
}

std::string ProductDetailProblem(std::string_view text) {
  if (text.size() > kLongestProductDetail)
    return "is " + std::to_string(text.size()) + " bytes long, more than " +
           std::to_string(kLongestProductDetail);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "holds a control character";
  }
  return {};
}

std::string FormatDescription(const PackageDescription& description) {
  std::string text = std::string(kFirstLine) + std::to_string(kDescriptionVersion) + "\n";
  for (const MediaDigest& file : description.files)
    text += "media " + file.name + " " + std::to_string(file.size) + " " + Hex8(file.crc) + "\n";
  const ProductDetails& product = description.product;
  if (!product.version.empty()) text += "version " + product.version + "\n";
  if (!product.publisher.empty()) text += "publisher " + product.publisher + "\n";
  if (!product.url.empty()) text += "url " + product.url + "\n";
  return text + "crc " + Hex8(Crc32(text.data(), text.size())) + "\n";
}

std::string ParseDescription(std::string_view text, PackageDescription& description) {
  description = {};
  std::string problem = Parser(text, description).Parse();
  if (!problem.empty()) description = {};
  return problem;
}

DescriptionLoad ReadDescription(CFile& file) {
  DescriptionLoad load;
  load.state = DescriptionState::refused;
  file.SeekToBegin();
  const std::uint32_t length = file.GetLength();
  if (length > kLargestDescription) {
    load.reason = "it is " + std::to_string(length) + " bytes, more than " +
                  std::to_string(kLargestDescription);
    return load;
  }
  std::string text(length, '\0');
  if (file.Read(text.data(), length) != length) {
    load.reason = "it ends before its " + std::to_string(length) + " bytes";
    return load;
  }
  load.reason = ParseDescription(text, load.description);
  if (load.reason.empty()) load.state = DescriptionState::read;
  return load;
}

MediaDigest DigestOf(CFile& file) {
  MediaDigest digest;
  file.SeekToBegin();
  std::vector<std::uint8_t> block(kDigestBlock);
  for (;;) {
    const std::uint32_t got = file.Read(block.data(), kDigestBlock);
    digest.crc = Crc32Update(digest.crc, block.data(), got);
    digest.size += got;
    if (got < kDigestBlock) return digest;
  }
}

}  // namespace velmora
