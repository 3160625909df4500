// File step names, hostile and sound, with what the framework's rules say
// of each; every reader of such names is run over the same table.
#pragma once

namespace velmora::test {

struct FileNameCase {
  const char* name;
  const char* problem;  // of RelativeFileNameProblem; "" for a sound name
};

inline constexpr FileNameCase kFileNameCases[] = {
    {"README.TXT", ""},
    {"BIN\\TOOL.EXE", ""},
    {"Notes 2.1\\.hidden", ""},
    {"COM10", ""},
    {"..\\x", "has the component '..'"},
    {"a\\..\\..\\x", "has the component '..'"},
    {".\\x", "has the component '.'"},
    {"C:x", "names the drive C:"},
    {"C:\\x", "names the drive C:"},
    {"\\x", "starts with a backslash"},
    {"a\\\\b", "has an empty component"},
    {"a\\", "has an empty component"},
    {"", "is empty"},
    {"CON", "is the device name CON"},
    {"con.txt", "is the device name CON"},
    {"LPT1.log", "is the device name LPT1"},
    {"BIN\\conout$ .x", "has a component that is the device name CONOUT$"},
    {"a.", "ends with a dot"},
    {"a ", "ends with a blank"},
    {"BIN.\\x", "has a component that ends with a dot"},
    {"a|b", "holds '|'"},
    {"a*", "holds '*'"},
    {"ab:c", "holds ':'"},
    {"a/b", "holds '/'"},
    {"a\tb", "holds a control character"},
};

}  // namespace velmora::test
