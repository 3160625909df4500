#include "backends/scripted/transcript_kind.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(TranscriptKind, PromptWordsReadBackAndNoOtherWordNamesAPrompt) {
  for (const TranscriptKind kind :
       {TranscriptKind::message, TranscriptKind::directory, TranscriptKind::replace,
        TranscriptKind::group, TranscriptKind::agreement, TranscriptKind::readme,
        TranscriptKind::user})
    EXPECT_EQ(PromptKindFromName(TranscriptKindName(kind)), kind) << TranscriptKindName(kind);
  for (const TranscriptKind kind : {TranscriptKind::background, TranscriptKind::progress,
                                    TranscriptKind::window, TranscriptKind::note})
    EXPECT_EQ(PromptKindFromName(TranscriptKindName(kind)), std::nullopt)
        << TranscriptKindName(kind);
  EXPECT_EQ(PromptKindFromName("Message"), std::nullopt);
  EXPECT_EQ(PromptKindFromName(""), std::nullopt);
}

}  // namespace
}  // namespace velmora
