#include "datafile/media_source.h"

namespace velmora {
namespace {

MediaSource* g_mediaSource = nullptr;

}  // namespace

MediaSource* CurrentMediaSource() { return g_mediaSource; }
void SetCurrentMediaSource(MediaSource* source) { g_mediaSource = source; }

ScopedMediaSource::ScopedMediaSource(MediaSource& source) : previous_(g_mediaSource) {
  g_mediaSource = &source;
}
ScopedMediaSource::~ScopedMediaSource() { g_mediaSource = previous_; }

}  // namespace velmora
