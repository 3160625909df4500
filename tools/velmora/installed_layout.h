// Where an installation with the default answers puts each file of a
// package on a fresh simulated machine, as a path below an output folder
// (`velmora extract --as-installed`): a directory step's path is its
// default after its prefix, "<Windows>" is C:\WINDOWS and "<Windows system>"
// C:\WINDOWS\SYSTEM, as the simulated machine names them, and the drive
// letter becomes the first folder (C:\LANTERN\BIN\TOOL.EXE ->
// C/LANTERN/BIN/TOOL.EXE).
#pragma once

#include <map>
#include <string>

#include "authoring/safe_output_path.h"

namespace velmora {
class CStepDirectory;
class CStepFile;
}  // namespace velmora

namespace velmora::cli {

class InstalledLayout {
 public:
  // A directory step, in package order: later steps may refer to it.  The
  // first step of a name is the one a reference finds, as in a run.
  void AddDirectory(const CStepDirectory& step);

  // The Windows path of a file step's target directory, with its final
  // backslash.  Ends the command (exit code 1) when the step refers to no
  // directory step before it, or to one whose path is not an absolute path
  // with a drive.
  std::string TargetDirectory(const CStepFile& step) const;

  // The file's path below the output folder.
  SafeOutputPath OutputPath(const CStepFile& step) const;

 private:
  struct Directory {
    std::string path;   // the resolved path, without a final backslash
    std::string error;  // why the path cannot be placed, "" when it can
  };
  std::string Resolve(const std::string& prefix, const std::string& defaultValue) const;

  std::map<std::string, Directory> directories_;
};

}  // namespace velmora::cli
