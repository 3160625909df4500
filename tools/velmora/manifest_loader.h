// Reading a package manifest (TOML, docs/manifest.md) into the steps of a
// package, with the manifest's line numbers for messages.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/package_writer.h"
#include "datafile/package_description.h"

namespace velmora::cli {

// What is wrong with a manifest, at which line (0 when no line applies).
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

struct LoadedManifest {
  PackageDefinition package;
  // The package-level `version`, `publisher` and `url`, for the package
  // description.
  ProductDetails product;
  // Manifest line of each step, per part (for messages about steps).
  std::vector<int> firstLines;
  std::vector<int> secondLines;
};

// Creates the steps through the step factory.  Throws ManifestError.
LoadedManifest LoadManifest(const std::filesystem::path& manifest);

}  // namespace velmora::cli
