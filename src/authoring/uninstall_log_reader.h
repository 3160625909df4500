// The uninstall log's read errors as the tools report them.  The log's
// layout, reader and writer are the steps layer's (steps/uninstall_log.h),
// shared with the installation and the uninstallation.
#pragma once

#include <string>

#include "authoring/read_error.h"
#include "steps/uninstall_log.h"

namespace velmora {

// One line for people: where ("entry 2 of 3 (CStepPMG), offset 19") and what.
std::string DescribeLogError(const UninstallLogError& error);

// The error as the tools report it, for the log `file`: a newer stored
// version is unsupported, a failed read an I/O error, the rest corrupt.
ReadError AsReadError(const UninstallLogError& error, const std::string& file);

}  // namespace velmora
