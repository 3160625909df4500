#include "backends/scripted/transcript_kind.h"

namespace velmora {

const char* TranscriptKindName(TranscriptKind kind) {
  switch (kind) {
    case TranscriptKind::message: return "message";
    case TranscriptKind::directory: return "directory";
    case TranscriptKind::replace: return "replace";
    case TranscriptKind::group: return "group";
    case TranscriptKind::agreement: return "agreement";
    case TranscriptKind::readme: return "readme";
    case TranscriptKind::user: return "user";
    case TranscriptKind::background: return "background";
    case TranscriptKind::progress: return "progress";
    case TranscriptKind::window: return "window";
    case TranscriptKind::note: return "note";
  }
  return "";
}

std::optional<TranscriptKind> PromptKindFromName(std::string_view word) {
  for (const TranscriptKind kind :
       {TranscriptKind::message, TranscriptKind::directory, TranscriptKind::replace,
        TranscriptKind::group, TranscriptKind::agreement, TranscriptKind::readme,
        TranscriptKind::user})
    if (word == TranscriptKindName(kind)) return kind;
  return std::nullopt;
}

}  // namespace velmora
