// Install or uninstall: SETUP.EXE decides from its own file name, and the
// texts its window shows in each mode.
#pragma once

#include <string>

namespace velmora::setup {

// "C:\DISK1\Setup.exe" -> "Setup": no directory, no extension, case kept.
std::string ModuleBaseName(const std::string& modulePath);

// Install mode only under the name SETUP, in any case; the uninstaller is a
// copy under another name.
bool IsInstallName(const std::string& baseName);

// The heading ends with the product title, or "..." while it is not known.
std::string HeadingText(bool install, const std::string& title);
std::string PreparingStatusText(bool install);

}  // namespace velmora::setup
