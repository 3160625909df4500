// Registry access for the whole system: string and 32-bit values, values
// of any type read and written whole, value and key deletion, root key
// names and the registry entry text the steps use.
// Every function goes through CurrentMachine(), opens the key it needs, does
// one thing and closes it again.  None shows a message or throws: readers
// fall back to an empty string or the caller's default, writers answer
// false.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace velmora {

// The predefined root key named exactly (byte for byte) "HKEY_CLASSES_ROOT",
// "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS", "HKEY_PERFORMANCE_DATA" or "HKEY_DYN_DATA"; 0 for any other
// text (abbreviations, other case) and for a null name.
hkey::Root RootKeyFromName(const char* name);
hkey::Root RootKeyFromName(const std::string& name);

// A registry entry text "ROOT\sub\key\Value" taken apart.
struct RegistryEntry {
  hkey::Root root = 0;
  std::string subKey;     // may be empty
  std::string valueName;  // empty: the key's default value
};

// Splits the text at its first backslash (root key name | rest) and the
// rest at its last backslash (subkey path | value name).  False, with entry
// untouched, when either has no backslash or the root key name is unknown.
bool SplitRegistryEntry(const std::string& text, RegistryEntry& entry);

// Reads a REG_SZ or REG_EXPAND_SZ value (as stored, not expanded) into
// buffer, which holds size bytes.  A null buffer or size 0 is left alone.
// Otherwise the buffer ends up empty unless the value exists, is a string
// and fits whole with its terminating zero: a value too large is not
// truncated.
void ReadRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        char* buffer, std::uint32_t size);
// The same read into a buffer of bufferSize bytes, answered as a string.
std::string ReadRegistryString(hkey::Root root, const std::string& subKey,
                               const std::string& valueName, std::uint32_t bufferSize);

// The text ReadRegistryString with a buffer of bufferSize bytes gives for
// a value read whole into data.
std::string RegistryStringOf(const RegData& data, std::uint32_t bufferSize);

// Reads a value whole, whatever its type and size: success fills data's
// type, size and all its bytes.  A missing key or value is fileNotFound;
// any other failure is the registry's answer.
long QueryRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        RegData& data);
// Sets a value to type and bytes as given; missing keys on the path are
// created.
bool WriteRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::uint32_t type, const std::vector<std::uint8_t>& bytes);
// Deletes one value; the key stays.
bool DeleteRegistryValue(hkey::Root root, const std::string& subKey, const std::string& valueName);

// Sets a REG_SZ value to the text up to its first zero, with the
// terminating zero; missing keys on the path are created.
bool WriteRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                         const std::string& value);
// The same, answering the machine's result (winerror::success when written).
long SetRegistryString(hkey::Root root, const std::string& subKey, const std::string& valueName,
                       const std::string& value);
// A registry function's result in words, as the run's transcript gives a
// failure's cause: "Access Denied", "Not Found", ..., "Registry Error 1234".
std::string RegistryErrorText(long result);

// The four bytes of a REG_DWORD or REG_DWORD_BIG_ENDIAN value, in the
// machine's (little-endian) order, so a big-endian value is not swapped;
// defaultValue for anything else, including a missing or shorter value.
std::uint32_t ReadRegistryDword(hkey::Root root, const std::string& subKey,
                                const std::string& valueName, std::uint32_t defaultValue);
// The same read, answering the registry's result: value holds the number
// only when it succeeded and the value is a 4-byte DWORD.
long QueryRegistryDword(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::optional<std::uint32_t>& value);
// Sets a REG_DWORD value; missing keys on the path are created.
bool WriteRegistryDword(hkey::Root root, const std::string& subKey, const std::string& valueName,
                        std::uint32_t value);

// Deletes one key.  A key that still has subkeys is refused, as the
// platform refuses it.
bool DeleteRegistryKey(hkey::Root root, const std::string& subKey);

}  // namespace velmora
