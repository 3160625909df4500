#include "authoring/package_layout.h"

namespace velmora {

std::string MediaFileName(int part, std::uint32_t number) {
  return MediaFileNameFor(part == kSecondPart, number);
}

std::string MediaFilePath(const std::string& folder, int part, std::uint32_t number) {
  std::string name = MediaFileName(part, number);
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

}  // namespace velmora
