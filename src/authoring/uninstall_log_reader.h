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

// Why the bytes read are no uninstall log at all, judged from where reading
// stopped: a log starts with its header (a product title and an entry
// count) and then, unless the count is 0, with the class name of a step;
// a log of no entries ends there or goes on with its additions.  "" when
// the file starts as a log does (a damaged log: DescribeLogError tells
// where and what).
std::string NotALogReason(const UninstallLogError& error);

// The error as the tools report it, for the log `file`: a newer stored
// version is unsupported, a failed read an I/O error, the rest corrupt.
ReadError AsReadError(const UninstallLogError& error, const std::string& file);

}  // namespace velmora
