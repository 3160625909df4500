// The host's own files seen as a Windows machine, for the command-line
// tools: drive Z: is the host's "/" (as under Wine) and the current
// directory is the process's, so Windows-path code such as CFile can read
// and write any host file.
#pragma once

#include <memory>
#include <string>

#include "platform/machine.h"

namespace velmora {

// A machine with nothing on disk of its own.  On Windows hosts every
// present drive letter maps onto itself instead.
std::unique_ptr<Machine> MakeHostFileMachine();

// A relative or absolute host path in the form that machine understands:
// "/tmp/a.bin" -> "Z:\tmp\a.bin"; relative paths are taken against the
// process's current directory.
std::string HostPathToWindows(const std::string& hostPath);

}  // namespace velmora
