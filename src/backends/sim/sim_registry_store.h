// The simulated registry's file: a text file that people and tests can read
// and edit, in the spirit of a .reg export.
//
//   VELMORA REGISTRY 1
//   [HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Demo]
//   @="default value"
//   "Path"="C:\\DEMO"
//   "Template"=expand:"%WINDIR%\\DEMO"
//   "Count"=dword:00000005
//   "Other"=hex(5):00,00,00,05
//
// Every key has a [line] with its full stored path, followed by its values;
// @ names the default value.  Quoted text escapes a backslash and a quote
// with a backslash and any other byte outside printable ASCII as \xHH; a
// key name escapes '%' and such bytes as %HH.  "..." and expand:"..." hold
// text with one terminating zero, dword: four bytes; everything else is
// hex(type):bytes.  Blank lines and lines starting with ';' are ignored.
#pragma once

#include <string>

#include "backends/sim/sim_registry_keys.h"

namespace velmora::sim {

// The first line of every store.
inline constexpr const char* kStoreSignature = "VELMORA REGISTRY 1";

// The file's text for every key outside HKEY_DYN_DATA.
std::string FormatStore(const KeyTable& keys);

// Adds the keys and values of a file's text to keys.  Empty text is an
// empty store.  Throws std::runtime_error naming origin and the line for
// text that is not a store.
void ParseStore(const std::string& text, const std::string& origin, KeyTable& keys);

}  // namespace velmora::sim
