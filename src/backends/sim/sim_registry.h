// SimRegistry: the simulated machine's registry.  It answers the Machine
// registry operations as Wine's registry does (see machine.h for the shared
// rules), and keeps its keys in a text file (format in sim_registry_store.h)
// that is read on construction and rewritten after every change.
//
// Layout, as in a 32-bit Wine prefix:
//  - HKEY_LOCAL_MACHINE and HKEY_USERS are stored trees.
//  - HKEY_CURRENT_USER is HKEY_USERS\S-1-5-21-0-0-0-1000, HKEY_CLASSES_ROOT
//    is HKEY_LOCAL_MACHINE\Software\Classes and HKEY_CURRENT_CONFIG is
//    HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current.
//    These keys, and the trees, cannot be deleted.
//  - HKEY_DYN_DATA is a tree of its own that lives only as long as the
//    object (Wine keeps it in memory only); it starts with the keys
//    "Config Manager" and "PerfStats\StatData".
//  - HKEY_PERFORMANCE_DATA has no keys: any value read from its root is a
//    performance data block, and everything else is invalidHandle.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "backends/sim/sim_registry_keys.h"
#include "platform/machine.h"

namespace velmora::sim {

class SimRegistry {
 public:
  // storeFile empty: kept in memory only.  Reads the file when it exists;
  // throws std::runtime_error when it cannot be read or is not a store.
  explicit SimRegistry(std::filesystem::path storeFile = {});

  long QueryValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                  std::uint32_t available, RegData& data);
  // A change that cannot be saved is undone and answers registryIoFailed.
  long SetValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                std::uint32_t type, const void* bytes, std::uint32_t size);
  long DeleteKey(hkey::Root root, const std::string& subKey);
  long DeleteValue(hkey::Root root, const std::string& subKey, const std::string& valueName);
  long ListKey(hkey::Root root, const std::string& subKey, std::vector<std::string>& subKeys,
               std::vector<RegValue>& values);
  // Removes one value and answers it; false when it is not there or the
  // change cannot be saved.  The system's own use of its registry (the
  // machine's restart), not a program's call: neither counted nor faulted.
  bool TakeValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                 RegValue& value);

  // The nth call (from now, 1-based) of the named operation ("QueryRegValue",
  // "SetRegValue", "DeleteRegKey", "DeleteRegValue", "ListRegKey") answers
  // error and does nothing else.  Throws std::invalid_argument for an unknown name, nth < 1
  // or error 0.
  void InjectFault(const std::string& operation, int nth, long error);
  void ClearFaults() { faults_.clear(); }
  std::size_t PendingFaults() const { return faults_.size(); }
  // Calls of each of those operations so far, by name.
  const std::map<std::string, int>& Calls() const { return calls_; }

  const std::filesystem::path& StoreFile() const { return file_; }

 private:
  struct Fault {
    std::string operation;
    int remaining;
    long error;
  };

  long NextFault(const std::string& operation);
  // The stored key of root\subKey, or null; answers how the path failed.
  long Find(hkey::Root root, const std::string& subKey, const StoredKey*& key) const;
  void Load();
  bool Save() const;

  std::filesystem::path file_;
  KeyTable keys_;
  std::vector<Fault> faults_;
  std::map<std::string, int> calls_;
};

}  // namespace velmora::sim
