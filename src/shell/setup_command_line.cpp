#include "shell/setup_command_line.h"

#include "framework/ascii.h"
#include "steps/installed_products.h"

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One word of the command line from `at`: a quoted text without its quotes,
// or the text up to the next blank.  Advances past it and the blanks after.
bool NextWord(const std::string& line, std::size_t& at, std::string& word) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at >= line.size()) return false;
  word.clear();
  if (line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    const std::size_t end = close == std::string::npos ? line.size() : close;
    word = line.substr(at + 1, end - at - 1);
    at = close == std::string::npos ? end : close + 1;
  } else {
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    word = line.substr(start, at - start);
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  return true;
}

}  // namespace

SetupOptions ParseSetupCommandLine(const std::string& commandLine, bool installMode) {
  SetupOptions options;
  std::size_t at = 0;
  std::string word;
  for (;;) {
    const std::size_t before = at;
    if (!NextWord(commandLine, at, word)) break;
    const bool option = !word.empty() && word[0] == '/' && commandLine[before] != '"';
    if (!installMode && !option) {
      at = before;  // the log path starts here
      break;
    }
    const std::string name = AsciiLowered(word);
    if (name == "/quiet") {
      options.quiet = true;
      continue;
    }
    std::string* file = name == "/log"                      ? &options.logPath
                        : installMode && name == "/answers" ? &options.answersPath
                        : installMode && name == "/record"  ? &options.recordPath
                                                            : nullptr;
    if (file != nullptr) {
      if (!NextWord(commandLine, at, *file) || file->empty()) {
        if (options.error.empty()) options.error = word + " needs a file name";
        return options;
      }
      continue;
    }
    if (name == "/strict" && installMode) {
      options.strict = true;
      continue;
    }
    // The first problem is the one reported; the options after it are
    // still read, so that a /log later on the line gets the report.
    const char* known = installMode
                            ? " (options: /quiet, /answers FILE, /strict, /record FILE, /log FILE)"
                            : " (options: /quiet, /log FILE, then the log path)";
    if (options.error.empty())
      options.error = (option ? "unknown option " : "unexpected argument ") + word + known;
  }
  if (!installMode) {
    options.arguments = commandLine.substr(at);
    options.uninstallLogPath = UninstallLogPathFromArguments(options.arguments);
  }
  return options;
}

}  // namespace velmora
