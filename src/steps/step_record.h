// The body of a step record in the installation script, as CStep::ReadRecord
// reads it (integers little-endian):
//
//   4   data size S                       } plain bytes: written and read
//   4   media file number, only if S != 0 } with decompression switched off
//   4   payload offset, only if S != 0    }
//   tagged fields, in the stream's own state, the last one "ENDS":
//     5   tag: four letters and a zero byte
//     4   string tags: length L, counting the value's terminating zero
//     L   string tags: the text and a zero byte (the value ends at the
//         first zero byte)
//     4   flag tags: nonzero = true
//
// Tags may come in any order and any number of times; the last one wins.
// File steps read three more 32-bit fields after "ENDS" (step_file.h).
#pragma once

#include <array>
#include <cstdint>

namespace velmora {

enum class StepTagKind { string, flag, end };

struct StepTag {
  const char* name;  // four letters
  StepTagKind kind;
};

inline constexpr std::array<StepTag, 16> kStepTags = {{
    {"NAME", StepTagKind::string},  // SetName
    {"GROU", StepTagKind::string},  // SetDirectory
    {"QUES", StepTagKind::string},  // SetQuestion
    {"DFLT", StepTagKind::string},  // SetDefault
    {"ICNM", StepTagKind::string},  // SetIconName
    {"IFNM", StepTagKind::string},  // SetIniFile
    {"IFSN", StepTagKind::string},  // SetIniSection
    {"IFEN", StepTagKind::string},  // SetIniEntry
    {"REGE", StepTagKind::string},  // SetRegEntry
    {"ICON", StepTagKind::flag},    // SetIcon
    {"RDON", StepTagKind::flag},    // SetReadOnly
    {"HIDD", StepTagKind::flag},    // SetHidden
    {"REGI", StepTagKind::flag},    // SetRegister
    {"SHRD", StepTagKind::flag},    // SetShared
    {"USRE", StepTagKind::flag},    // SetUseRecommended
    {"ENDS", StepTagKind::end},
}};

// Largest string length L a record may give (terminator included).  Longer
// lengths refuse the record before anything is allocated for the value.
inline constexpr std::uint32_t kMaxRecordStringLength = 65536;

}  // namespace velmora
