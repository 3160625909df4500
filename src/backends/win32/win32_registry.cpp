// Win32Machine: the registry through the ANSI registry functions.  Each
// operation opens (or creates) its key, does one thing and closes it.
#include <algorithm>

#include "backends/win32/win32_api.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

// Only the seven predefined keys are accepted: any other number could be a
// real handle of this process.
bool IsRootKey(hkey::Root root) { return root >= hkey::classesRoot && root <= hkey::dynData; }

// The predefined HKEY values are sign-extended 32-bit numbers.
HKEY AsHkey(hkey::Root root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

// Opening an empty path answers the root itself, which must not be closed.
void CloseKey(HKEY key, hkey::Root root) {
  if (key != AsHkey(root)) ::RegCloseKey(key);
}

}  // namespace

long Win32Machine::QueryRegValue(hkey::Root root, const std::string& subKey,
                                 const std::string& valueName, std::uint32_t available,
                                 RegData& data) {
  data = RegData{};
  if (!IsRootKey(root)) return ERROR_INVALID_HANDLE;
  HKEY key = nullptr;
  LONG result = ::RegOpenKeyExA(AsHkey(root), subKey.c_str(), 0, KEY_READ, &key);
  if (result != ERROR_SUCCESS) return result;
  // Always a real buffer: with none, the call would report the size and
  // succeed instead of answering ERROR_MORE_DATA.
  std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(available, 1));
  DWORD type = REG_NONE;
  DWORD size = available;
  result = ::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, buffer.data(), &size);
  CloseKey(key, root);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return result;
  data.type = type;
  data.size = size;
  if (result == ERROR_SUCCESS) {
    buffer.resize(std::min<std::size_t>(size, available));
    data.bytes = std::move(buffer);
  }
  return result;
}

long Win32Machine::SetRegValue(hkey::Root root, const std::string& subKey,
                               const std::string& valueName, std::uint32_t type, const void* bytes,
                               std::uint32_t size) {
  if (!IsRootKey(root)) return ERROR_INVALID_HANDLE;
  if (bytes == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  // RegSetValueExA looks one byte past a string that lacks its terminating
  // zero; the copy makes that byte a zero, so the terminator is added.
  const auto* first = static_cast<const BYTE*>(bytes);
  std::vector<BYTE> copy(first, first + size);
  copy.push_back(0);
  HKEY key = nullptr;
  LONG result =
      ::RegCreateKeyExA(AsHkey(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = ::RegSetValueExA(key, valueName.c_str(), 0, type, copy.data(), size);
  CloseKey(key, root);
  return result;
}

long Win32Machine::DeleteRegKey(hkey::Root root, const std::string& subKey) {
  if (!IsRootKey(root)) return ERROR_INVALID_HANDLE;
  if (root == hkey::performanceData) return ERROR_INVALID_HANDLE;
  // An empty path names the root key itself, which is never deleted.
  if (subKey.empty()) return ERROR_ACCESS_DENIED;
  return ::RegDeleteKeyA(AsHkey(root), subKey.c_str());
}

long Win32Machine::DeleteRegValue(hkey::Root root, const std::string& subKey,
                                  const std::string& valueName) {
  if (!IsRootKey(root)) return ERROR_INVALID_HANDLE;
  if (root == hkey::performanceData) return ERROR_INVALID_HANDLE;
  HKEY key = nullptr;
  LONG result = ::RegOpenKeyExA(AsHkey(root), subKey.c_str(), 0, KEY_SET_VALUE, &key);
  if (result != ERROR_SUCCESS) return result;
  result = ::RegDeleteValueA(key, valueName.c_str());
  CloseKey(key, root);
  return result;
}

long Win32Machine::ListRegKey(hkey::Root root, const std::string& subKey,
                              std::vector<std::string>& subKeys, std::vector<RegValue>& values) {
  subKeys.clear();
  values.clear();
  if (!IsRootKey(root)) return ERROR_INVALID_HANDLE;
  HKEY key = nullptr;
  LONG result = ::RegOpenKeyExA(AsHkey(root), subKey.c_str(), 0, KEY_READ, &key);
  if (result != ERROR_SUCCESS) return result;

  std::vector<char> name(1024);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    result = ::RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    subKeys.emplace_back(name.data(), length);
  }
  if (result == ERROR_NO_MORE_ITEMS) {
    std::vector<char> valueName(32768);
    std::vector<BYTE> buffer(4096);
    for (DWORD index = 0;;) {
      DWORD nameLength = static_cast<DWORD>(valueName.size());
      DWORD type = REG_NONE;
      DWORD size = static_cast<DWORD>(buffer.size());
      result = ::RegEnumValueA(key, index, valueName.data(), &nameLength, nullptr, &type,
                               buffer.data(), &size);
      if (result == ERROR_MORE_DATA && size > buffer.size()) {
        buffer.resize(size);  // and read the same value again
        continue;
      }
      if (result != ERROR_SUCCESS) break;
      values.push_back({std::string(valueName.data(), nameLength), type,
                        std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + size)});
      ++index;
    }
  }
  CloseKey(key, root);
  if (result != ERROR_NO_MORE_ITEMS) {
    subKeys.clear();
    values.clear();
    return result;
  }
  return ERROR_SUCCESS;
}

}  // namespace velmora
