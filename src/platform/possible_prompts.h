// The prompts a package can show, as far as its step records tell before
// any step runs: the texts an answer rule would be matched against where
// the records fix them, and whether a kind of prompt can come at all where
// its text is known only when the step runs.  Message boxes are left out:
// their texts come from the machine (paths, causes) as much as from the
// package.
#pragma once

#include <string>
#include <vector>

namespace velmora {

struct PossiblePrompts {
  std::vector<std::string> directoryQuestions;
  std::vector<std::string> directoryStepNames;
  std::vector<std::string> groupNames;
  std::vector<std::string> userLabels;
  bool agreements = false;
  bool readmes = false;
  bool fileReplacements = false;
};

}  // namespace velmora
