// Component registration on the simulated machine.  A file loads as a
// library when it is a PE image; its entry point is found when the image
// exports that name; "calling" it records the call and answers the HRESULT
// a test set for the path (S_OK otherwise).  Programs are not run: the
// command line is recorded and the configured WinExec result answered.
#include "framework/ascii.h"
#include "platform/sim/pe_version.h"
#include "platform/sim/sim_machine.h"

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

std::uint32_t SimMachine::StartProgram(const std::string& commandLine) {
  installState_.startedPrograms.push_back(commandLine);
  return installState_.startResult;
}

}  // namespace velmora
