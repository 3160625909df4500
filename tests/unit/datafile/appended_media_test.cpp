// Finding the package appended to a setup program: at the end of the file,
// or before the signature table that signing appends; a damaged trailer or
// table is refused, a file without one is a plain program.
#include "datafile/appended_media.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "unit/support/pe_builder.h"

namespace velmora::test {
namespace {

constexpr std::size_t kSecurityDirectory = 0x58 + 96 + 4 * 8;

struct Program {
  std::string bytes;
  std::uint32_t start = 0;  // where the container starts

  AppendedLoad Find() const {
    return FindAppendedMedia(static_cast<std::uint32_t>(bytes.size()),
                             [&](std::uint32_t offset, void* buffer, std::uint32_t count) {
                               if (offset > bytes.size() || count > bytes.size() - offset)
                                 return false;
                               std::memcpy(buffer, bytes.data() + offset, count);
                               return true;
                             });
  }
};

// A PE image with two files appended ("velmor.1", "velmor.sum").
Program Packed() {
  const std::vector<std::uint8_t> image = PeBuilder().Version(0x00010000, 0).Build();
  Program program{std::string(image.begin(), image.end()),
                  static_cast<std::uint32_t>(image.size())};
  program.bytes += "media file one" + std::string("sum");
  program.bytes += AppendedTableAndTrailer({{"velmor.1", 0, 14}, {"velmor.sum", 14, 3}});
  return program;
}

// What signing does: zero bytes up to a multiple of 8, the signature table
// after them, and the security directory pointing at it.
void Sign(Program& program) {
  program.bytes.append((8 - program.bytes.size() % 8) % 8, '\0');
  const auto offset = static_cast<std::uint32_t>(program.bytes.size());
  const std::string table(1000, 'S');
  for (int i = 0; i < 4; ++i) {
    program.bytes[kSecurityDirectory + i] = static_cast<char>(offset >> (8 * i));
    program.bytes[kSecurityDirectory + 4 + i] = static_cast<char>(table.size() >> (8 * i));
  }
  program.bytes += table;
}

void ExpectFound(const Program& program, const std::string& what) {
  const AppendedLoad load = program.Find();
  ASSERT_EQ(load.state, AppendedState::found) << what << ": " << load.reason;
  EXPECT_EQ(load.media.start, program.start) << what;
  ASSERT_EQ(load.media.members.size(), 2u) << what;
  const AppendedMember* sum = load.media.Find("VELMOR.SUM");
  ASSERT_NE(sum, nullptr) << what;
  EXPECT_EQ(program.bytes.substr(sum->offset, sum->length), "sum") << what;
  EXPECT_EQ(program.bytes.substr(load.media.members[0].offset, 14), "media file one") << what;
}

TEST(AppendedMedia, FoundAtTheEndOrBeforeTheSignatureTable) {
  Program program = Packed();
  ExpectFound(program, "unsigned");
  // Every alignment the signature table may need: 0..7 zero bytes.
  for (std::size_t extra = 0; extra < 8; ++extra) {
    Program shifted = Packed();
    shifted.bytes.insert(shifted.start, extra, 'x');  // a program of another length
    shifted.start += static_cast<std::uint32_t>(extra);
    Sign(shifted);
    ExpectFound(shifted, "signed, program longer by " + std::to_string(extra));
  }
}

TEST(AppendedMedia, PlainProgramsHaveNone) {
  const std::vector<std::uint8_t> image = PeBuilder().Version(0x00010000, 0).Build();
  Program plain{std::string(image.begin(), image.end())};
  EXPECT_EQ(plain.Find().state, AppendedState::none);
  Sign(plain);
  EXPECT_EQ(plain.Find().state, AppendedState::none);
  EXPECT_EQ(Program{"MZ setup program"}.Find().state, AppendedState::none);
}

TEST(AppendedMedia, DamageAndCutsAreNeverTakenForAPackage) {
  const Program packed = Packed();
  const std::size_t tableStart = packed.start + 17;
  for (std::size_t at = tableStart; at < packed.bytes.size(); ++at) {
    Program damaged = packed;
    damaged.bytes[at] = static_cast<char>(damaged.bytes[at] ^ 0x04);
    const AppendedLoad load = damaged.Find();
    EXPECT_NE(load.state, AppendedState::found) << "byte " << at;
    // A trailer whose magic survives is refused with a reason.
    if (at < packed.bytes.size() - 32 || at >= packed.bytes.size() - 24) {
      EXPECT_EQ(load.state, AppendedState::refused) << "byte " << at;
    }
  }
  for (std::size_t cut = 1; cut < packed.bytes.size() - packed.start; ++cut)
    EXPECT_NE(Program{packed.bytes.substr(0, packed.bytes.size() - cut)}.Find().state,
              AppendedState::found)
        << "cut by " << cut;
  Program signedCut = Packed();
  Sign(signedCut);
  signedCut.bytes.resize(signedCut.bytes.size() - 10);
  const AppendedLoad load = signedCut.Find();
  EXPECT_EQ(load.state, AppendedState::refused);
  EXPECT_NE(load.reason.find("cut short"), std::string::npos) << load.reason;
}

}  // namespace
}  // namespace velmora::test
