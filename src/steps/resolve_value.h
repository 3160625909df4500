// The directory-reference rule: a prefix and a default become one value.
//   "<None>"            the default, unchanged
//   "<Windows>"         the Windows directory, then the default
//   "<Windows system>"  the system directory, then the default
//   anything else       the path of the run's directory step of that name,
//                       then the default
// Between directory and default there is exactly one backslash.  Problems
// are shown in a message box (OK, exclamation icon) and the value is still
// built: from a placeholder text and the default, or from the default alone.
// A directory step that yields no path gives the default without a message.
// Comparisons are exact and case-sensitive.
//
// A joined value longer than the platform's path buffer holds is no value:
// the rule answers none rather than a cut one, and the step that asked
// says so (it knows where the value was to go).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/path_limit.h"

namespace velmora {

class RunContext;

// Longest value the rule produces when it joins a directory (or a
// placeholder) and a default: the platform's path buffer less its
// terminator.  "<None>" joins nothing, so its default is not limited.
inline constexpr std::size_t kMaxResolvedLength = kMaxPathBytes - 1;

// The value; none when a join does not fit kMaxResolvedLength.  `run` holds
// the directory steps a name may refer to (null: none).
std::optional<std::string> ResolveDirectoryReference(const RunContext* run,
                                                     const std::string& prefix,
                                                     const std::string& defaultValue);

}  // namespace velmora
