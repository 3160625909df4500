// The files of a manifest's folder entry (class = "folder", docs/manifest.md):
// every regular file below the folder that no exclude pattern matches, each
// named by its path below the folder as a Windows file name, in the order
// harvest gives them (each folder's entries sorted by name, a sub-folder's
// files where its name sorts).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::cli {

struct FolderFile {
  std::filesystem::path path;  // on the host
  std::string windowsName;     // code page 1252, the parts joined by '\'
  bool readOnly = false;       // its owner may not write it
  bool hidden = false;         // its name starts with a dot
};

struct FolderListing {
  std::vector<FolderFile> files;
  // What keeps a file or folder out, each naming its path as `shownAs`
  // and the path below it: a name that cannot be a Windows file name, two
  // names that differ only by case, a link, a special file.
  std::vector<std::string> problems;
  std::vector<std::string> unreadable;  // folders that cannot be listed, and why
  std::vector<std::string> unmatched;   // exclude patterns that matched nothing
};

// `folder` is named `shownAs` in messages.  The patterns are those of
// authoring/path_pattern.h, on the path below `folder`; a folder they match
// is left out whole.
FolderListing ListFolder(const std::filesystem::path& folder, const std::string& shownAs,
                         const std::vector<std::string>& exclude);

}  // namespace velmora::cli
