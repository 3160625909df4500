#include "steps/step_factory.h"

#include "datafile/compressed_file.h"
#include "framework/file_exception.h"
#include "steps/step.h"

namespace velmora {

CStep* CreateStep(CCompressedFile* dataFile, std::unique_ptr<CStep>* refused) {
  if (dataFile == nullptr) return nullptr;
  std::string name;
  try {
    if (ReadClassName(*dataFile, dataFile->Media(), name) != LayoutFault::none) return nullptr;
  } catch (const CFileException& error) {
    // A failure without a cause is treated like any other failed read.
    if (error.Cause() != FileCause::none) dataFile->ReportFileError(&error);
    return nullptr;
  }
  CStep* step = FindStepClass(name);
  if (step == nullptr) return nullptr;
  if (!step->ReadRecord(dataFile)) {
    if (refused != nullptr) refused->reset(step);
    else delete step;
    return nullptr;
  }
  return step;
}

}  // namespace velmora
