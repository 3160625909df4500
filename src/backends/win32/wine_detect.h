// Whether this Windows process runs under Wine.  Wine differs from Windows
// in a few ways the system can see (as Unix root it lets a process write
// read-only files, for one); checks that depend on those ask this first.
#pragma once

#include <string>

namespace velmora {

bool RunningUnderWine();
// Wine's version ("8.0"), or "" on Windows.
std::string WineVersion();

}  // namespace velmora
