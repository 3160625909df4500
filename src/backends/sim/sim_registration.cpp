// Component registration on the simulated machine.  A file loads as a
// library when it is a PE image; its entry point is found when the image
// exports that name; "calling" it records the call and answers the HRESULT
// a test set for the path (S_OK otherwise).  Programs are not run: one
// that is there at its full path is recorded with its arguments and answers
// the exit code a test set for it; one that is not there cannot start.
#include "backends/sim/pe_version.h"
#include "backends/sim/sim_machine.h"
#include "framework/ascii.h"

namespace velmora {

RegistrationCall SimMachine::CallRegistrationEntry(const std::string& path,
                                                   const std::string& entryPoint, long& result) {
  result = -1;
  if (!installState_.oleAvailable) return RegistrationCall::oleUnavailable;
  bool isImage = false;
  bool exported = false;
  ReadImage(path, [&](const ImageReader& read, std::uint64_t size) {
    isImage = IsPeImage(read, size);
    exported = isImage && ImageExportsName(read, size, entryPoint);
    return true;
  });
  if (!isImage) return RegistrationCall::loadFailed;
  if (!exported) return RegistrationCall::noEntryPoint;
  const std::string full = AsciiUppered(GetFullPathName(path));
  const auto answer = installState_.entryResults.find(full);
  result = answer == installState_.entryResults.end() ? 0 : answer->second;
  installState_.registrations.push_back(entryPoint + " " + GetFullPathName(path));
  return RegistrationCall::called;
}

bool SimMachine::RunProgram(const std::string& programPath, const std::string& arguments,
                            std::uint32_t& exitCode) {
  exitCode = 0xFFFFFFFF;
  const std::string full = GetFullPathName(programPath);
  std::uint32_t attributes = 0;
  // Only a full path names the program: a bare name is not looked for.
  if (full.empty() || AsciiUppered(full) != AsciiUppered(programPath) ||
      GetFileAttributes(full, attributes) != FileCause::none || (attributes & attr::directory) != 0)
    return false;
  installState_.programRuns.push_back(full + " " + arguments);
  const auto answer = installState_.exitCodes.find(AsciiUppered(full));
  exitCode = answer == installState_.exitCodes.end() ? 0 : answer->second;
  return true;
}

}  // namespace velmora
