// What the permissions of a directory let a user without administrator
// rights do, and the permissions of a directory only administrators may
// change.
#pragma once

#include "backends/win32/win32_api.h"

namespace velmora {

// Security descriptor (SDDL) of Win32Machine::CreateProtectedDirectory: a
// protected DACL (nothing inherited from the folder above) giving
// administrators and SYSTEM full control and users read and execute, each
// inherited by the folders and files made in it.
inline constexpr const char* kProtectedDirectorySddl =
    "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;GRGX;;;BU)";

// True when the DACL of a directory lets a member of Everyone, Users,
// Authenticated Users and INTERACTIVE (any signed-in user) add, rename or
// delete its entries or take it over: add a file or subdirectory, delete a
// child or the directory itself, change its permissions or its owner.  The
// entries that name one of these groups are weighed in order, a denial
// before a grant winning, as the system weighs them for such a user.  A
// null DACL lets everyone do everything.
bool DaclLetsUsersWrite(const ACL* dacl);

}  // namespace velmora
