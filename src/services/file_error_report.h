// Messages for file exceptions.  Two tables: the general one for everything
// read through the compressed stream, and the bitmap loader's own.
#pragma once

#include <string>

#include "framework/file_exception.h"

namespace velmora {

// Text of the general report for a cause; empty outside 0..14.
std::string GeneralFileErrorText(int cause);
// Text of the bitmap loader's report; empty for all but six causes.
std::string BitmapFileErrorText(int cause);

// Shows the bitmap report: caption "File Error...", OK, exclamation icon.
void ReportBitmapFileError(const CFileException* error);

}  // namespace velmora
