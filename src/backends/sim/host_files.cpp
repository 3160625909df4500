#include "backends/sim/host_files.h"

#include <filesystem>
#include <system_error>

#include "backends/sim/sim_machine.h"

namespace velmora {
namespace fs = std::filesystem;

std::string HostPathToWindows(const std::string& hostPath) {
  std::error_code ec;
  fs::path absolute = fs::absolute(hostPath.empty() ? fs::path(".") : fs::path(hostPath), ec);
  if (ec) absolute = fs::path(hostPath);
  // Symbolic links are resolved here, where the user named the file, so the
  // machine never has to follow one.
  fs::path resolved = fs::weakly_canonical(absolute, ec);
  if (ec) resolved = absolute.lexically_normal();
#ifdef _WIN32
  std::string text = resolved.make_preferred().string();
  while (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
#else
  std::string text = "Z:";
  for (const fs::path& part : resolved.relative_path()) {
    if (part.empty()) continue;  // a trailing separator
    text += '\\';
    text += part.string();
  }
  if (text.size() == 2) text += '\\';
  return text;
#endif
}

std::unique_ptr<Machine> MakeHostFileMachine() {
#ifdef _WIN32
  SimOptions options;
  auto machine = std::make_unique<SimMachine>(options);
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const std::string root{letter, ':', '\\'};
    std::error_code ec;
    if (fs::is_directory(root, ec)) machine->Mount(letter, root);
  }
#else
  SimOptions options;
  options.currentDir = "Z:\\";
  options.windowsDir = "Z:\\";
  options.systemDir = "Z:\\";
  auto machine = std::make_unique<SimMachine>(options);
  machine->Mount('Z', "/");
#endif
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  if (!ec) machine->SetCurrentDirectory(HostPathToWindows(here.string()));
  return machine;
}

}  // namespace velmora
