#include "datafile/step_factory.h"

#include "datafile/compressed_file.h"
#include "framework/file_exception.h"
#include "steps/step.h"

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

CStep* CreateStep(CCompressedFile* dataFile) {
  if (dataFile == nullptr) return nullptr;
  std::string name;
  try {
    if (ReadClassName(*dataFile, CurrentMediaSource(), name) != LayoutFault::none) return nullptr;
  } catch (const CFileException& error) {
    // A failure without a cause is treated like any other failed read.
    if (error.m_cause != static_cast<int>(FileCause::none)) dataFile->ReportFileError(&error);
    return nullptr;
  }
  CStep* step = FindStepClass(name);
  if (step == nullptr) return nullptr;
  if (!step->ReadRecord(dataFile)) {
    delete step;
    return nullptr;
  }
  return step;
}

CStep* FindStepClass(const std::string& className) {
  const StepList* registry = CStep::Registry();
  if (registry == nullptr) return nullptr;
  for (const CStep* known : *registry) {
    const CRuntimeClass* cls = known->GetRuntimeClass();
    if (className != cls->m_lpszClassName) continue;
    CObject* object = cls->CreateObject();
    if (object == nullptr) return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(CStep))) {
      delete object;
      return nullptr;
    }
    return static_cast<CStep*>(object);
  }
  return nullptr;
}

}  // namespace velmora
