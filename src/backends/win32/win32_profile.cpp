// Win32Machine: profile (.ini) files through GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#include <algorithm>
#include <vector>

#include "backends/win32/win32_api.h"
#include "backends/win32/win32_error.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

// The buffer a read is given is the size asked for, but never more than
// this: a caller's size is meant as the size of a buffer it would hold,
// and an absurd one must not make the read fail for want of memory.
constexpr DWORD kMaxReadBuffer = 1u << 20;

FileCause Write(const std::string& file, const char* section, const char* key, const char* value) {
  return ::WritePrivateProfileStringA(section, key, value, file.c_str()) ? FileCause::none
                                                                         : LastFileCause();
}

}  // namespace

std::string Win32Machine::QueryProfileString(const std::string& file, const std::string& section,
                                             const std::string& key,
                                             const std::string& defaultValue, std::uint32_t size) {
  if (size == 0) return {};
  const DWORD room = std::min<DWORD>(size, kMaxReadBuffer);
  std::vector<char> buffer(room, '\0');
  const DWORD length = ::GetPrivateProfileStringA(
      section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), room, file.c_str());
  return std::string(buffer.data(), std::min<DWORD>(length, room - 1));
}

FileCause Win32Machine::SetProfileString(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& value) {
  return Write(file, section.c_str(), key.c_str(), value.c_str());
}

FileCause Win32Machine::DeleteProfileKey(const std::string& file, const std::string& section,
                                         const std::string& key) {
  return Write(file, section.c_str(), key.c_str(), nullptr);
}

FileCause Win32Machine::DeleteProfileSection(const std::string& file, const std::string& section) {
  return Write(file, section.c_str(), nullptr, nullptr);
}

}  // namespace velmora
