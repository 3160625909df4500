// Host error codes (errno values behind std::error_code) to the causes
// Windows would report for the same failure.
#pragma once

#include <system_error>

#include "framework/file_exception.h"

namespace velmora::sim {

FileCause CauseOfHostError(const std::error_code& error);
// The same for the errno left by a C stdio call.
FileCause CauseOfErrno(int error);

}  // namespace velmora::sim
