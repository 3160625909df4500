#include "setup_program.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace velmora::cli {

std::vector<std::filesystem::path> SetupProgramCandidates() {
  std::error_code error;
  const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path folder = tool.parent_path();
  return {folder / "SETUP.EXE",
          (folder / ".." / "share" / "velmora" / "SETUP.EXE").lexically_normal()};
}

std::optional<std::filesystem::path> FindSetupProgram() {
  for (const std::filesystem::path& candidate : SetupProgramCandidates()) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

std::string CheckSetupProgram(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return error                           ? error.message()
           : std::filesystem::exists(path) ? "not a regular file"
                                           : "no such file";
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::strerror(errno);
  char magic[2] = {};
  in.read(magic, 2);
  if (in.gcount() != 2 || magic[0] != 'M' || magic[1] != 'Z') return "not a Windows program";
  return {};
}

}  // namespace velmora::cli
