#include "authoring/package_layout.h"

#include <cstdio>

namespace velmora {

std::string MediaFileName(int part, std::uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, part == kSecondPart ? "velmore.%u" : "velmor.%u",
                static_cast<unsigned>(number));
  return name;
}

std::string MediaFilePath(const std::string& folder, int part, std::uint32_t number) {
  const std::string name = MediaFileName(part, number);
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

}  // namespace velmora
