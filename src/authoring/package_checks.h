// The checks a package passes before it is written: every step's own
// Validate, given the list of all the package's steps (both parts), its
// refusal said with the manifest's keys (authoring/manifest_wording.h), that
// every file a step places is named by its path below the target directory
// (framework/file_name_rules.h), that every directory reference names a
// directory step that runs before it, that no two file steps place the
// same file (names compared without regard to case), that every registry
// entry starts with a root key the runtime knows, and that no text the runs
// put into a Program Manager command (the group name, the title and file
// name of a program item) holds a character that would break it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "authoring/package_writer.h"

namespace velmora {

struct StepProblem {
  int part = kFirstPart;
  std::size_t index = 0;  // in its part, from 0
  std::string step;       // class and name, e.g. "CStepDirectory 'AppDir'"
  std::string message;
};

// What is wrong with a part's title, or "" when nothing is.  The title
// names the uninstaller ("X" + title + ".exe") and its registry key, so it
// must make a valid file name.
std::string TitleProblem(const std::string& title);

// Every problem of every step, in run order; empty when every step passes.  Validate may change a
// refused step (a duplicate name is cleared), so a package with problems is not written.
std::vector<StepProblem> CheckPackage(PackageDefinition& package);

}  // namespace velmora
