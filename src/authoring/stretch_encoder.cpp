#include "authoring/stretch_encoder.h"

namespace velmora {

StretchEncoder::StretchEncoder() { file_.SetOutputBuffer(64 * 1024); }

void StretchEncoder::Encode(const std::uint8_t* bytes, std::uint32_t count, Bytes& out) {
  out.clear();
  file_.SetOutputSink(&out);
  file_.SetCompressed(true);
  file_.Write(bytes, count);
  file_.SetCompressed(false);  // ends the stretch: its last record goes to `out`
  file_.SetOutputSink(nullptr);
}

}  // namespace velmora
