// The texts the agreement and readme steps show: the runtime puts a file's
// bytes into a read-only edit control that reads code page 1252 and breaks
// lines only at CR LF, while authors write UTF-8 with LF line ends.  This
// turns such a file into what the control shows as written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct DisplayText {
  std::string bytes;           // what the package carries
  bool fromUtf8 = false;       // converted from UTF-8 (a byte order mark removed too)
  bool bareLineFeeds = false;  // an LF without a CR before it was made CR LF
  bool bareReturns = false;    // a CR without an LF after it was made CR LF
  // Characters of a UTF-8 file that code page 1252 lacks, one a line at
  // most: "12: U+2192 is not in code page 1252".  `bytes` is then not to be
  // used.
  std::vector<std::string> problems;

  bool Changed() const { return fromUtf8 || bareLineFeeds || bareReturns; }
};

// A file that is valid UTF-8 and holds any byte of 0x80 or above (a byte
// order mark among them) is converted to code page 1252; any other is taken
// as code page 1252 already.  Line ends become CR LF either way.
DisplayText ConvertDisplayText(std::string_view file);

// For a warning: what ConvertDisplayText did, e.g. "converted from UTF-8
// to code page 1252 and LF to CR LF line ends"; "" when it changed nothing.
std::string DisplayTextChanges(const DisplayText& text);

}  // namespace velmora
