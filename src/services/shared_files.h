// Shared-file counts: how many installations use a file, kept as a REG_DWORD
// named by the file's full path under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\SharedDLLs".
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

extern const char* const kSharedDllsKey;

// The count of `path`; defaultValue when there is none (or not a DWORD).
std::uint32_t ReadSharedCount(const std::string& path, std::uint32_t defaultValue);
// The same with 0 for none, but false when the registry could not be read
// at all (an error other than a missing key or value), so that a count is
// never taken for absent when it is only unreadable.
bool ReadSharedCountChecked(const std::string& path, std::uint32_t& count);
bool WriteSharedCount(const std::string& path, std::uint32_t count);
// True when the file has a count value at all (of any number).
bool HasSharedCount(const std::string& path);
// Removes the file's count value.
bool DeleteSharedCount(const std::string& path);

}  // namespace velmora
