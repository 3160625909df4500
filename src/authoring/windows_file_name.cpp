#include "authoring/windows_file_name.h"

#include <optional>

#include "authoring/ansi_text.h"
#include "framework/file_name_rules.h"

namespace velmora {

std::string WindowsFileNameProblem(const std::string& utf8Name) {
  if (utf8Name.empty()) return "is empty";
  std::string bad;
  const std::optional<std::string> ansi = Utf8ToAnsi(utf8Name, &bad);
  if (!ansi) return "holds " + bad + ", which the Windows code page 1252 lacks";
  return FileNameProblem(*ansi);
}

std::string WindowsCaseKey(std::string ansiName) {
  for (char& c : ansiName) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
      c = static_cast<char>(byte - 0x20);
  }
  return ansiName;
}

}  // namespace velmora
