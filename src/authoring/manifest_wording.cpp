#include "authoring/manifest_wording.h"

namespace velmora {
namespace {

constexpr RefusalWording kWordings[] = {
    {"You must enter a value for name", "'name' must not be empty"},
    {"You have specified a duplicate name, which is not permitted",
     "'name' is also the name of another step; each step's name must be its own"},
    {"You must enter a Question", "'question' must not be empty"},
    {"You must enter a value for all or none of the ini fields",
     "give all of 'ini_file', 'ini_section' and 'ini_entry', or none of them"},
    {"You must enter a prefix", "'prefix' must not be empty"},
    {"You must enter a value for the Prefix field", "'prefix' must not be empty"},
    {"You must enter Prefix value", "'prefix' must not be empty"},
    {"You can't enter this directory as the prefix",
     "'prefix' names the step itself; give another directory step or <None>"},
    {"You must enter a value for all of the ini fields and the Value or Prefix field",
     "'ini_file', 'ini_section' and 'ini_entry' must not be empty, nor 'default' when 'prefix' "
     "is <None>"},
    {"You must enter a value for all of the ini fields or enter a value Reg entry",
     "give 'reg_entry', or all of 'ini_file', 'ini_section' and 'ini_entry'"},
    {"You must enter a value for Reg entry", "'reg_entry' must not be empty"},
    {"You must enter Reg value", "'default' must not be empty"},
    {"You must enter a value for the directory group item", "'directory' must not be empty"},
    {"You already have a Program Manager's Group, only one is permitted",
     "a package holds at most one program_group step"},
};

}  // namespace

std::span<const RefusalWording> RefusalWordings() { return kWordings; }

std::string ManifestWording(const std::string& refusal) {
  for (const RefusalWording& wording : kWordings)
    if (refusal == wording.refusal) return wording.manifest;
  return refusal;
}

}  // namespace velmora
