// The text of a profile (.ini) file as the Windows profile functions see
// it, for the simulated machine: parsing any bytes into sections and lines,
// writing them back, and the lookups and edits of GetPrivateProfileString
// and WritePrivateProfileString.
//
// The rules are those observed under Wine (which rewrites the whole file on
// every change):
//  - Lines end at any run of CR and LF bytes.  Blanks (tab, LF, VT, FF, CR,
//    ^Z and space) around a line, a section name, a key name and a value
//    are dropped; blank lines vanish.
//  - "[name]" starts a section: the name runs to the last ']' of the line.
//    A line that starts with '[' but has no ']' is an ordinary line.
//  - "key=value" splits at the first '='.  A line without '=' (a comment,
//    anything else) is kept as a key without a value and written back as it
//    stands.  Of two lines in a row whose key name is empty, the second is
//    dropped.
//  - Names and values end at a NUL byte, as the C strings of the API do.
//  - A file starting with a UTF-8 byte-order mark, or a UTF-16 one (either
//    byte order), is read and written back in that encoding.  Its text is
//    held as UTF-8 meanwhile, so only ASCII names match names given in the
//    ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sim {

// One line of a section: a key and its value, or (no value) a line without
// '=', such as a comment.
struct ProfileLine {
  std::string name;
  std::optional<std::string> value;
};

struct ProfileSection {
  std::string name;  // "" for the lines before the first section header
  std::vector<ProfileLine> lines;
};

enum class ProfileEncoding { ansi, utf8, utf16le, utf16be };

struct ProfileText {
  ProfileEncoding encoding = ProfileEncoding::ansi;
  // In file order.  A parsed text starts with the nameless section that
  // holds the lines before the first header (written without a header).
  std::vector<ProfileSection> sections;
};

ProfileText ParseProfile(std::string_view bytes);
// The file's bytes: "[name]" and "key=value" lines ending in CR LF, no
// blank lines, the byte-order mark of the encoding first.
std::string FormatProfile(const ProfileText& text);

// The text less the blanks that the profile functions drop around lines,
// names and values: tab, LF, VT, FF, CR, ^Z (a DOS end-of-file mark found
// in old files) and space.
std::string_view TrimProfileBlanks(std::string_view text);
std::string_view TrimLeadingProfileBlanks(std::string_view text);
std::string_view TrimTrailingProfileBlanks(std::string_view text);

// Section and key names compare without regard to ASCII case.
bool ProfileNamesEqual(std::string_view a, std::string_view b);
// The text up to its first NUL byte.
std::string_view UpToNul(std::string_view text);

// The line a read finds: the first section whose name matches section and,
// in it, the first line whose name matches key, both compared with the
// blanks around the given names dropped.  Null when there is none.
const ProfileLine* FindProfileLine(const ProfileText& text, std::string_view section,
                                   std::string_view key);
// Sets key to value (its leading blanks dropped) in the section found as
// above.  A missing key is added at the end of its section and a missing
// section at the end of the text; both keep their name as given less the
// leading blanks.  Answers whether the text changed.
bool SetProfileLine(ProfileText& text, std::string_view section, std::string_view key,
                    std::string_view value);
// Removes the first line named key from the sections named section (names
// compared as given, blanks included).  Answers whether one was removed.
bool DeleteProfileLine(ProfileText& text, std::string_view section, std::string_view key);
// Removes the first section named section (compared as given).
bool DeleteProfileSection(ProfileText& text, std::string_view section);

// What GetPrivateProfileString copies into a buffer of size bytes for a
// value: surrounding double or single quotes stripped, at most size - 1
// characters.  When the quoted text only just fits, the profile functions
// lose one more character; that is kept, since callers see it.
std::string CopyProfileValue(std::string_view value, std::uint32_t size);
// The default value as the read uses it: trailing spaces dropped, though
// never its first character.
std::string_view TrimProfileDefault(std::string_view value);

}  // namespace velmora::sim
