// The source of the next media file of the data stream.
#pragma once

namespace velmora {

// Where the next media file comes from when the current one is exhausted.
// The installation run installs one for the length of the run (the main
// window, which asks the user for the next disk); without one, the end of a
// media file is the end of the data.
class MediaSource {
 public:
  virtual ~MediaSource() = default;
  // Opens the next media file of the current part on the data stream,
  // positioned after its plain prefix with decompression on.  False when it
  // cannot be had (the user cancelled).
  virtual bool OpenNextMediaFile() = 0;
};

// The process-wide media source; null when none is installed.  A global
// because the readers that need it sit behind the step interface: a step's
// ReadRecord and InstallData take the data stream alone, and every step
// class implements them, so the source cannot be handed down without
// changing that interface for all of them.  The layout's own readers take
// it as a parameter; the run installs itself for exactly its own length.
MediaSource* CurrentMediaSource();
void SetCurrentMediaSource(MediaSource* source);

class ScopedMediaSource {
 public:
  explicit ScopedMediaSource(MediaSource& source);
  ~ScopedMediaSource();
  ScopedMediaSource(const ScopedMediaSource&) = delete;
  ScopedMediaSource& operator=(const ScopedMediaSource&) = delete;

 private:
  MediaSource* previous_;
};

}  // namespace velmora
