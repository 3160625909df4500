// The simulated machine's registry operations: handed to its SimRegistry.
#include "backends/sim/sim_machine.h"

namespace velmora {

long SimMachine::QueryRegValue(hkey::Root root, const std::string& subKey,
                               const std::string& valueName, std::uint32_t available,
                               RegData& data) {
  return registry_.QueryValue(root, subKey, valueName, available, data);
}

long SimMachine::SetRegValue(hkey::Root root, const std::string& subKey,
                             const std::string& valueName, std::uint32_t type, const void* bytes,
                             std::uint32_t size) {
  return registry_.SetValue(root, subKey, valueName, type, bytes, size);
}

long SimMachine::DeleteRegKey(hkey::Root root, const std::string& subKey) {
  return registry_.DeleteKey(root, subKey);
}

long SimMachine::DeleteRegValue(hkey::Root root, const std::string& subKey,
                                const std::string& valueName) {
  return registry_.DeleteValue(root, subKey, valueName);
}

long SimMachine::ListRegKey(hkey::Root root, const std::string& subKey,
                            std::vector<std::string>& subKeys, std::vector<RegValue>& values) {
  return registry_.ListKey(root, subKey, subKeys, values);
}

}  // namespace velmora
