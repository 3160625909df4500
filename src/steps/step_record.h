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
// The tags and their kinds are those of StepProperties() (step_tags.h), and
// kEndTag.  Tags may come in any order and any number of times; the last
// one wins.
// File steps read three more 32-bit fields after "ENDS" (step_file.h).
#pragma once

#include <cstdint>

namespace velmora {

class CCompressedFile;

// Largest string length L a record may give (terminator included).  Longer
// lengths refuse the record before anything is allocated for the value.
inline constexpr std::uint32_t kMaxRecordStringLength = 65536;

}  // namespace velmora
