#include "folder_source.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "authoring/ansi_text.h"
#include "authoring/path_pattern.h"
#include "authoring/windows_file_name.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

class FolderWalk {
 public:
  FolderWalk(const std::string& shownAs, const std::vector<std::string>& exclude)
      : shownAs_(shownAs), exclude_(exclude), used_(exclude.size(), false) {}

  // `below` is the folder's path below the listed one, '/'-separated, and
  // `windowsBelow` the same in code page 1252 with '\'.
  void Walk(const fs::path& folder, const std::string& below, const std::string& windowsBelow) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      entries.push_back(*it);
    if (error) {
      listing_.unreadable.push_back(Shown(below) + ": " + error.message());
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                return a.path() < b.path();
              });
    std::map<std::string, std::string> caseKeys;  // upper-case name -> the name
    for (const fs::directory_entry& entry : entries) {
      const std::string name = entry.path().filename().string();
      const std::string path = below.empty() ? name : below + "/" + name;
      if (Excluded(path)) continue;
      if (const std::string problem = WindowsFileNameProblem(name); !problem.empty()) {
        listing_.problems.push_back(Shown(path) + ": cannot be a Windows file name: it " + problem);
        continue;
      }
      const std::string ansi = Utf8ToAnsi(name).value_or(name);
      const auto [first, added] = caseKeys.emplace(WindowsCaseKey(ansi), name);
      if (!added) {
        listing_.problems.push_back(Shown(path) + ": differs from " + first->second +
                                    " only by case, which Windows does not tell apart");
        continue;
      }
      const std::string windowsPath = windowsBelow.empty() ? ansi : windowsBelow + "\\" + ansi;
      if (entry.is_symlink(error)) {
        listing_.problems.push_back(Shown(path) + ": is a symbolic link");
      } else if (entry.is_directory(error)) {
        Walk(entry.path(), path, windowsPath);
      } else if (entry.is_regular_file(error)) {
        const fs::perms perms = entry.status(error).permissions();
        listing_.files.push_back({entry.path(), windowsPath,
                                  (perms & fs::perms::owner_write) == fs::perms::none,
                                  name.starts_with(".")});
      } else {
        listing_.problems.push_back(Shown(path) + ": is not a regular file or folder");
      }
    }
  }

  FolderListing Take() {
    for (std::size_t i = 0; i < exclude_.size(); ++i)
      if (!used_[i]) listing_.unmatched.push_back(exclude_[i]);
    return std::move(listing_);
  }

 private:
  std::string Shown(const std::string& below) const {
    return below.empty() ? shownAs_ : shownAs_ + "/" + below;
  }

  // Whether a pattern leaves the path out; every pattern that matches it
  // counts as used.
  bool Excluded(const std::string& path) {
    bool excluded = false;
    for (std::size_t i = 0; i < exclude_.size(); ++i) {
      if (!PathPatternMatches(exclude_[i], path)) continue;
      used_[i] = true;
      excluded = true;
    }
    return excluded;
  }

  const std::string& shownAs_;
  const std::vector<std::string>& exclude_;
  std::vector<bool> used_;
  FolderListing listing_;
};

}  // namespace

FolderListing ListFolder(const fs::path& folder, const std::string& shownAs,
                         const std::vector<std::string>& exclude) {
  FolderWalk walk(shownAs, exclude);
  walk.Walk(folder, "", "");
  return walk.Take();
}

}  // namespace velmora::cli
