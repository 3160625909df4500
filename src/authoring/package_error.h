// The error the package writer and the package reader report: what is
// wrong, in words for the package author.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class PackageError : public std::runtime_error {
 public:
  explicit PackageError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace velmora
