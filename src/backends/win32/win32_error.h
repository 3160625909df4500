// Turns a Win32 error code (GetLastError) into the framework's file cause.
// The header needs no <windows.h>, so tests can name codes by number.
#pragma once

#include <cstdint>

#include "framework/file_exception.h"

namespace velmora {

// Cause for the error of a failed call.  Codes the table does not know are
// generic; so is 0, because a call that failed without setting an error has
// still failed and must not read as success.
FileCause FileCauseFromWin32Error(std::uint32_t error);

// FileCauseFromWin32Error(GetLastError()), for the backend's own use.
FileCause LastFileCause();

}  // namespace velmora
