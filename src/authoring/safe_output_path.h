// Turns names taken from a package (directory references and file names,
// Windows-style paths) into a relative path that stays inside an output
// folder.  Package contents are untrusted: whatever a name holds, the
// result has no root, no drive, no ".." and no device name, and every
// component is a plain name that both Windows (FileNameProblem of
// framework/file_name_rules.h answers "") and Unix file systems take.
#pragma once

#include <string>
#include <vector>

namespace velmora {

struct SafeOutputPath {
  std::vector<std::string> components;  // never empty, none "", "." or ".."
  std::vector<std::string> warnings;    // what was refused or changed, one line each

  // The components joined with "/".
  std::string Joined() const;
};

// The pieces are joined in order, each split at "\" and "/"; e.g.
// MakeSafeOutputPath({"<Windows>", "SUB\\APP.DLL"}) -> "_Windows_/SUB/APP.DLL".
SafeOutputPath MakeSafeOutputPath(const std::vector<std::string>& pieces);

}  // namespace velmora
