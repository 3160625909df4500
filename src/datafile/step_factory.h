// The step factory: turns one step record of the installation script into a
// step object, and creates empty steps by class name.  The record's class
// name framing is read by datafile/data_file_layout.h, its body by
// CStep::ReadRecord.  Only the nine classes of AcceptedStepClassNames() are found, and only while
// a StepPrototypes object (steps/step_prototypes.h) is alive.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "datafile/data_file_layout.h"

namespace velmora {

class CCompressedFile;
class CStep;

// The step classes that an installation script may name, exactly as spelled
// in a record.  The base kinds CStep and CStepFile are not among them.
inline constexpr std::array<const char*, 9> kAcceptedStepClassNames = {
    "CStepDirectory",      "CStepIniValue",  "CStepPMG",
    "CStepRegistry",       "CStepUserValue", "CStepFileBackground",
    "CStepFileCopy",       "CStepFileDisplay", "CStepFileDisplayOptional",
};

// The process-wide media source (data_file_layout.h); null when none is
// installed.  The installation run installs the main window for the length
// of the run, which asks the user for the next disk; without one, the end
// of a media file is the end of the data.
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

// Reads one step record at the stream's position and answers the new,
// filled step (the caller owns it), or null: bad name length, missing
// terminator, unknown class, or a body that ReadRecord refuses.  When the
// current media file has no bytes left before the record, the next one is
// opened through CurrentMediaSource().  A file error while the class name is
// read is reported through the stream's ReportFileError and answers null.
CStep* CreateStep(CCompressedFile* dataFile);

// A new, empty step of the class with that exact runtime class name (the
// caller owns it), or null when no live step has that class, creation fails,
// or the class is not a step.
CStep* FindStepClass(const std::string& className);

}  // namespace velmora
