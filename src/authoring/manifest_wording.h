// The steps' own refusals (Validate) are the runtime's texts, which its
// dialogs show ("You must enter a Question").  A package author writes
// manifest keys, so the checks before packing say the same with the keys
// ("'question' must not be empty").
#pragma once

#include <span>
#include <string>

namespace velmora {

struct RefusalWording {
  const char* refusal;   // as a step's Validate gives it
  const char* manifest;  // the same, named by the manifest's keys
};

// Every refusal of the steps' Validate, each once.
std::span<const RefusalWording> RefusalWordings();

// The manifest's wording of a refusal; the refusal itself when the table
// has none.
std::string ManifestWording(const std::string& refusal);

}  // namespace velmora
