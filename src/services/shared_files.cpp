#include "services/shared_files.h"

#include "services/registry.h"

namespace velmora {

const char* const kSharedDllsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::uint32_t ReadSharedCount(const std::string& path, std::uint32_t defaultValue) {
  return ReadRegistryDword(hkey::localMachine, kSharedDllsKey, path, defaultValue);
}

bool ReadSharedCountChecked(const std::string& path, std::uint32_t& count) {
  std::optional<std::uint32_t> value;
  const long result = QueryRegistryDword(hkey::localMachine, kSharedDllsKey, path, value);
  if (result != winerror::success && result != winerror::fileNotFound &&
      result != winerror::moreData)
    return false;
  count = value.value_or(0);
  return true;
}

bool HasSharedCount(const std::string& path) {
  std::optional<std::uint32_t> value;
  return QueryRegistryDword(hkey::localMachine, kSharedDllsKey, path, value) !=
         winerror::fileNotFound;
}

bool DeleteSharedCount(const std::string& path) {
  return DeleteRegistryValue(hkey::localMachine, kSharedDllsKey, path);
}

bool WriteSharedCount(const std::string& path, std::uint32_t count) {
  return WriteRegistryDword(hkey::localMachine, kSharedDllsKey, path, count);
}

}  // namespace velmora
