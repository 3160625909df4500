#include "services/registry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "framework/little_endian.h"
#include "platform/path_limit.h"

namespace velmora {
namespace {

// In the order the names are compared.
constexpr std::array<std::pair<const char*, hkey::Root>, 7> kRootKeys = {{
    {"HKEY_CLASSES_ROOT", hkey::classesRoot},
    {"HKEY_CURRENT_CONFIG", hkey::currentConfig},
    {"HKEY_CURRENT_USER", hkey::currentUser},
    {"HKEY_LOCAL_MACHINE", hkey::localMachine},
    {"HKEY_USERS", hkey::users},
    {"HKEY_PERFORMANCE_DATA", hkey::performanceData},
    {"HKEY_DYN_DATA", hkey::dynData},
}};

}  // namespace

hkey::Root RootKeyFromName(const char* name) {
  if (name == nullptr) return 0;
  for (const auto& [text, root] : kRootKeys)
    if (std::strcmp(name, text) == 0) return root;
  return 0;
}

hkey::Root RootKeyFromName(const std::string& name) {
  // A name with a zero inside is no table name, though strcmp would stop there.
  if (name.find('\0') != std::string::npos) return 0;
  return RootKeyFromName(name.c_str());
}

bool SplitRegistryEntry(const std::string& text, RegistryEntry& entry) {
  const std::size_t first = text.find('\\');
  if (first == std::string::npos) return false;
  const std::size_t last = text.rfind('\\');
  if (last == first) return false;  // the rest has no backslash
  const hkey::Root root = RootKeyFromName(text.substr(0, first));
  if (root == 0) return false;
  entry.root = root;
  entry.subKey = text.substr(first + 1, last - first - 1);
  entry.valueName = text.substr(last + 1);
  return true;
}

void ReadRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  buffer[0] = '\0';
  RegData data;
  if (CurrentMachine().QueryRegValue(root, subKey, valueName, size, data) != winerror::success)
    return;
  if (data.type != regtype::sz && data.type != regtype::expandSz) return;
  const std::size_t count = data.bytes.size();
  // The text must fit with a terminating zero; a stored string that lacks
  // one gets it here, if there is room, rather than running on.
  if (count > size || (count == size && data.bytes.back() != 0)) return;
  if (count > 0) std::memcpy(buffer, data.bytes.data(), count);
  if (count < size) buffer[count] = '\0';
}

std::string ReadRegistryString(hkey::Root root, const std::string& subKey,
                               const std::string& valueName, std::uint32_t bufferSize) {
  if (bufferSize == 0) return {};
  std::string buffer(bufferSize, '\0');
  ReadRegistryString(root, subKey, valueName, buffer.data(), bufferSize);
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

std::string RegistryStringOf(const RegData& data, std::uint32_t bufferSize) {
  if (data.type != regtype::sz && data.type != regtype::expandSz) return {};
  const std::size_t count = data.bytes.size();
  if (count > bufferSize || (count == bufferSize && data.bytes.back() != 0)) return {};
  const std::string text(data.bytes.begin(), data.bytes.end());
  return text.substr(0, text.find('\0'));
}

long QueryRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        RegData& data) {
  // The first read offers the platform's path buffer, which most values
  // fit; a larger one answers its size, and the value may change between two
  // reads, so the size is asked for again a few times before the read gives
  // up.
  constexpr int kAttempts = 4;
  std::uint32_t available = kMaxPathBytes;
  long result = winerror::moreData;
  for (int attempt = 0; attempt < kAttempts && result == winerror::moreData; ++attempt) {
    result = CurrentMachine().QueryRegValue(root, subKey, valueName, available, data);
    available = std::max(data.size, available);
  }
  if (result != winerror::success) data = RegData{};
  return result;
}

bool WriteRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
  return CurrentMachine().SetRegValue(root, subKey, valueName, type, bytes.data(),
                                      static_cast<std::uint32_t>(bytes.size())) ==
         winerror::success;
}

bool DeleteRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName) {
  return CurrentMachine().DeleteRegValue(root, subKey, valueName) == winerror::success;
}

bool WriteRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                         const std::string& value) {
  return SetRegistryString(root, subKey, valueName, value) == winerror::success;
}

long SetRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                       const std::string& value) {
  const auto size = static_cast<std::uint32_t>(std::strlen(value.c_str()) + 1);
  return CurrentMachine().SetRegValue(root, subKey, valueName, regtype::sz, value.c_str(), size);
}

std::string RegistryErrorText(long result) {
  switch (result) {
    case winerror::fileNotFound: return "Not Found";
    case winerror::accessDenied: return "Access Denied";
    case winerror::invalidHandle: return "Invalid Handle";
    case winerror::invalidParameter: return "Invalid Parameter";
    case winerror::badPathname: return "Bad Path Name";
    case winerror::moreData: return "More Data";
    case winerror::registryIoFailed: return "Registry I/O Failed";
    default: return "Registry Error " + std::to_string(result);
  }
}

long QueryRegistryDword(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::optional<std::uint32_t>& value) {
  value.reset();
  RegData data;
  const long result = CurrentMachine().QueryRegValue(root, subKey, valueName, 4, data);
  if (result != winerror::success) return result;
  if (data.type != regtype::dword && data.type != regtype::dwordBigEndian) return result;
  if (data.bytes.size() != 4) return result;
  value = LoadU32(data.bytes.data());
  return result;
}

std::uint32_t ReadRegistryDword(hkey::Root root, const std::string& subKey,
                                const std::string& valueName, std::uint32_t defaultValue) {
  std::optional<std::uint32_t> value;
  QueryRegistryDword(root, subKey, valueName, value);
  return value.value_or(defaultValue);
}

bool WriteRegistryDword(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreU32(bytes, value);
  return CurrentMachine().SetRegValue(root, subKey, valueName, regtype::dword, bytes, 4) ==
         winerror::success;
}

bool DeleteRegistryKey(hkey::Root root, const std::string& subKey) {
  return CurrentMachine().DeleteRegKey(root, subKey) == winerror::success;
}

}  // namespace velmora
