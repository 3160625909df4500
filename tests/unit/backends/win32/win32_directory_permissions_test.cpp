// Which directory permissions let a signed-in user without administrator
// rights change a directory, weighed on DACLs made from their SDDL text.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "backends/win32/directory_permissions.h"
// After <windows.h>, which it needs.
#include <sddl.h>

namespace velmora {
namespace {

// Whether the DACL of an SDDL text lets users write; the descriptor lives
// only for the call.
bool LetsUsersWrite(const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
    ADD_FAILURE() << "not SDDL: " << sddl;
    return false;
  }
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  const bool writable = DaclLetsUsersWrite(present ? dacl : nullptr);
  ::LocalFree(descriptor);
  return writable;
}

TEST(Win32DirectoryPermissions, UsersWriteWhenAUserGroupIsGrantedAChangeNotDeniedBefore) {
  const struct {
    const char* sddl;
    bool writable;
  } cases[] = {
      {kProtectedDirectorySddl, false},
      {"D:", false},                                            // an empty one: nobody
      {"D:(A;;FA;;;WD)", true},                                 // Everyone, full control
      {"D:(A;;0x2;;;BU)", true},                                // Users may add a file
      {"D:(A;;0x4;;;AU)", true},                                // ... add a subdirectory
      {"D:(A;;0x40;;;IU)", true},                               // ... delete a child
      {"D:(A;;SD;;;BU)", true},                                 // ... delete the directory
      {"D:(A;;WD;;;BU)", true},                                 // ... change its permissions
      {"D:(A;;WO;;;BU)", true},                                 // ... take it over
      {"D:(A;;GW;;;BU)", true},                                 // generic write, mapped
      {"D:(A;;0x1200a9;;;BU)(A;;FA;;;BA)(A;;FA;;;SY)", false},  // read and execute
      {"D:(A;;FA;;;S-1-5-21-1-2-3-1001)", false},               // one user, not a group
      {"D:(A;IO;FA;;;BU)", false},                              // only for what is made in it
      {"D:(D;;0x2;;;WD)(A;;0x2;;;BU)", false},                  // denied first
      {"D:(A;;0x2;;;BU)(D;;0x2;;;WD)", true},                   // granted first
  };
  for (const auto& c : cases) EXPECT_EQ(LetsUsersWrite(c.sddl), c.writable) << c.sddl;
  // A null DACL lets everyone do anything.  Given directly: Wine makes an
  // empty DACL of "D:NO_ACCESS_CONTROL".
  EXPECT_TRUE(DaclLetsUsersWrite(nullptr));
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
