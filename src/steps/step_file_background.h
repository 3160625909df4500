// CStepFileBackground: a picture shown behind the installation.  Its payload
// is a bitmap file held in memory, not written to disk: ShowImage makes it
// into a screen bitmap, makes this step the main window's background and
// repaints the window; from then on the window asks the step to paint its
// middle, until a later background step replaces it.  Archive form: the
// file step's, nothing added.
#pragma once

#include <cstdint>
#include <string>

#include "platform/device_context.h"
#include "steps/step_file.h"

namespace velmora {

class CStepFileBackground : public CStepFile {
  VELMORA_DECLARE_DYNCREATE(CStepFileBackground)

 public:
  CStepFileBackground() = default;
  // Deletes the bitmap and, when this step is the window's background,
  // gives the window its icon back.
  ~CStepFileBackground() override;

  bool IsBackgroundImage() const override { return true; }

  // Loads the picture from the file the name gives when there is none yet;
  // answers the bitmap handle as decimal text, "" without a picture.
  const char* GetPreview() override;
  // Drops the picture made from the previous name, then stores the name.
  bool SetName(const std::string& value) override;

  // Makes the bitmap from the data unless there is one already (data that
  // is not a bitmap makes none), becomes the window's background and
  // repaints it before answering.
  void ShowImage(const std::uint8_t* data, std::uint32_t size) override;
  // The picture scaled to fit the client area and centred (FitPicture);
  // the bands beside it are left as they are.  Nothing without a bitmap.
  void Paint(CDC* dc) override;
  // Destroys every other background step on the done list.
  void OnInstalled(StepList* done) override;

  std::string GetKindName() const override;

  BitmapHandle Bitmap() const { return m_bitmap; }

 protected:
  void DeleteBitmap();

  BitmapHandle m_bitmap = 0;
  std::string m_previewText;
};

}  // namespace velmora
