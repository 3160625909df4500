// The simulated registry's keys: one flat table from the folded full path
// of a key ("hkey_users\s-1-5-21-0-0-0-1000\software") to its stored path
// (case kept) and its values.  A key's subkeys are the entries whose folded
// path continues its own with a backslash and one more name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace velmora::sim {

struct StoredKey {
  std::string path;                        // full path, case kept
  std::map<std::string, RegValue> values;  // by folded value name
};
using KeyTable = std::map<std::string, StoredKey>;

// The folded table index of a key given as components.
std::string FoldedPath(const std::vector<std::string>& parts);

// The key, made with any missing keys above it (their folded paths added
// to created when given).
StoredKey& EnsureKey(KeyTable& keys, const std::vector<std::string>& parts,
                     std::vector<std::string>* created = nullptr);

bool HasSubkeys(const KeyTable& keys, const std::string& folded);

// The last names (case kept) of a key's direct subkeys.
std::vector<std::string> SubkeyNames(const KeyTable& keys, const std::string& folded);

// True for keys of the tree that is kept in memory only.
bool IsVolatile(const std::string& folded);

}  // namespace velmora::sim
