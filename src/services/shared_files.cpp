#include "services/shared_files.h"

#include "services/registry.h"

namespace velmora {

const char* const kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::uint32_t ReadSharedCount(const std::string& path, std::uint32_t defaultValue) {
  return ReadRegistryDword(hkey::localMachine, kSharedDllsKey, path, defaultValue);
}

bool WriteSharedCount(const std::string& path, std::uint32_t count) {
  return WriteRegistryDword(hkey::localMachine, kSharedDllsKey, path, count);
}

}  // namespace velmora
