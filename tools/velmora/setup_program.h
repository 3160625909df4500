// The SETUP.EXE that `velmora pack` puts beside the media files, so that
// the output folder is a complete installation medium.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// Where the SETUP.EXE built with this tool is looked for, in order: beside
// the tool itself (a build tree), then in ../share/velmora (an installed
// toolset).
std::vector<std::filesystem::path> SetupProgramCandidates();

// The first candidate that is a file; nullopt when there is none.
std::optional<std::filesystem::path> FindSetupProgram();

// "" when `path` is a readable Windows program (it starts with "MZ"), else
// why it cannot be used.
std::string CheckSetupProgram(const std::filesystem::path& path);

}  // namespace velmora::cli
