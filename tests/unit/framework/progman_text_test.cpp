// Which texts can stand inside a quoted Program Manager command argument.
#include "framework/progman_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(ProgmanText, QuotesAndControlCharactersBreakACommand) {
  struct Case {
    std::string text;
    bool fits;
  };
  const Case cases[] = {
      {"x\")][DeleteGroup(\"Accessories", false},
      {"Tools\r", false},
      {"Tools\nMore", false},
      {"Tab\there", false},
      {"\x01", false},
      {"Del\x7F", false},
      {std::string("A\0B", 3), false},
      {"", true},
      {"Lantern Notes 2.1 (C:\\APPS\\NOTES.EXE), [x] ~!", true},
      {"Caf\xE9 \xA9 \xFF", true},  // ANSI letters and signs above DEL
  };
  for (const Case& c : cases) EXPECT_EQ(FitsProgmanCommand(c.text), c.fits) << c.text;
}

}  // namespace
}  // namespace velmora
