#include "steps/step_file_background.h"

#include "platform/ui.h"
#include "services/bitmap_loader.h"
#include "steps/background_window.h"
#include "steps/picture_fit.h"
#include "steps/run_context.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepFileBackground, CStepFile)

CStepFileBackground::~CStepFileBackground() {
  DeleteBitmap();
  BackgroundWindow* window = Run() == nullptr ? nullptr : Run()->backgroundWindow;
  if (window != nullptr && window->Background() == this) window->SetBackground(nullptr);
}

void CStepFileBackground::DeleteBitmap() {
  if (m_bitmap != 0) CurrentUi().DeleteBitmap(m_bitmap);
  m_bitmap = 0;
}

const char* CStepFileBackground::GetPreview() {
  if (m_bitmap == 0) m_bitmap = LoadBitmapFile(m_name.c_str());
  m_previewText = m_bitmap == 0 ? std::string() : std::to_string(m_bitmap);
  return m_previewText.c_str();
}

bool CStepFileBackground::SetName(const std::string& value) {
  DeleteBitmap();
  return CStepFile::SetName(value);
}

void CStepFileBackground::ShowImage(const std::uint8_t* data, std::uint32_t size) {
  if (m_bitmap == 0) m_bitmap = CreateBitmapFromImage(data, size);
  m_previewText = m_bitmap == 0 ? std::string() : std::to_string(m_bitmap);
  if (BackgroundWindow* window = Run() == nullptr ? nullptr : Run()->backgroundWindow) {
    window->SetBackground(this);
    window->RepaintNow();
  }
}

void CStepFileBackground::Paint(CDC* dc) {
  if (m_bitmap == 0 || dc == nullptr) return;
  int width = 0;
  int height = 0;
  if (!dc->GetBitmapSize(m_bitmap, width, height)) return;
  const PaintRect client = dc->GetClientRect();
  const PaintRect target =
      FitPicture(width, height, client.right - client.left, client.bottom - client.top);
  dc->StretchBitmap(m_bitmap, width, height, target);
}

// One background step stays on the done list: this one.  Restarting the
// walk after each removal keeps it simple; the list is short.
void CStepFileBackground::OnInstalled(StepList* done) {
  if (done == nullptr) return;
  bool removed = true;
  while (removed) {
    removed = false;
    for (auto it = done->begin(); it != done->end(); ++it) {
      CStep* step = *it;
      if (step == this || !step->IsKindOf(RUNTIME_CLASS(CStepFileBackground))) continue;
      done->erase(it);
      delete step;
      removed = true;
      break;
    }
  }
}

std::string CStepFileBackground::GetKindName() const { return "Background image"; }

}  // namespace velmora
