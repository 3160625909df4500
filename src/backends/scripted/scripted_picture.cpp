// The main window's picture on the scripted Ui: bitmaps are only their
// sizes, and painting records what would be drawn where.  A picture is
// recorded when what it paints differs from what was recorded last, so the
// many repaints of a run (every status line) give one entry per picture.
#include <cstdlib>

#include "backends/scripted/scripted_ui.h"

namespace velmora {
namespace {

std::string Size(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// A device context of the scripted main window: what the picture draws
// becomes one line of text.
class ScriptedDc final : public CDC {
 public:
  explicit ScriptedDc(const ScriptedUi& ui) : ui_(ui) {}

  bool GetBitmapSize(BitmapHandle bitmap, int& width, int& height) const override {
    return ui_.BitmapSize(bitmap, width, height);
  }
  PaintRect GetClientRect() const override { return {0, 0, ui_.ClientWidth(), ui_.ClientHeight()}; }
  void StretchBitmap(BitmapHandle, int width, int height, const PaintRect& to) override {
    if (!painted_.empty()) painted_ += "; ";
    painted_ += Size(width, height) + " in " + Size(ui_.ClientWidth(), ui_.ClientHeight()) +
                ": x " + std::to_string(to.left) + " to " + std::to_string(to.right) + ", y " +
                std::to_string(to.top) + " to " + std::to_string(to.bottom);
  }

  std::string Painted() const {
    return painted_.empty() ? "nothing painted in " + Size(ui_.ClientWidth(), ui_.ClientHeight())
                            : painted_;
  }

 private:
  const ScriptedUi& ui_;
  std::string painted_;
};

}  // namespace

BitmapHandle ScriptedUi::CreateScreenBitmap(const DibImage& image) {
  if (fallback_ != nullptr) return fallback_->CreateScreenBitmap(image);
  const BitmapHandle handle = ++lastBitmap_;
  bitmaps_[handle] = {image.width, std::abs(image.height)};
  return handle;
}

void ScriptedUi::DeleteBitmap(BitmapHandle bitmap) {
  if (fallback_ != nullptr) fallback_->DeleteBitmap(bitmap);
  bitmaps_.erase(bitmap);
}

bool ScriptedUi::BitmapSize(BitmapHandle bitmap, int& width, int& height) const {
  const auto found = bitmaps_.find(bitmap);
  if (found == bitmaps_.end()) return false;
  width = found->second.first;
  height = found->second.second;
  return true;
}

void ScriptedUi::MainWindowChanged(const std::string& heading, const std::string& status,
                                   WindowPicture* picture) {
  if (!windowRecorded_ || heading != lastHeading_ || status != lastStatus_) {
    windowRecorded_ = true;
    lastHeading_ = heading;
    lastStatus_ = status;
    TranscriptEntry entry;
    entry.kind = TranscriptKind::window;
    entry.caption = heading;
    entry.text = status;
    entry.fromRule = true;
    Record(std::move(entry));
  }
  // With windows on the screen, the real window paints the real picture.
  if (fallback_ != nullptr) {
    fallback_->MainWindowChanged(heading, status, picture);
    return;
  }
  if (picture == nullptr) {
    lastPicture_.clear();
    return;
  }
  ScriptedDc dc(*this);
  picture->PaintPicture(dc);
  if (dc.Painted() == lastPicture_) return;
  lastPicture_ = dc.Painted();
  TranscriptEntry entry;
  entry.kind = TranscriptKind::background;
  entry.text = lastPicture_;
  entry.fromRule = true;
  Record(std::move(entry));
}

}  // namespace velmora
