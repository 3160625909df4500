// SimMachine: profile files, through the machine's own file operations.
#include "backends/sim/sim_machine.h"
#include "backends/sim/sim_profile.h"

namespace velmora {

std::string SimMachine::QueryProfileString(const std::string& file, const std::string& section,
                                           const std::string& key, const std::string& defaultValue,
                                           std::uint32_t size) {
  return sim::QueryProfileString(*this, file, section, key, defaultValue, size);
}

FileCause SimMachine::SetProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) {
  return sim::SetProfileString(*this, file, section, key, value);
}

FileCause SimMachine::DeleteProfileKey(const std::string& file, const std::string& section,
                                       const std::string& key) {
  return sim::DeleteProfileKey(*this, file, section, key);
}

FileCause SimMachine::DeleteProfileSection(const std::string& file, const std::string& section) {
  return sim::DeleteProfileSection(*this, file, section);
}

}  // namespace velmora
