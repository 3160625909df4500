// The profile (.ini) operations of the simulated machine, built on a
// machine's own file operations: every read and write of a profile file is
// an OpenFile / ReadFile / WriteFile / CloseFile of that machine, so its
// paths, sharing rules, attributes, free space and injected faults apply
// as to any other file.  Any Machine whose file operations behave as
// Windows' do can answer its profile operations with these.
//
// Each operation reads the whole file afresh (nothing is cached), and a
// change rewrites the whole file in the form FormatProfile gives; an edit
// that changes nothing writes nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/machine.h"

namespace velmora::sim {

// The path of a profile file as the profile functions take it: a name
// without a separator or drive ("APP.INI") is the file of that name in the
// Windows directory; anything else is the path as given.
std::string ProfileFilePath(Machine& machine, const std::string& file);

std::string QueryProfileString(Machine& machine, const std::string& file,
                               const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::uint32_t size);
FileCause SetProfileString(Machine& machine, const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value);
FileCause DeleteProfileKey(Machine& machine, const std::string& file, const std::string& section,
                           const std::string& key);
FileCause DeleteProfileSection(Machine& machine, const std::string& file,
                               const std::string& section);

}  // namespace velmora::sim
