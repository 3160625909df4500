// Opening a log refuses whatever would make the program write somewhere
// other than a plain file of its own at that name, and leaves it as it is.
#include "backends/scripted/line_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string FileText(const fs::path& path) {
  std::string text;
  return ReadTextFile(path.string(), text) ? text : "(unreadable)";
}

struct LogCase {
  const char* name;
  // Makes what is at the log's path; other is a file it may lead to.
  void (*prepare)(const fs::path& log, const fs::path& other);
  const char* reason;  // "" when the log opens
};

const LogCase kCases[] = {
    {"missing", [](const fs::path&, const fs::path&) {}, ""},
    {"plain", [](const fs::path& log, const fs::path&) { WriteFile(log, "old lines\n"); }, ""},
    {"hardLink",
     [](const fs::path& log, const fs::path& other) { fs::create_hard_link(other, log); },
     "it has other names (hard links)"},
    {"directory", [](const fs::path& log, const fs::path&) { fs::create_directory(log); },
     "it is a directory"},
#ifndef _WIN32
    {"symbolicLink",
     [](const fs::path& log, const fs::path& other) { fs::create_symlink(other, log); },
     "it is a link"},
    {"danglingLink",
     [](const fs::path& log, const fs::path& other) {
       fs::create_symlink(other.string() + ".missing", log);
     },
     "it is a link"},
    {"fifo",
     [](const fs::path& log, const fs::path&) { ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0); },
     "it is not a plain file"},
#endif
};

TEST(LineLog, OpensOnlyAPlainFileOfItsOwnAndEmptiesIt) {
#ifdef _WIN32
  const std::string end = "\r\n";
#else
  const std::string end = "\n";
#endif
  for (const LogCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = fs::path(::testing::TempDir()) / (std::string("line_log_") + c.name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path log = folder / "setup.log";
    const fs::path other = folder / "other.txt";
    WriteFile(other, "keep\n");
    c.prepare(log, other);

    {
      LineLog opened;  // closed before the folder goes: Windows keeps open files
      std::string reason;
      EXPECT_EQ(opened.Open(log.string(), reason), *c.reason == '\0');
      EXPECT_EQ(reason, c.reason);
      if (opened.IsOpen()) {
        opened.WriteLine("first");
        EXPECT_EQ(FileText(log), "first" + end);
      }
    }
    // Nothing the path led to was written, emptied or created.
    EXPECT_EQ(FileText(other), "keep\n");
    EXPECT_FALSE(fs::exists(other.string() + ".missing"));
    fs::remove_all(folder);
  }
}

}  // namespace
}  // namespace velmora
