#include "backends/sim/sim_registry_keys.h"

#include "backends/sim/sim_registry_names.h"

namespace velmora::sim {
namespace {

// Entries below folded (at any depth): those starting with "folded\".
template <typename F>
void ForEachBelow(const KeyTable& keys, const std::string& folded, F&& visit) {
  const std::string prefix = folded + '\\';
  for (auto it = keys.lower_bound(prefix); it != keys.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    if (!visit(it->first.substr(prefix.size()), it->second)) break;
  }
}

}  // namespace

std::string FoldedPath(const std::vector<std::string>& parts) {
  std::string path;
  for (const std::string& part : parts) {
    if (!path.empty()) path += '\\';
    path += FoldName(part);
  }
  return path;
}

StoredKey& EnsureKey(KeyTable& keys, const std::vector<std::string>& parts,
                     std::vector<std::string>* created) {
  std::string folded;
  std::string stored;
  StoredKey* key = nullptr;
  for (const std::string& part : parts) {
    if (!folded.empty()) {
      folded += '\\';
      stored += '\\';
    }
    folded += FoldName(part);
    auto it = keys.find(folded);
    if (it == keys.end()) {
      it = keys.emplace(folded, StoredKey{stored + part, {}}).first;
      if (created != nullptr) created->push_back(folded);
    }
    key = &it->second;
    stored = key->path;
  }
  return *key;
}

bool HasSubkeys(const KeyTable& keys, const std::string& folded) {
  bool any = false;
  ForEachBelow(keys, folded, [&](const std::string&, const StoredKey&) {
    any = true;
    return false;
  });
  return any;
}

std::vector<std::string> SubkeyNames(const KeyTable& keys, const std::string& folded) {
  std::vector<std::string> names;
  ForEachBelow(keys, folded, [&](const std::string& rest, const StoredKey& key) {
    if (rest.find('\\') == std::string::npos)
      names.push_back(key.path.substr(key.path.rfind('\\') + 1));
    return true;
  });
  return names;
}

bool IsVolatile(const std::string& folded) {
  const std::string tree = FoldName(kDynDataTree);
  return folded.compare(0, tree.size(), tree) == 0 &&
         (folded.size() == tree.size() || folded[tree.size()] == '\\');
}

}  // namespace velmora::sim
