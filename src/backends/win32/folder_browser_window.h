// The folder browser (dialog 107): the machine's drives and folders in a
// tree view that mirrors a FolderTree, filled one level ahead of what the
// user has opened.
#pragma once

#include <string>

namespace velmora {

// Runs the browser modally, without a parent window.  Answers IDOK with the
// selected item's path in result ("" when nothing was selected), or IDCANCEL
// with result untouched.
int RunFolderBrowser(std::string& result);

}  // namespace velmora
