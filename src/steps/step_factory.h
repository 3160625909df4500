// The step factory: turns one step record of the installation script into a
// step object, and creates empty steps by class name.  The record's class
// name framing is read by datafile/data_file_layout.h, its body by
// CStep::ReadRecord.  Only the classes of the step class table are found
// (StepClasses() in steps/step_classes.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "datafile/data_file_layout.h"
#include "datafile/media_set.h"

namespace velmora {

class CCompressedFile;
class CStep;

// Reads one step record at the stream's position and answers the new,
// filled step (the caller owns it), or null: bad name length, missing
// terminator, unknown class, or a body that ReadRecord refuses.  When the
// current media file has no bytes left before the record, the next one is
// opened through the stream's media set.  A file error while the class
// name is read is reported through the stream's ReportFileError and answers null.
// With `refused` given, a step whose body ReadRecord refused goes there,
// holding what it read, so that the caller can say what was wrong.
CStep* CreateStep(CCompressedFile* dataFile, std::unique_ptr<CStep>* refused = nullptr);

// A new, empty step of the class with that exact runtime class name (the
// caller owns it), or null when it is not in the step class table or
// memory runs out.
CStep* FindStepClass(const std::string& className);

}  // namespace velmora
