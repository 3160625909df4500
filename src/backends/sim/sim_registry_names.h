// Names and paths of the simulated registry: how a root key and a subkey
// path become the path of a stored key, and how names compare.  The rules
// are those Wine's RegOpenKeyExA / RegCreateKeyExA / RegDeleteKeyA follow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace velmora::sim {

// The stored trees.  HKEY_CURRENT_USER, HKEY_CLASSES_ROOT and
// HKEY_CURRENT_CONFIG are views of keys inside them, as under Wine.
inline constexpr const char* kMachineTree = "HKEY_LOCAL_MACHINE";
inline constexpr const char* kUsersTree = "HKEY_USERS";
inline constexpr const char* kDynDataTree = "HKEY_DYN_DATA";  // never saved
inline constexpr const char* kCurrentUserSid = "S-1-5-21-0-0-0-1000";

// Limits of the ANSI functions: the whole subkey path (longer is moreData,
// from the fixed conversion buffer), one key name, one value name (longer
// is invalidParameter).
inline constexpr std::size_t kMaxSubKeyPath = 260;
inline constexpr std::size_t kMaxKeyName = 256;
inline constexpr std::size_t kMaxValueName = 16383;

// Case folding of the ANSI code page 1252: ASCII and accented letters.
std::string FoldName(const std::string& name);

bool IsRootKey(hkey::Root root);

// How the operation reads the subkey path: opening an existing key (reads,
// listing) lets HKEY_CLASSES_ROOT skip one leading backslash; creating and
// deleting do not.
enum class PathUse { open, create };

// The stored path of root\subKey as its components, the tree's name first
// ("HKEY_USERS", "S-1-5-21-0-0-0-1000", "Software", ...).  Answers success,
// badPathname, invalidParameter or moreData.  The root must be a root key
// other than HKEY_PERFORMANCE_DATA.
long ResolveKeyPath(hkey::Root root, const std::string& subKey, PathUse use,
                    std::vector<std::string>& parts);

// The keys every machine has and that are never deleted: the trees and the
// keys behind the views.
const std::vector<std::vector<std::string>>& FixedKeys();
// The keys a fresh machine starts with (the fixed ones and a few more).
const std::vector<std::vector<std::string>>& InitialKeys();

// What HKEY_PERFORMANCE_DATA answers for any value name: a performance
// data block without objects (REG_BINARY), stamped with the current time.
std::vector<std::uint8_t> PerformanceDataBlock();

}  // namespace velmora::sim
