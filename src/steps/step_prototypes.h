// StepPrototypes: one prototype object of each step class that an
// installation script may name, alive for as long as this object.  The
// factory finds a class only through a live object of it, so a program
// creates one StepPrototypes at start (before reading any script or log) and
// keeps it until the end.
#pragma once

#include <vector>

namespace velmora {

class CStep;

class StepPrototypes {
 public:
  StepPrototypes();
  ~StepPrototypes();
  StepPrototypes(const StepPrototypes&) = delete;
  StepPrototypes& operator=(const StepPrototypes&) = delete;

 private:
  std::vector<CStep*> prototypes_;
};

}  // namespace velmora
