// What kind of thing went wrong when data could not be read: the readers of
// every layer sort their failures into these, and the tools turn each kind
// into its own exit code.
#pragma once

namespace velmora {

enum class ReadErrorKind {
  corrupt,       // the data contradicts its format: cut short, out of range, out of order
  unsupported,   // well-formed, but a format version this program does not read
  missingMedia,  // a media file that the data needs is not there
  io,            // the file system failed to deliver the bytes
};

}  // namespace velmora
