// <windows.h> for the Win32 backend.  The seams name their operations after
// the Win32 calls they stand for (DeleteFile, MessageBox, ...), which
// <windows.h> defines as macros for the A/W variants; they are undefined here
// so the seam methods keep their names and the backend calls the ANSI
// functions explicitly.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After <windows.h>, which it needs: the tree view and image lists of the
// folder browser.
#include <commctrl.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetFileAttributes
#undef GetFullPathName
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef MessageBox
#undef MoveFile
#undef RemoveDirectory
#undef SetCurrentDirectory
#undef SetFileAttributes
