#include "authoring/package_layout.h"

namespace velmora {

std::string MediaFileName(int part, std::uint32_t number) {
  return MediaFileNameFor(part == kSecondPart, number);
}

std::string MediaFilePath(const std::string& folder, int part, std::uint32_t number) {
  return MediaFilePathIn(folder, part == kSecondPart, number);
}

}  // namespace velmora
