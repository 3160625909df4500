// Byte-order marks of profile files and the UTF-16 <-> UTF-8 conversion
// that lets the profile parser work on bytes whatever the file's encoding.
#pragma once

#include <string>
#include <string_view>

#include "backends/sim/sim_profile_text.h"

namespace velmora::sim {

// The encoding a file's first bytes announce, and the length of that mark.
ProfileEncoding DetectProfileEncoding(std::string_view bytes, std::size_t& markLength);
// The mark a file of that encoding starts with ("" for ANSI).
std::string_view ProfileEncodingMark(ProfileEncoding encoding);

// UTF-16 code units (little or big endian; an odd last byte is dropped) as
// UTF-8.  Every unit is kept, unpaired surrogates included, so the way back
// gives the same units.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// The way back.  A byte that starts no valid sequence stands for the code
// unit of the same number (Latin-1), so any bytes convert.
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

}  // namespace velmora::sim
