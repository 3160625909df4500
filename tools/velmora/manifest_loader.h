// Reading a package manifest (TOML, docs/manifest.md) into the steps of a
// package, with the manifest's line numbers for messages.  A mistake does
// not stop the reading: the key or step is left out, the mistake is noted,
// and the rest is read, so that one run reports every one.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/package_writer.h"
#include "datafile/package_description.h"

namespace velmora::cli {

// A manifest that cannot be read at all: the file itself is unreadable, or
// its TOML syntax is broken (the parser stops at the first error).
class ManifestError : public std::runtime_error {
 public:
  ManifestError(const std::string& file, int line, const std::string& message, bool io = false);
  int Line() const { return line_; }
  // True when a file could not be read, rather than the manifest being wrong.
  bool IsIo() const { return io_; }

 private:
  int line_;
  bool io_;
};

enum class ProblemKind {
  mistake,     // the manifest is wrong
  unreadable,  // a file it names cannot be read
  warning,     // packed all the same
};

struct ManifestProblem {
  int line = 0;       // 0 when no line applies
  std::string where;  // "step 2 (CStepDirectory 'AppDir')"; "" for the package itself
  std::string message;
  ProblemKind kind = ProblemKind::mistake;
};

// Where a step of the package came from.  A folder entry gives several
// steps, each with the entry's line.
struct StepOrigin {
  int line = 0;
  bool faulty = false;  // the manifest has a mistake in it; its step checks wait
};

struct LoadedManifest {
  // A step whose class could not be made is a null step, which keeps the
  // numbering of the others.
  PackageDefinition package;
  // The package-level `version`, `publisher` and `url`, for the package
  // description.
  ProductDetails product;
  std::vector<StepOrigin> firstOrigins;
  std::vector<StepOrigin> secondOrigins;
  // In manifest order; the package is not to be written when any is not a
  // warning.
  std::vector<ManifestProblem> problems;
};

// Creates the steps through the step factory.  Throws ManifestError only
// when the manifest cannot be read or parsed; every other mistake is in
// `problems`.
LoadedManifest LoadManifest(const std::filesystem::path& manifest);

}  // namespace velmora::cli
