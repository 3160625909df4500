// Win32Machine: the folder of installed programs and the permissions of
// directories.
#include "backends/win32/win32_api.h"
// After <windows.h>, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <array>
#include <string>

#include "backends/win32/directory_permissions.h"
#include "backends/win32/win32_error.h"
#include "backends/win32/win32_machine.h"

namespace velmora {
namespace {

// The rights that let a user change what a directory holds or who may.
constexpr ACCESS_MASK kWriteRights =
    FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

// Everyone, Authenticated Users, INTERACTIVE, BUILTIN\Users.
constexpr std::array<const char*, 4> kUserGroups = {"S-1-1-0", "S-1-5-11", "S-1-5-4",
                                                    "S-1-5-32-545"};

bool IsUserGroup(PSID sid) {
  char* text = nullptr;
  if (!::IsValidSid(sid) || !::ConvertSidToStringSidA(sid, &text)) return false;
  const std::string name = text;
  ::LocalFree(text);
  return std::find(kUserGroups.begin(), kUserGroups.end(), name) != kUserGroups.end();
}

}  // namespace

bool DaclLetsUsersWrite(const ACL* dacl) {
  if (dacl == nullptr) return true;
  auto* list = const_cast<ACL*>(dacl);  // GetAce takes a writable pointer
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                          FILE_ALL_ACCESS};
  ACCESS_MASK denied = 0;
  ACCESS_MASK granted = 0;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(list, i, &ace)) return true;  // a DACL that cannot be read
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    // An entry only for what is made inside does not apply to the directory.
    if ((header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
      continue;
    // Both kinds are laid out alike: the header, the mask, then the SID.
    auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (!IsUserGroup(&entry->SidStart)) continue;
    ACCESS_MASK mask = entry->Mask;
    ::MapGenericMask(&mask, &mapping);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
      denied |= mask;
    } else {
      granted |= mask & ~denied;
    }
  }
  return (granted & kWriteRights) != 0;
}

std::string Win32Machine::GetProgramFilesDirectory() {
  // The 32-bit view: on 64-bit Windows that is the folder of 32-bit programs.
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return {};
  char value[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;  // one byte short of the buffer: room for a missing zero
  DWORD type = REG_NONE;
  const LONG result = ::RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                         reinterpret_cast<BYTE*>(value), &size);
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  value[std::min<DWORD>(size, MAX_PATH)] = '\0';
  if (type == REG_SZ) return value;
  char expanded[MAX_PATH + 1] = {};
  const DWORD length = ::ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
  return length == 0 || length > MAX_PATH ? std::string() : std::string(expanded);
}

FileCause Win32Machine::CreateProtectedDirectory(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kProtectedDirectorySddl, SDDL_REVISION_1, &descriptor, nullptr))
    return LastFileCause();
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  const bool created = ::CreateDirectoryA(path.c_str(), &security) != 0;
  const FileCause cause = created ? FileCause::none : LastFileCause();
  ::LocalFree(descriptor);
  return cause;
}

bool Win32Machine::UsersCanWriteDirectory(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return true;  // what cannot be told counts as open
  const bool writable = DaclLetsUsersWrite(dacl);
  ::LocalFree(descriptor);
  return writable;
}

}  // namespace velmora
