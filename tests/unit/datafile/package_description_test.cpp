// The package description's text and the CRC-32 behind it: what is written
// reads back, and any cut or changed byte of it is refused with a reason.
#include "datafile/package_description.h"

#include <gtest/gtest.h>

#include <string>

#include "datafile/crc32.h"

namespace velmora::test {
namespace {

PackageDescription Sample() {
  PackageDescription description;
  description.files = {
      {"velmor.1", 6165, 0x0c1f7a3e}, {"velmor.2", 1457664, 0xffffffff}, {"velmore.1", 0, 0}};
  description.product = {"2.1", "Lantern Software", "https://lantern.example/notes"};
  return description;
}

TEST(Crc32, IsTheZipCrcAndContinuesAcrossPieces) {
  const std::string text = "123456789";  // the check input of CRC catalogues
  EXPECT_EQ(Crc32(text.data(), text.size()), 0xCBF43926u);
  for (std::size_t cut = 0; cut <= text.size(); ++cut)
    EXPECT_EQ(Crc32Update(Crc32(text.data(), cut), text.data() + cut, text.size() - cut),
              0xCBF43926u)
        << cut;
}

TEST(PackageDescriptionText, ReadsBackWhatIsWritten) {
  for (const bool details : {true, false}) {
    PackageDescription written = Sample();
    if (!details) written.product = {};
    PackageDescription read;
    ASSERT_EQ(ParseDescription(FormatDescription(written), read), "");
    ASSERT_EQ(read.files.size(), written.files.size());
    for (std::size_t i = 0; i < read.files.size(); ++i) {
      EXPECT_EQ(read.files[i].name, written.files[i].name);
      EXPECT_EQ(read.files[i].size, written.files[i].size);
      EXPECT_EQ(read.files[i].crc, written.files[i].crc);
    }
    EXPECT_EQ(read.product.version, written.product.version);
    EXPECT_EQ(read.product.publisher, written.product.publisher);
    EXPECT_EQ(read.product.url, written.product.url);
    EXPECT_NE(read.Find("VELMOR.2"), nullptr);
    EXPECT_EQ(read.Find("velmor.3"), nullptr);
  }
}

TEST(PackageDescriptionText, EveryCutAndEveryChangedByteIsRefused) {
  const std::string text = FormatDescription(Sample());
  PackageDescription read;
  for (std::size_t length = 0; length < text.size(); ++length)
    EXPECT_NE(ParseDescription(text.substr(0, length), read), "") << "cut at " << length;
  for (std::size_t at = 0; at < text.size(); ++at) {
    std::string changed = text;
    changed[at] = static_cast<char>(changed[at] ^ 0x01);
    EXPECT_NE(ParseDescription(changed, read), "") << "byte " << at;
    EXPECT_TRUE(read.files.empty());
  }
}

// Texts whose CRC line is right but whose lines are wrong: the reason names
// the line and what is wrong with it.
TEST(PackageDescriptionText, MalformedLinesAreRefusedWithTheirReason) {
  const auto sealed = [](const std::string& body) {
    return body + "crc " + [&] {
      char hex[9];
      std::snprintf(hex, sizeof hex, "%08x", Crc32(body.data(), body.size()));
      return std::string(hex);
    }() + "\n";
  };
  const std::string head = "velmora package description 1\n";
  const std::string one = "media velmor.1 10 0000000a\n";
  const struct {
    std::string text;
    std::string reason;
  } cases[] = {
      {sealed("velmora package description 2\n" + one), "line 1: format version 2"},
      {sealed("package description 1\n" + one), "line 1: it does not start with"},
      {sealed(head), "line 2: no media file is listed"},
      {sealed(head + one + one), "line 3: velmor.1 is listed twice"},
      {sealed(head + "media velmor.0 10 0000000a\n"), "'velmor.0' is not a media file name"},
      {sealed(head + "media SETUP.EXE 10 0000000a\n"), "'SETUP.EXE' is not a media file name"},
      {sealed(head + "media velmor.1 010 0000000a\n"), "the size of velmor.1 is not a number"},
      {sealed(head + "media velmor.1 4294967296 0000000a\n"), "the size of velmor.1"},
      {sealed(head + "media velmor.1 10 0000000A\n"), "the CRC-32 of velmor.1"},
      {sealed(head + "media velmor.1 10\n"), "expected 'media NAME SIZE CRC'"},
      {sealed(head + one + "version \n"), "line 3: version is empty"},
      {sealed(head + one + "publisher A\tB\n"), "publisher holds a control character"},
      {sealed(head + one + "url " + std::string(260, 'u') + "\n"), "more than 259"},
      {sealed(head + one + "publisher P\nversion 1\n"), "line 4: expected 'crc'"},
      {sealed(head + one) + "\n", "more text follows the 'crc' line"},
      {head + one + "crc 00000000\n", "the file's CRC-32 is"},
      {head + one + "crc 0", "line 3: the file is cut short (the line has no line end)"},
      {std::string(kLargestDescription + 1, '\n'), "more than 65536"},
  };
  for (const auto& c : cases) {
    PackageDescription read;
    const std::string reason = ParseDescription(c.text, read);
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.text << "\n=> " << reason;
  }
}

}  // namespace
}  // namespace velmora::test
