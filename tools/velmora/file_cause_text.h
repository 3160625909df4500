// Why a file operation failed, in the words of a host user, for the
// subcommands' messages.
#pragma once

#include <string>

#include "framework/file_exception.h"

namespace velmora::cli {

// "no such file", "permission denied", ...; "file error badSeek" for a
// cause a host user has no words for.
std::string FileCauseText(FileCause cause);

}  // namespace velmora::cli
